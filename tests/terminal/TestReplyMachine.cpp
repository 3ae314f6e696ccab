// Replies carry the machine number of the terminal that sent them; the control takes a reply only
// from the terminal it addressed.
#include "ControlHarness.h"

#include "terminal/Command.h"
#include "terminal/Frame.h"
#include "terminal/FrameDecoder.h"
#include "terminal/Messages.h"
#include "terminal/ResultCode.h"

#include <atomic>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace selvenor;
using namespace selvenor::protocol;

namespace {

// A terminal on loopback that answers every request as the protocol says, except that its
// replies carry machine number `replyMachine` (its Hello replies only when `helloToo`), as a
// second terminal answering on a shared line would.
class ForeignMachineTerminal {
public:
    ForeignMachineTerminal(qint32 replyMachine, bool helloToo)
        : m_replyMachine(replyMachine)
        , m_helloToo(helloToo) {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(m_listener, 1) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~ForeignMachineTerminal() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_listener);
    }

    quint16 port() const { return m_port; }

private:
    bool waitReadable(int fd) {
        pollfd p{fd, POLLIN, 0};
        while (!m_stop) {
            if (::poll(&p, 1, 20) > 0)
                return true;
        }
        return false;
    }

    void serve() {
        if (!waitReadable(m_listener))
            return;
        const int connection = ::accept(m_listener, nullptr, nullptr);
        FrameDecoder decoder;
        char buffer[4096];
        while (waitReadable(connection)) {
            const ssize_t n = ::read(connection, buffer, sizeof buffer);
            if (n <= 0)
                break;
            decoder.feed(QByteArrayView(buffer, n));
            Frame request;
            while (decoder.take(request) == FrameDecoder::Status::Frame) {
                const QByteArray reply = encodeFrame(replyTo(request));
                if (::write(connection, reply.constData(), size_t(reply.size())) != reply.size())
                    break;
            }
        }
        ::close(connection);
    }

    Frame replyTo(const Frame& request) const {
        Frame reply = request;
        reply.reply = true;
        reply.payload.clear();
        const bool hello = request.command == quint8(Command::Hello);
        reply.machine = hello && !m_helloToo ? request.machine : m_replyMachine;
        if (hello)
            reply.payload = encodeHelloReply({0, QByteArray(16, '\x5'), "FOREIGN-1", 1});
        else if (request.command == quint8(Command::GetTerminalTime))
            reply.payload = encodeClock({2012, 3, 7, 9, 5, 0, 3}, true);
        return reply;
    }

    qint32 m_replyMachine;
    bool m_helloToo;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

bool openOn(TFP_CLOCK& clock, quint16 port) {
    QString host = QStringLiteral("127.0.0.1");
    clock.ConfigureNetwork(host, port, 0);
    return clock.OpenConnection(1);
}

int lastError(TFP_CLOCK& clock) {
    int code = -1;
    clock.GetLastErrorCode(code);
    return code;
}

} // namespace

TEST(ReplyMachine, AHelloAnsweredByAnotherMachineOpensNothing) {
    ForeignMachineTerminal terminal(2, true);
    ASSERT_NE(terminal.port(), 0);
    TFP_CLOCK clock;
    clock.setTimeoutMs(1000);
    EXPECT_FALSE(openOn(clock, terminal.port()));
    EXPECT_EQ(lastError(clock), ERR_BAD_REPLY);
    EXPECT_FALSE(clock.isOpen());
}

TEST(ReplyMachine, AReplyFromAnotherMachineFailsTheOperation) {
    ForeignMachineTerminal terminal(2, false);
    ASSERT_NE(terminal.port(), 0);
    TFP_CLOCK clock;
    clock.setTimeoutMs(1000);
    ASSERT_TRUE(openOn(clock, terminal.port())) << lastError(clock);
    int year = 0, month, day, hour, minute, dayOfWeek;
    EXPECT_FALSE(clock.GetTerminalTime(1, year, month, day, hour, minute, dayOfWeek));
    EXPECT_EQ(lastError(clock), ERR_BAD_REPLY);
    EXPECT_EQ(year, 0) << "nothing of the foreign reply was handed out";
}
