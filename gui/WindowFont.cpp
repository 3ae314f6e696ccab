#include "WindowFont.h"

#include <QStringList>

namespace selvenor {

QFont WindowFont() {
    static const QString family = [] {
        const QString name = QStringLiteral("MS Sans Serif");
        const QStringList standIns = {QStringLiteral("Liberation Sans"),
                                      QStringLiteral("DejaVu Sans Condensed"),
                                      QStringLiteral("DejaVu Sans")};
        QFont::insertSubstitutions(name, standIns);
        return name;
    }();
    QFont font(family);
    font.setPointSize(8);
    return font;
}

} // namespace selvenor
