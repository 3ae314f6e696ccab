// The terminal's side: a byte stream from a client, cut into frames and executed by the
// simulated terminal. Besides the raw stream, the input is also sent as well-formed frames
// (first byte the command, the rest the payload), so the fuzzer reaches every command's parser
// without having to guess CRCs.
#include "sim/SimulatedTerminal.h"
#include "sim/StateFile.h"
#include "sim/StateStore.h"
#include "terminal/Command.h"
#include "terminal/FrameDecoder.h"

#include <cstddef>
#include <cstdint>

using namespace selvenor::protocol;
using namespace selvenor::sim;

namespace {

const QByteArray kState = R"({"machine": 1, "maxEntries": 8,
    "users": [{"enroll": 42, "backup": 11, "value": 7}, {"enroll": 42, "backup": 10, "value": 50}],
    "names": {"42": "Ayşe"},
    "logs": [{"enroll": 1, "year": 2012, "month": 3, "day": 5, "hour": 8, "minute": 7},
             {"enroll": 2, "year": 2012, "month": 3, "day": 5, "hour": 8, "minute": 8, "read": true}]})";

void feed(SimulatedTerminal& terminal, SimulatedTerminal::Session& session,
          const QByteArray& bytes) {
    FrameDecoder decoder;
    qsizetype at = 0;
    Frame frame;
    while (at < bytes.size()) {
        at += decoder.feed(QByteArrayView(bytes.constData() + at, bytes.size() - at));
        while (decoder.take(frame) != FrameDecoder::Status::NeedMore)
            terminal.handle(frame, session);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TerminalState initial = StateFile::fromJson(kState, QStringLiteral("fuzz"));
    SimulatedTerminal terminal(initial, nullptr);
    SimulatedTerminal::Session session;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    Frame hello;
    hello.command = quint8(Command::Hello);
    hello.machine = 1;
    terminal.handle(hello, session);
    Frame disable = hello;
    disable.command = quint8(Command::SetTerminalEnabled);
    disable.sequence = 1;
    disable.payload = encodeFlag(false);
    terminal.handle(disable, session);

    feed(terminal, session, bytes);

    // The same input split at 0xFF bytes into well-formed requests.
    quint16 sequence = 2;
    for (const QByteArray& part : bytes.split(char(0xFF))) {
        if (part.isEmpty() || part.size() - 1 > kMaxPayloadSize)
            continue;
        Frame request;
        request.command = quint8(part[0]);
        request.sequence = sequence++;
        request.machine = 1;
        request.payload = part.mid(1);
        feed(terminal, session, encodeFrame(request));
    }
    return 0;
}
