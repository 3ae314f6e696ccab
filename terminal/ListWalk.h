#pragma once

#include "ResultCode.h"

namespace selvenor {

class TFP_CLOCK;

// One walk through a list that the terminal hands out entry by entry: the attendance records
// (NextLogRecord, NextAllLogRecord) and the user entries (GetNextUserID). Those operations
// return false both when no entry is left and when the walk failed (a dropped link, a refused
// chunk, a garbled reply); only the result code tells the two apart, and only ERR_LOG_END is
// the end of the list. A walk that broke off must never be taken for the whole list.
//
//     ListWalk walk(clock);
//     while (walk.step(clock.GetNextUserID(machine, ...)))
//         ... use the entry ...
//     if (walk.brokeOff())
//         ... the list is not whole: report walk.resultCode() ...
class ListWalk {
public:
    explicit ListWalk(TFP_CLOCK& clock);

    // Takes the result of one step and returns it. After a false step the control's result
    // code says why, and the walk is over.
    bool step(bool handedOut);

    bool ended() const { return m_ended; }
    // The last step found no entry left: every entry was handed out.
    bool reachedEnd() const { return m_ended && m_resultCode == ERR_LOG_END; }
    // The last step failed: the entries handed out are only the head of the list.
    bool brokeOff() const { return m_ended && m_resultCode != ERR_LOG_END; }
    // The result code of the step that ended the walk (ERR_LOG_END at the end).
    int resultCode() const { return m_resultCode; }
    // Entries handed out so far.
    int entries() const { return m_entries; }

private:
    TFP_CLOCK& m_clock;
    bool m_ended = false;
    int m_resultCode = SUCCESS;
    int m_entries = 0;
};

} // namespace selvenor
