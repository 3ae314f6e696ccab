#pragma once

#include <QString>

namespace selvenor {

// The terminal shows no Turkish letters: "çğıöşüÇĞİÖŞÜ" become "cgiosuCGIOSU", letter by
// letter; every other character passes through, so the length stays.
QString FoldName(const QString& name);

} // namespace selvenor
