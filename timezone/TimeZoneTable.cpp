#include "TimeZoneTable.h"

#include "common/TextFunctions.h"

namespace selvenor {

QStringList TimeZoneTable::verifyModeNames() {
    return {QStringLiteral("FP|CD|PWD"), QStringLiteral("FP&CD"), QStringLiteral("FP&PWD"),
            QStringLiteral("CD&PWD"), QStringLiteral("FP&CD&PWD")};
}

void TimeZoneTable::reset() {
    m_slots.fill(Slot{});
}

void TimeZoneTable::change(int index, int startHour, int startMinute, int endHour, int endMinute,
                           int verifyMode) {
    if (index < 0 || index >= kSlotCount)
        return;
    const bool modeChosen = index < kSlotsWithVerifyMode && verifyMode >= 0 &&
                            verifyMode < int(verifyModeNames().size());
    m_slots[index] = {startHour, startMinute, endHour, endMinute, modeChosen ? verifyMode : 0};
}

QString TimeZoneTable::line(int index) const {
    const Slot& s = m_slots.at(index);
    return QStringLiteral("[Tz.] ") + ZeroPad(index / 8 + 1, 2) + QStringLiteral(" - ") +
           QString::number(index % 8 + 1) + QStringLiteral(" [S] ") + ZeroPad(s.startHour, 2) +
           QLatin1Char(':') + ZeroPad(s.startMinute, 2) + QStringLiteral(" [E] ") +
           ZeroPad(s.endHour, 2) + QLatin1Char(':') + ZeroPad(s.endMinute, 2) +
           QStringLiteral("  [VM] ") + verifyModeNames().at(s.verifyMode);
}

QStringList TimeZoneTable::lines() const {
    QStringList result;
    result.reserve(kSlotCount);
    for (int i = 0; i < kSlotCount; ++i)
        result << line(i);
    return result;
}

} // namespace selvenor
