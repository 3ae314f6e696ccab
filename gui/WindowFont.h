#pragma once

#include <QFont>

namespace selvenor {

// The windows' font: "MS Sans Serif" at 8 points. Linux desktops have no such font, so the name
// stands for the first installed of Liberation Sans (Arial's widths, close to the original's),
// DejaVu Sans Condensed and DejaVu Sans; at 8 points each keeps every caption of the windows
// readable in the sizes they were laid out for.
QFont WindowFont();

// The families that stand for "MS Sans Serif", in the order they are preferred.
QStringList WindowFontStandIns();

// Makes the windows' font the application's, so that every widget shows it: grid titles, scroll
// bars, menus and message boxes too, which take the application's font rather than their
// parent's. Call it before the first window is created.
void installWindowFont();

// Bold, and of `pixelSize` pixels when that is given; every other attribute comes from the
// widget's parent, so a widget with this font follows the windows' font.
QFont BoldFont(int pixelSize = 0);

} // namespace selvenor
