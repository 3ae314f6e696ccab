#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace selvenor {

// The time-zone table: 400 slots in memory, slot i being period i mod 8 + 1 of zone
// i div 8 + 1. Only zones 1 to 10 (slots 0 to 79) carry a verify mode of the operator's choice.
class TimeZoneTable {
public:
    static constexpr int kSlotCount = 400;
    static constexpr int kSlotsWithVerifyMode = 80;

    struct Slot {
        int startHour = 0;
        int startMinute = 0;
        int endHour = 23;
        int endMinute = 59;
        int verifyMode = 0;
    };

    // The verify-mode names, index = verify mode: "FP|CD|PWD", "FP&CD", "FP&PWD", "CD&PWD",
    // "FP&CD&PWD".
    static QStringList verifyModeNames();

    TimeZoneTable() = default;

    void reset();
    const Slot& slot(int index) const { return m_slots.at(index); }
    // Sets the slot's period; a verify mode for a slot beyond zone 10 is stored as 0. Indexes
    // outside the table are ignored.
    void change(int index, int startHour, int startMinute, int endHour, int endMinute,
                int verifyMode);

    // "[Tz.] 01 - 1 [S] 00:00 [E] 23:59  [VM] FP|CD|PWD"
    QString line(int index) const;
    QStringList lines() const;

private:
    std::array<Slot, kSlotCount> m_slots{};
};

} // namespace selvenor
