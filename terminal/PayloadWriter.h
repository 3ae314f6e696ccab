#pragma once

#include <QByteArray>
#include <QtEndian>

namespace selvenor::protocol {

// Appends big-endian fields to a payload.
class PayloadWriter {
public:
    PayloadWriter& u8(quint8 v) {
        m_bytes.append(char(v));
        return *this;
    }
    PayloadWriter& u16(quint16 v) { return put(v); }
    PayloadWriter& u32(quint32 v) { return put(v); }
    PayloadWriter& i32(qint32 v) { return put(quint32(v)); }
    // Unsigned LEB128: seven bits per byte, lowest first, high bit set on every byte but the last.
    PayloadWriter& varint(quint32 v) {
        while (v >= 0x80) {
            m_bytes.append(char((v & 0x7F) | 0x80));
            v >>= 7;
        }
        m_bytes.append(char(v));
        return *this;
    }
    PayloadWriter& bytes(const QByteArray& b) {
        m_bytes.append(b);
        return *this;
    }
    int size() const { return int(m_bytes.size()); }
    const QByteArray& data() const { return m_bytes; }

private:
    template <typename T> PayloadWriter& put(T v) {
        char raw[sizeof(T)];
        qToBigEndian(v, raw);
        m_bytes.append(raw, sizeof(T));
        return *this;
    }

    QByteArray m_bytes;
};

} // namespace selvenor::protocol
