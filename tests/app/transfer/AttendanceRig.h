#pragma once

#include "app/transfer/AttendanceView.h"
#include "app/transfer/LogDownload.h"
#include "support/QtPrinters.h"
#include "support/RecordingOperator.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"
#include "terminal/TFP_CLOCK.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>

// What the attendance commands showed besides messages.
class RecordingView : public selvenor::AttendanceView {
public:
    void setProgressRange(int minimum, int maximum) override { ranges.append({minimum, maximum}); }
    void setProgressPosition(int position) override { positions.append(position); }
    void setTransferEnabled(bool enabled) override { transferEnabled.append(enabled); }
    void setFileName(const QString& name) override { fileName = name; }
    void setWorkLines(const QString& text) override { memo1 = text; }
    void setIntermediateLines(const QString& text) override { memo2 = text; }

    QList<std::pair<int, int>> ranges;
    QList<int> positions;
    QList<bool> transferEnabled;
    QString fileName;
    QString memo1;
    QString memo2;
};

// An operator whose event runs call a hook: the operator clicking while a command runs.
class ClickingOperator : public RecordingOperator {
public:
    void letPendingEventsRun() override {
        RecordingOperator::letPendingEventsRun();
        if (onEvents)
            onEvents();
    }
    std::function<void()> onEvents;
};

// A data folder, a simulated terminal and a connected control, for driving the attendance
// commands end to end.
class AttendanceRig {
public:
    explicit AttendanceRig(const QJsonObject& state, int machine = 1);

    // Restarts the terminal from its saved state without the faults (the same terminal after
    // the line is repaired) and connects again.
    void restartWithoutFaults();

    selvenor::AttendanceContext context();
    selvenor::DownloadOutcome transfer(bool secondFile = false);
    selvenor::DownloadOutcome fullLog(selvenor::LogDownload::Kind kind,
                                      std::function<bool()> copyWanted = {});

    QString file(const QString& name) const { return folder + QLatin1Char('/') + name; }
    QByteArray bytes(const QString& name) const;
    // Puts `content` into the data folder's file `name`, replacing what it held.
    void write(const QString& name, const QByteArray& content) const;
    QStringList lines(const QString& name) const;
    bool exists(const QString& name) const;
    int readFlagCount() const;
    int logCount() const;

    TempFolder data;
    QString folder = data.path(); // the data folder the commands write into
    std::unique_ptr<SimulatorFixture> sim;
    selvenor::TFP_CLOCK clock;
    ClickingOperator ui;
    RecordingView view;
    QDate today{2012, 3, 7};
    int machine;
};

// The attendance line the terminal's record must give, built with the shared ZeroPad.
QString expectedLine(int enroll, int day, int month, int year, int hour, int minute, int machine,
                     int mode);

// `count` records, enroll numbers 1 to count, in March 2012.
QJsonArray recordsUpTo(int count);
// The attendance lines of recordsUpTo(count) on machine 1 for "Verileri Aktar".
QStringList expectedTransferLines(int from, int to, int machine = 1);

// What the attendance program does with veri.txt: takes every complete line out, in place,
// leaving a cut last line where it was. Returns the lines taken.
QStringList importCompleteLines(const QString& path);

// Sets an environment variable for the lifetime of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value);
    ~ScopedEnvironment();

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};
