#include "Legibility.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <cmath>

namespace {

QString describe(const QWidget* w, const QString& text, int needed, int has) {
    return QStringLiteral("%1 \"%2\": needs %3 px, has %4")
        .arg(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                       : w->objectName(),
             QString(text).replace(QLatin1Char('\n'), QLatin1Char('|')))
        .arg(needed)
        .arg(has);
}

// The width of the widest line and the height of all lines.
QSize textSize(const QWidget* w, const QString& text) {
    const QStringList lines = QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    int width = 0;
    for (const QString& line : lines)
        width = qMax(width, w->fontMetrics().horizontalAdvance(line));
    return {width, int(lines.size()) * w->fontMetrics().height()};
}

void checkButton(const QAbstractButton* b, QStringList& cut) {
    if (b->text().isEmpty())
        return;
    QSize needed;
    if (qobject_cast<const QPushButton*>(b)) {
        // The text is drawn inside the frame, clipped, never elided.
        const int frame = 2 * b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
        needed = textSize(b, b->text()) + QSize(frame + 2, frame);
    } else {
        needed = b->sizeHint();
    }
    if (needed.width() > b->width() || needed.height() > b->height())
        cut << describe(b, b->text(), needed.width(), b->width()) +
                   QStringLiteral(" (height %1 of %2)").arg(needed.height()).arg(b->height());
}

void checkLabel(const QLabel* l, QStringList& cut) {
    if (l->text().isEmpty() || l->wordWrap())
        return;
    const QSize needed = l->sizeHint();
    if (needed.width() > l->width() || needed.height() > l->height())
        cut << describe(l, l->text(), needed.width(), l->width());
}

void checkGroup(const QGroupBox* g, QStringList& cut) {
    const int needed = g->fontMetrics().horizontalAdvance(g->title()) + 16;
    if (!g->title().isEmpty() && needed > g->width())
        cut << describe(g, g->title(), needed, g->width());
}

void checkGrid(const QTableView* grid, QStringList& cut) {
    const QHeaderView* header = grid->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        const int needed = titleWidthNeeded(grid, c);
        if (needed > header->sectionSize(c))
            cut << describe(grid, grid->model()->headerData(c, Qt::Horizontal).toString(), needed,
                            header->sectionSize(c));
    }
}

void checkTabs(const QTabWidget* tabs, QStringList& cut) {
    const QTabBar* bar = tabs->tabBar();
    for (const QToolButton* scroll : bar->findChildren<QToolButton*>()) {
        if (scroll->isVisible())
            cut << describe(tabs, QStringLiteral("(scroll arrows)"), 0, bar->width());
    }
    for (int i = 0; i < bar->count(); ++i) {
        const QRect rect = bar->tabRect(i);
        const int needed = bar->fontMetrics().horizontalAdvance(bar->tabText(i));
        if (rect.right() >= tabs->width() || rect.width() < needed)
            cut << describe(tabs, bar->tabText(i), needed, rect.width());
    }
}

void checkVisibleWidgets(QWidget* window, QStringList& cut) {
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (!w->isVisible())
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            checkButton(b, cut);
        else if (auto* l = qobject_cast<QLabel*>(w))
            checkLabel(l, cut);
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            checkGroup(g, cut);
        else if (auto* t = qobject_cast<QTableView*>(w))
            checkGrid(t, cut);
        else if (auto* tabs = qobject_cast<QTabWidget*>(w))
            checkTabs(tabs, cut);
    }
}

// Whether `w`, or a widget between it and `window`, sets a font of its own.
bool setsOwnFont(const QWidget* w, const QWidget* window) {
    for (; w && w != window; w = w->parentWidget()) {
        if (w->testAttribute(Qt::WA_SetFont))
            return true;
    }
    return false;
}

} // namespace

int titleWidthNeeded(const QTableView* grid, int column) {
    const QHeaderView* header = grid->horizontalHeader();
    // The title is drawn between the header's margins and elided when it does not fit; a header
    // that highlights the sections of the selected row draws their titles bold.
    QFont font = header->font();
    font.setBold(font.bold() || header->highlightSections());
    const QString title = grid->model()->headerData(column, Qt::Horizontal).toString();
    return int(std::ceil(QFontMetricsF(font).horizontalAdvance(title))) +
           2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
}

namespace {

// The header of `grid` as drawn, from the left edge of `column` on, `width` pixels of it.
QImage titlePixels(QTableView* grid, int column, int width) {
    QHeaderView* header = grid->horizontalHeader();
    QImage image(header->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    header->render(&image);
    return image.copy(header->sectionViewportPosition(column), 0, width, image.height());
}

bool sameColumn(const QImage& image, int x, int other) {
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixel(x, y) != image.pixel(other, y))
            return false;
    }
    return true;
}

// How far the title reaches in a section drawn `image.width()` pixels wide, far wider than the
// title: the first pixel column after its last inked one. Its right part is bare header.
int inkEnd(const QImage& image) {
    const int bare = image.width() - image.width() / 4;
    int end = 0;
    for (int x = 0; x < bare; ++x) {
        if (!sameColumn(image, x, bare))
            end = x + 1;
    }
    return end;
}

} // namespace

bool titleDrawnInFullAt(QTableView* grid, int column, int width) {
    QHeaderView* header = grid->horizontalHeader();
    const int laidOut = grid->columnWidth(column);
    const Qt::Alignment alignment = header->defaultAlignment();
    // Drawn from the left in both widths, the title stands in the same place in both.
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int wideWidth = 4 * width + 200;
    // The header draws only what lies inside it: the grid grows for the wide column.
    const QSize size = grid->size();
    grid->resize(header->sectionViewportPosition(column) + wideWidth + 100, size.height());
    grid->setColumnWidth(column, wideWidth);
    QCoreApplication::processEvents();
    QImage wide = titlePixels(grid, column, wideWidth);
    const int end = inkEnd(wide);
    grid->setColumnWidth(column, width);
    QCoreApplication::processEvents();
    const QImage narrow = titlePixels(grid, column, end);
    grid->setColumnWidth(column, laidOut);
    grid->resize(size);
    header->setDefaultAlignment(alignment);
    return end > 0 && narrow == wide.copy(0, 0, end, wide.height());
}

QStringList widgetsNotInFont(QWidget* window, const QFont& font) {
    const QFontInfo wanted(font);
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    QStringList misfits;
    for (const QWidget* w : widgets) {
        const QFontInfo shown(w->font());
        const bool own = setsOwnFont(w, window);
        const bool familyDiffers =
            shown.family() != wanted.family() && !(own && shown.fixedPitch());
        const bool sizeDiffers = !own && shown.pixelSize() != wanted.pixelSize();
        if (familyDiffers || sizeDiffers)
            misfits << QStringLiteral("%1 (%2): %3 %4 px")
                           .arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()),
                                shown.family())
                           .arg(shown.pixelSize());
    }
    return misfits;
}

QStringList cutTexts(QWidget* window) {
    QStringList cut;
    const QList<QTabWidget*> tabWidgets = window->findChildren<QTabWidget*>();
    if (tabWidgets.isEmpty()) {
        checkVisibleWidgets(window, cut);
        return cut;
    }
    QTabWidget* tabs = tabWidgets.first();
    const int current = tabs->currentIndex();
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QCoreApplication::processEvents();
        checkVisibleWidgets(window, cut);
    }
    tabs->setCurrentIndex(current);
    cut.removeDuplicates();
    return cut;
}
