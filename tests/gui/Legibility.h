#pragma once

#include <QStringList>

class QWidget;

// Every text of a shown window that cannot be read in full at the size it has: labels,
// buttons, check and radio boxes, group titles, grid column titles and sheet titles. Each entry
// names the widget, the text, the width it needs and the width it has. Widgets that are hidden
// are left out; a tabbed window is checked sheet by sheet.
QStringList cutTexts(QWidget* window);
