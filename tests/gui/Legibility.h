#pragma once

#include <QFont>
#include <QStringList>

class QTableView;
class QWidget;

// Every text of a shown window that cannot be read in full at the size it has: labels,
// buttons, check and radio boxes, group titles, grid column titles and sheet titles. Each entry
// names the widget, the text, the width it needs and the width it has. Widgets that are hidden
// are left out; a tabbed window is checked sheet by sheet.
QStringList cutTexts(QWidget* window);

// The width that the title of `column` needs to be read in full in the grid's header: the title
// in the header's font, as drawn, between the header's margins.
int titleWidthNeeded(const QTableView* grid, int column);

// Whether the header of `grid`, with `column` `width` pixels wide, draws that column's title
// exactly as it does in a column far wider than the title: nothing cut off and nothing elided.
// The column's width is restored afterwards.
bool titleDrawnInFullAt(QTableView* grid, int column, int width);

// Every widget of `window` (the window included) that does not show `font`: its family and pixel
// size where no widget on the way from the window down to it sets a font of its own; its family
// where one does, unless that is a fixed-pitch font chosen for lining up columns. Each entry names
// the widget, its class and the font it shows.
QStringList widgetsNotInFont(QWidget* window, const QFont& font);
