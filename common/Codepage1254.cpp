#include "Codepage1254.h"

#include "Errors.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace selvenor {

namespace {

constexpr const char* kName = "windows-1254";

void requireValid(const QStringConverter& converter) {
    if (!converter.isValid())
        throw Error(
            QStringLiteral("Bu Qt kurulumu windows-1254 kod sayfasını tanımıyor (ICU yok)."));
}

} // namespace

QString fromCp1254(QByteArrayView bytes) {
    QStringDecoder decoder(kName);
    requireValid(decoder);
    return decoder.decode(bytes);
}

QByteArray toCp1254(QStringView text) {
    QStringEncoder encoder(kName);
    requireValid(encoder);
    return encoder.encode(text);
}

} // namespace selvenor
