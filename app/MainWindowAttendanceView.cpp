#include "MainWindowAttendanceView.h"

#include "Tfrmgiris.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

namespace selvenor {

MainWindowAttendanceView::MainWindowAttendanceView(Tfrmgiris& window)
    : m_window(window) {}

void MainWindowAttendanceView::setProgressRange(int minimum, int maximum) {
    m_window.ProgressBar1->setRange(minimum, maximum);
}

void MainWindowAttendanceView::setProgressPosition(int position) {
    m_window.ProgressBar1->setValue(position);
}

void MainWindowAttendanceView::setTransferEnabled(bool enabled) {
    m_window.BitBtn5->setEnabled(enabled);
}

void MainWindowAttendanceView::setFileName(const QString& name) {
    m_window.Edit1->setText(name);
}

void MainWindowAttendanceView::setWorkLines(const QString& text) {
    m_window.Memo1->setPlainText(text);
}

void MainWindowAttendanceView::setIntermediateLines(const QString& text) {
    m_window.Memo2->setPlainText(text);
}

} // namespace selvenor
