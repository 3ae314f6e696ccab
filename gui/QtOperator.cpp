#include "QtOperator.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace selvenor {

namespace {

QMessageBox::Icon qtIcon(OperatorInterface::Icon icon) {
    switch (icon) {
    case OperatorInterface::Icon::Information:
        return QMessageBox::Information;
    case OperatorInterface::Icon::Warning:
        return QMessageBox::Warning;
    case OperatorInterface::Icon::Question:
        return QMessageBox::Question;
    case OperatorInterface::Icon::Error:
        return QMessageBox::Critical;
    case OperatorInterface::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonPair {
    OperatorInterface::Button ours;
    QMessageBox::StandardButton qt;
};

constexpr ButtonPair kButtons[] = {
    {OperatorInterface::Button::Ok, QMessageBox::Ok},
    {OperatorInterface::Button::Yes, QMessageBox::Yes},
    {OperatorInterface::Button::No, QMessageBox::No},
    {OperatorInterface::Button::Cancel, QMessageBox::Cancel},
};

QString titleOr(const QString& caption) {
    return caption.isEmpty() ? QCoreApplication::applicationName() : caption;
}

} // namespace

void QtOperator::showMessage(const QString& text) {
    messageBox(text, QString(), Icon::None, static_cast<int>(Button::Ok));
}

OperatorInterface::Button QtOperator::messageBox(const QString& text, const QString& caption,
                                                 Icon icon, Buttons buttons) {
    QMessageBox box(qtIcon(icon), titleOr(caption), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    for (const ButtonPair& b : kButtons) {
        if (has(buttons, b.ours))
            box.addButton(b.qt);
    }
    // A box without a button of its own still has to be closable.
    if (box.buttons().isEmpty())
        box.addButton(QMessageBox::Ok);
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const ButtonPair& b : kButtons) {
        if (pressed == b.qt)
            return b.ours;
    }
    return has(buttons, Button::Cancel) ? Button::Cancel : Button::No;
}

void QtOperator::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtOperator::letPendingEventsRun() {
    QCoreApplication::processEvents();
}

QString QtOperator::chooseFileToOpen(const QString& startFolder) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), startFolder);
}

} // namespace selvenor
