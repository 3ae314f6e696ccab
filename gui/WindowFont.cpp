#include "WindowFont.h"

#include <QApplication>
#include <QStringList>

namespace selvenor {

QStringList WindowFontStandIns() {
    return {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed"),
            QStringLiteral("DejaVu Sans")};
}

QFont WindowFont() {
    static const QString family = [] {
        const QString name = QStringLiteral("MS Sans Serif");
        QFont::insertSubstitutions(name, WindowFontStandIns());
        return name;
    }();
    QFont font(family);
    font.setPointSize(8);
    return font;
}

void installWindowFont() {
    QApplication::setFont(WindowFont());
}

QFont BoldFont(int pixelSize) {
    QFont font;
    font.setBold(true);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    return font;
}

} // namespace selvenor
