#include "Crc32.h"

#include <array>

namespace selvenor::protocol {

namespace {

constexpr std::array<quint32, 256> makeTable() {
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr auto kTable = makeTable();

} // namespace

quint32 crc32(QByteArrayView data) {
    quint32 c = 0xFFFFFFFFu;
    for (char byte : data)
        c = kTable[(c ^ static_cast<quint8>(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

} // namespace selvenor::protocol
