#include "NameFolding.h"

namespace selvenor {

QString FoldName(const QString& name) {
    static const QString turkish = QStringLiteral("çğıöşüÇĞİÖŞÜ");
    static const QString latin = QStringLiteral("cgiosuCGIOSU");
    QString folded = name;
    for (QChar& c : folded) {
        const qsizetype k = turkish.indexOf(c);
        if (k >= 0)
            c = latin[k];
    }
    return folded;
}

} // namespace selvenor
