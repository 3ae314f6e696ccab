#include "ConsoleAttendanceView.h"

#include <unistd.h>

namespace selvenor::cli {

namespace {

constexpr int kBarWidth = 40;

} // namespace

ConsoleAttendanceView::ConsoleAttendanceView(FILE* stream)
    : m_stream(stream)
    , m_enabled(isatty(fileno(stream)) != 0) {}

ConsoleAttendanceView::~ConsoleAttendanceView() {
    finishLine();
}

void ConsoleAttendanceView::setLabel(const QString& label) {
    finishLine();
    m_label = label;
}

void ConsoleAttendanceView::setProgressRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
}

void ConsoleAttendanceView::setProgressPosition(int position) {
    if (!m_enabled || m_maximum <= m_minimum)
        return;
    const int filled = (position - m_minimum) * kBarWidth / (m_maximum - m_minimum);
    const QByteArray bar = QByteArray(qBound(0, filled, kBarWidth), '#') +
                           QByteArray(kBarWidth - qBound(0, filled, kBarWidth), '.');
    std::fprintf(m_stream, "\r%s [%s]", m_label.toLocal8Bit().constData(), bar.constData());
    std::fflush(m_stream);
    m_drawn = true;
}

void ConsoleAttendanceView::finishLine() {
    if (!m_drawn)
        return;
    std::fputc('\n', m_stream);
    std::fflush(m_stream);
    m_drawn = false;
}

} // namespace selvenor::cli
