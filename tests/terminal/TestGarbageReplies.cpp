#include "terminal/Command.h"
#include "terminal/Frame.h"
#include "terminal/FrameDecoder.h"
#include "terminal/Messages.h"
#include "terminal/ResultCode.h"
#include "terminal/TFP_CLOCK.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <functional>

#include <gtest/gtest.h>

using namespace selvenor;
using namespace selvenor::protocol;

namespace {

// A terminal that opens sessions properly and answers every other request with what
// `answer` makes of it. Runs in its own thread.
class ScriptedTerminal {
public:
    using Answer = std::function<QByteArray(const Frame& request)>;

    explicit ScriptedTerminal(Answer answer)
        : m_answer(std::move(answer)) {
        m_context.moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            &m_context, [this] { start(); }, Qt::BlockingQueuedConnection);
    }
    ~ScriptedTerminal() {
        QMetaObject::invokeMethod(
            &m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    quint16 port() const { return m_port; }

    static QByteArray reply(const Frame& request, quint8 result, const QByteArray& payload) {
        Frame f;
        f.reply = true;
        f.command = request.command;
        f.result = result;
        f.sequence = request.sequence;
        f.machine = request.machine;
        f.payload = payload;
        return encodeFrame(f);
    }

private:
    void start() {
        m_server = new QTcpServer;
        m_server->listen(QHostAddress::LocalHost, 0);
        m_port = m_server->serverPort();
        QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this] {
            QTcpSocket* socket = m_server->nextPendingConnection();
            auto* decoder = new FrameDecoder;
            QObject::connect(socket, &QObject::destroyed, [decoder] { delete decoder; });
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, decoder] {
                decoder->feed(socket->readAll());
                Frame request;
                while (decoder->take(request) != FrameDecoder::Status::NeedMore) {
                    if (request.command == quint8(Command::Hello))
                        socket->write(reply(request, 0,
                                            encodeHelloReply({0, QByteArray(16, 'n'),
                                                              QStringLiteral("SCRIPTED-1"), 1})));
                    else
                        socket->write(m_answer(request));
                    request = Frame();
                }
            });
        });
    }

    Answer m_answer;
    QThread m_thread;
    QObject m_context;
    QTcpServer* m_server = nullptr;
    quint16 m_port = 0;
};

bool openAgainst(const ScriptedTerminal& terminal, TFP_CLOCK& clock) {
    clock.setTimeoutMs(400);
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, terminal.port(), 0);
    return clock.OpenConnection(1);
}

int readUsersAgainst(const ScriptedTerminal::Answer& answer) {
    ScriptedTerminal terminal(answer);
    TFP_CLOCK clock;
    EXPECT_TRUE(openAgainst(terminal, clock));
    EXPECT_FALSE(clock.ReadAllUserID(1));
    int code = 0;
    clock.GetLastErrorCode(code);
    return code;
}

} // namespace

TEST(GarbageReplies, AFloodOfRandomBytesFailsWithACode) {
    const int code = readUsersAgainst([](const Frame&) {
        QByteArray junk(256 * 1024, '\0');
        QRandomGenerator gen(7);
        for (char& c : junk)
            c = char(gen.bounded(256));
        for (int i = 0; i < junk.size(); i += 97)
            junk[i] = char(kStartMarker0), junk[i + 1] = char(kStartMarker1);
        return junk;
    });
    EXPECT_TRUE(code == ERR_BAD_REPLY || code == ERR_READ_FAIL) << code;
}

TEST(GarbageReplies, OversizedLengthIsRejectedWithoutWaitingForIt) {
    const int code = readUsersAgainst([](const Frame& request) {
        QByteArray bytes = ScriptedTerminal::reply(request, 0, QByteArray(4, '\0'));
        bytes[12] = char(0xFF);
        bytes[13] = char(0xF0);
        return bytes;
    });
    EXPECT_EQ(code, ERR_BAD_REPLY);
}

TEST(GarbageReplies, TruncatedReplyTimesOut) {
    const int code = readUsersAgainst([](const Frame& request) {
        return ScriptedTerminal::reply(request, 0, encodeU32(5)).left(10);
    });
    EXPECT_EQ(code, ERR_READ_FAIL);
}

TEST(GarbageReplies, ShortPayloadIsABadReply) {
    const int code = readUsersAgainst([](const Frame& request) {
        return ScriptedTerminal::reply(request, 0, QByteArray(3, '\0'));
    });
    EXPECT_EQ(code, ERR_BAD_REPLY);
}

TEST(GarbageReplies, ReplyForAnotherCommandIsABadReply) {
    const int code = readUsersAgainst([](const Frame& request) {
        Frame other = request;
        other.command = quint8(Command::GetTerminalTime);
        return ScriptedTerminal::reply(other, 0, encodeU32(1));
    });
    EXPECT_EQ(code, ERR_BAD_REPLY);
}

TEST(GarbageReplies, LateRepliesToEarlierRequestsAreIgnored) {
    const int code = readUsersAgainst([](const Frame& request) {
        Frame stale = request;
        stale.sequence = quint16(request.sequence - 1);
        return ScriptedTerminal::reply(stale, 0, encodeU32(1));
    });
    EXPECT_EQ(code, ERR_READ_FAIL);
}

TEST(GarbageReplies, ChunkClaimingMoreRecordsThanAskedIsABadReply) {
    ScriptedTerminal terminal([](const Frame& request) {
        if (request.command == quint8(Command::ReadLogBuffer))
            return ScriptedTerminal::reply(request, 0, encodeLogBufferInfo({5, 5}));
        LogChunk chunk;
        for (quint32 s = 1; s <= 1100; ++s)
            chunk.records.append(LogRecord{s, 1, 0, 2012, 1, 1, 0, 0});
        QByteArray payload = encodeLogChunk(chunk, 0).left(kMaxPayloadSize);
        return ScriptedTerminal::reply(request, 0, payload);
    });
    TFP_CLOCK clock;
    ASSERT_TRUE(openAgainst(terminal, clock));
    ASSERT_TRUE(clock.ReadLogBuffer(1));
    int tm, enroll, em, verify, y, mo, d, h, mi, code = 0;
    EXPECT_FALSE(clock.NextLogRecord(1, tm, enroll, em, verify, y, mo, d, h, mi));
    clock.GetLastErrorCode(code);
    EXPECT_EQ(code, ERR_BAD_REPLY);
}
