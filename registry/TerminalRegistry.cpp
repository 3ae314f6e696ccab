#include "TerminalRegistry.h"

#include "TerminalList.h"

#include "common/OperatorInterface.h"

namespace selvenor {

namespace {

using Button = OperatorInterface::Button;

} // namespace

TerminalRegistry::TerminalRegistry(OperatorInterface& ui, QSqlDatabase db, TerminalList& list)
    : m_ui(ui)
    , m_store(std::move(db))
    , m_list(list) {}

bool TerminalRegistry::nameGiven(const TerminalEntry& entry) const {
    // A name of blanks only passes: the test is on the text as typed.
    if (!entry.Terminal.isEmpty())
        return true;
    m_ui.messageBox(QStringLiteral("Terminal Adını Giriniz."), QStringLiteral("UYARI"),
                    OperatorInterface::Icon::None, static_cast<int>(Button::Ok));
    return false;
}

bool TerminalRegistry::saveNew(const TerminalEntry& entry) {
    if (!nameGiven(entry))
        return false;
    m_store.insert(entry);
    m_list.open();
    return true;
}

bool TerminalRegistry::saveChanged(const TerminalEntry& entry) {
    if (!nameGiven(entry))
        return false;
    const qint64 id = m_list.current().id;
    m_store.update(id, entry);
    m_list.reReadKeeping(id);
    return true;
}

std::optional<TerminalRecord> TerminalRegistry::lookUpCurrent() const {
    const TerminalRecord& current = m_list.current();
    if (!m_store.find(current.id))
        return std::nullopt;
    return current;
}

TerminalRegistry::Deletion TerminalRegistry::deleteCurrent() {
    if (m_list.isEmpty())
        return Deletion::EmptyList;
    const Button answer = m_ui.messageBox(QStringLiteral("Seçili kaydı Silmek İstiyor musunuz...?"),
                                          QStringLiteral("UYARI"), OperatorInterface::Icon::None,
                                          Button::Yes | Button::No);
    if (answer != Button::Yes)
        return Deletion::Declined;
    const bool removed = m_store.remove(m_list.current().id);
    m_list.open();
    return removed ? Deletion::Deleted : Deletion::AlreadyGone;
}

} // namespace selvenor
