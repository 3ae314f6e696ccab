#include "RecordingOperator.h"

#include <QCoreApplication>

void RecordingOperator::showMessage(const QString& text) {
    shown.append({text, QString(), Icon::None, static_cast<int>(Button::Ok), true});
    if (onShown)
        onShown(shown.last());
}

RecordingOperator::Button RecordingOperator::messageBox(const QString& text, const QString& caption,
                                                        Icon icon, Buttons buttons) {
    shown.append({text, caption, icon, buttons, false});
    if (onShown)
        onShown(shown.last());
    if (!answers.isEmpty())
        return answers.takeFirst();
    for (Button b : {Button::Ok, Button::Yes, Button::No, Button::Cancel}) {
        if (has(buttons, b))
            return b;
    }
    return Button::Ok;
}

void RecordingOperator::setBusy(bool busy) {
    busyDepth += busy ? 1 : -1;
    ++busyChanges;
}

void RecordingOperator::letPendingEventsRun() {
    ++eventRuns;
    if (runsEvents)
        QCoreApplication::processEvents();
}

QString RecordingOperator::chooseFileToOpen(const QString& startFolder) {
    lastStartFolder = startFolder;
    return fileToChoose;
}

QStringList RecordingOperator::texts() const {
    QStringList result;
    for (const Shown& s : shown)
        result << s.text;
    return result;
}
