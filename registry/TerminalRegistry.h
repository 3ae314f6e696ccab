#pragma once

#include "TerminalEntry.h"
#include "TerminalRecord.h"
#include "TerminalStore.h"

#include <optional>

namespace selvenor {

class OperatorInterface;
class TerminalList;

// The terminal commands under the main window's grid and the editor's "Kaydet": add, change
// and delete rows of Terminal and keep the terminal list's current row as the operator
// expects (the changed row after a change, the first row after an addition or a deletion).
class TerminalRegistry {
public:
    TerminalRegistry(OperatorInterface& ui, QSqlDatabase db, TerminalList& list);

    // "Kaydet" in mode "yeni". False, after the warning, when the name is empty as typed.
    bool saveNew(const TerminalEntry& entry);
    // "Kaydet" in mode "guncelle": writes the entry into the list's current row.
    bool saveChanged(const TerminalEntry& entry);
    // "Değiştir": the list's current row while the table still holds it, else nothing.
    // Throws DatabaseError when the list is empty.
    std::optional<TerminalRecord> lookUpCurrent() const;
    // How "Sil" ended; the window shows nothing more, the command line reports it.
    enum class Deletion { EmptyList, Declined, Deleted, AlreadyGone };
    // "Sil": after the operator's Yes, deletes the current row and reads the list again.
    // Does nothing, silently, on an empty list.
    Deletion deleteCurrent();

private:
    bool nameGiven(const TerminalEntry& entry) const;

    OperatorInterface& m_ui;
    TerminalStore m_store;
    TerminalList& m_list;
};

} // namespace selvenor
