#pragma once

#include <QList>

namespace selvenor {

// The caller's walk through a list that the terminal hands out in chunks (attendance records,
// user entries): holds the chunk in hand and says when the next one must be fetched.
template <typename Item> class ChunkedWalk {
public:
    // A new walk; `anyItems` is false when the terminal said the list is empty.
    void start(bool anyItems) {
        m_active = true;
        m_items.clear();
        m_index = 0;
        m_more = anyItems;
        m_hasLast = false;
        m_broken = false;
    }
    void reset() { *this = ChunkedWalk(); }
    bool active() const { return m_active; }
    // The link went while the walk was under way: what is left of the list went with it, and
    // every later step of this walk fails, also on a new session, until a new walk starts.
    void breakOff() { m_broken = m_active; }
    bool broken() const { return m_broken; }
    bool needsFetch() const { return m_active && m_index >= m_items.size() && m_more; }
    void accept(QList<Item> items, bool more) {
        m_items = std::move(items);
        m_index = 0;
        m_more = more && !m_items.isEmpty();
    }
    // Hands out the next item of the chunk in hand; false when it is used up.
    bool take(Item& item) {
        if (!m_active || m_index >= m_items.size())
            return false;
        item = m_items[m_index++];
        m_last = item;
        m_hasLast = true;
        return true;
    }
    // The item handed out last, which is where the next chunk starts after.
    bool hasLast() const { return m_hasLast; }
    const Item& last() const { return m_last; }

private:
    bool m_active = false;
    QList<Item> m_items;
    qsizetype m_index = 0;
    bool m_more = false;
    bool m_hasLast = false;
    bool m_broken = false;
    Item m_last{};
};

} // namespace selvenor
