#pragma once

#include "common/OperatorInterface.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// An operator that records everything shown and answers questions from a script.
class RecordingOperator : public selvenor::OperatorInterface {
public:
    struct Shown {
        QString text;
        QString caption; // empty for a plain message
        Icon icon = Icon::None;
        Buttons buttons = 0;
        bool plain = false;
    };

    void showMessage(const QString& text) override;
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;
    void setBusy(bool busy) override;
    void letPendingEventsRun() override;
    QString chooseFileToOpen(const QString& startFolder) override;

    // Answers for the next questions, in order; when none is left, Ok (or the first button).
    QList<Button> answers;
    QString fileToChoose;

    QList<Shown> shown;
    // Called with every message as it is shown, to look at the window at that moment.
    std::function<void(const Shown&)> onShown;
    int busyDepth = 0;
    int busyChanges = 0;
    int eventRuns = 0;
    // Whether letPendingEventsRun() really runs the pending events (as the window's operator
    // does) or only counts.
    bool runsEvents = false;
    QString lastStartFolder;

    QStringList texts() const;
};
