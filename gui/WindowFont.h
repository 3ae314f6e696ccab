#pragma once

#include <QFont>

namespace selvenor {

// The windows' font: "MS Sans Serif" at 8 points. Linux desktops have no such font, so the name
// stands for the first installed of Liberation Sans (Arial's widths, close to the original's),
// DejaVu Sans Condensed and DejaVu Sans; at 8 points each keeps every caption of the windows
// readable in the sizes they were laid out for.
QFont WindowFont();

} // namespace selvenor
