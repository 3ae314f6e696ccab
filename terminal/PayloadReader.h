#pragma once

#include <QByteArray>
#include <QtEndian>

namespace selvenor::protocol {

// Reads big-endian fields from a payload. Reading past the end yields zeros and clears ok(), so
// a parser reads everything it expects and checks ok() once at the end.
class PayloadReader {
public:
    explicit PayloadReader(const QByteArray& bytes)
        : m_bytes(bytes) {}

    quint8 u8() { return get<quint8>(); }
    quint16 u16() { return get<quint16>(); }
    quint32 u32() { return get<quint32>(); }
    qint32 i32() { return qint32(get<quint32>()); }
    quint32 varint() {
        quint32 value = 0;
        for (int i = 0; i < 5; ++i) {
            const quint8 b = u8();
            if (i == 4 && (b & 0xF0))
                m_ok = false; // more than 32 bits
            value |= quint32(b & 0x7F) << (7 * i);
            if (!(b & 0x80) || !m_ok)
                return m_ok ? value : 0;
        }
        m_ok = false;
        return 0;
    }
    QByteArray bytes(int count) {
        if (count < 0 || count > remaining()) {
            m_ok = false;
            return {};
        }
        QByteArray b = m_bytes.mid(m_at, count);
        m_at += count;
        return b;
    }
    int remaining() const { return int(m_bytes.size()) - m_at; }
    bool ok() const { return m_ok; }
    // Every field was present and nothing is left over.
    bool complete() const { return m_ok && remaining() == 0; }
    void fail() { m_ok = false; }

private:
    template <typename T> T get() {
        if (!m_ok || remaining() < int(sizeof(T))) {
            m_ok = false;
            return 0;
        }
        const T v = qFromBigEndian<T>(m_bytes.constData() + m_at);
        m_at += int(sizeof(T));
        return v;
    }

    const QByteArray& m_bytes;
    int m_at = 0;
    bool m_ok = true;
};

} // namespace selvenor::protocol
