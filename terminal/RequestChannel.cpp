#include "RequestChannel.h"

#include "Frame.h"
#include "ResultCode.h"
#include "TerminalLink.h"

#include <QRandomGenerator>

namespace selvenor {

using protocol::Command;
using protocol::Frame;
using protocol::FrameDecoder;

void RequestChannel::attach(TerminalLink* link) {
    m_link = link;
    m_decoder.clear();
    // A reply on a slow line takes its line time to arrive; it is not cut short meanwhile.
    m_decoder.setLineBytesPerSecond(link ? link->lineBytesPerSecond() : 0);
    // A fresh start for every link, so a reply left over from an earlier session on the same
    // serial line is unlikely to carry a number this session uses.
    m_sequence = quint16(QRandomGenerator::global()->bounded(65536));
}

quint16 RequestChannel::nextSequence() {
    if (++m_sequence == 0)
        m_sequence = 1;
    return m_sequence;
}

namespace {

// A reply repeats the number of the terminal that sent it. Only a refusal of the number carries
// another one: the terminal's own.
bool fromTheAddressedTerminal(const Frame& reply, qint32 machine) {
    return reply.machine == machine || reply.result == ERR_WRONG_MACHINE;
}

} // namespace

RequestChannel::Outcome RequestChannel::drain(Command command, qint32 machine, quint16 sequence,
                                              Reply& reply, bool& sawCorrupt) {
    Frame frame;
    for (;;) {
        switch (m_decoder.take(frame)) {
        case FrameDecoder::Status::NeedMore:
            return Outcome::Waiting;
        case FrameDecoder::Status::Expired:
            continue; // the rest of a frame cut short, or of a reply to an earlier attempt
        case FrameDecoder::Status::Oversized:
        case FrameDecoder::Status::Corrupt:
            sawCorrupt = true;
            continue;
        case FrameDecoder::Status::Frame:
            break;
        }
        if (!frame.reply || frame.sequence != sequence)
            continue; // an echo or a late reply to an earlier request
        if (frame.version != protocol::kProtocolVersion || frame.command != quint8(command) ||
            !fromTheAddressedTerminal(frame, machine))
            return Outcome::Malformed;
        reply.result = frame.result;
        reply.payload = frame.payload;
        return Outcome::Matched;
    }
}

RequestChannel::Reply RequestChannel::transact(Command command, qint32 machine,
                                               const QByteArray& payload, int expectedReplyBytes,
                                               QDeadlineTimer limit) {
    Reply reply;
    if (!m_link || !m_link->isOpen()) {
        reply.result = ERR_NOT_OPEN;
        return reply;
    }
    Frame request;
    request.command = quint8(command);
    request.sequence = nextSequence();
    request.machine = machine;
    request.payload = payload;
    const QByteArray bytes = protocol::encodeFrame(request);
    // Requests go one at a time: whatever is still buffered belongs to an exchange that is over,
    // and a truncated frame there would swallow the reply to this one.
    m_decoder.clear();

    const qint64 allowance = m_link->wireTimeMs(int(bytes.size()) + expectedReplyBytes);
    const QDeadlineTimer deadline = qMin(QDeadlineTimer(m_timeoutMs + 2 * allowance), limit);
    QDeadlineTimer retryAt(deadline.remainingTime() / 2);
    bool retried = false;
    bool sawCorrupt = false;

    if (!m_link->write(bytes, deadline)) {
        reply.result = ERR_WRITE_FAIL;
        return reply;
    }
    for (;;) {
        switch (drain(command, machine, request.sequence, reply, sawCorrupt)) {
        case Outcome::Matched:
            return reply;
        case Outcome::Malformed:
            reply.result = ERR_BAD_REPLY;
            return reply;
        case Outcome::Waiting:
            break;
        }
        if (deadline.hasExpired()) {
            reply.result = sawCorrupt ? ERR_BAD_REPLY : ERR_READ_FAIL;
            return reply;
        }
        if (!retried && retryAt.hasExpired()) {
            retried = true;
            if (!m_link->write(bytes, deadline)) {
                reply.result = ERR_WRITE_FAIL;
                return reply;
            }
        }
        const QDeadlineTimer wait = retried ? deadline : qMin(deadline, retryAt);
        if (!m_link->waitForData(wait) && !m_link->isOpen()) {
            reply.result = ERR_READ_FAIL; // the terminal closed the link
            return reply;
        }
        while (m_decoder.room() > 0) {
            const QByteArray chunk = m_link->read(m_decoder.room());
            if (chunk.isEmpty())
                break;
            m_decoder.feed(chunk);
            if (m_decoder.room() == 0)
                break;
        }
    }
}

void RequestChannel::post(Command command, qint32 machine) {
    if (!m_link || !m_link->isOpen())
        return;
    Frame request;
    request.command = quint8(command);
    request.sequence = nextSequence();
    request.machine = machine;
    m_link->write(protocol::encodeFrame(request), QDeadlineTimer(qMin(m_timeoutMs, 500)));
}

} // namespace selvenor
