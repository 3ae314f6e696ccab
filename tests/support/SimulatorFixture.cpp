#include "SimulatorFixture.h"

#include "common/Errors.h"
#include "sim/SimulatorServer.h"
#include "sim/StateFile.h"
#include "sim/StateStore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>

#include <cstdio>

using namespace selvenor;

SimulatorFixture::SimulatorFixture(const QJsonObject& state, Options options)
    : m_options(options) {
    start(state);
}

SimulatorFixture::SimulatorFixture(const QJsonObject& state)
    : SimulatorFixture(state, Options()) {}

SimulatorFixture::~SimulatorFixture() {
    stop();
}

void SimulatorFixture::start(const QJsonObject& state) {
    m_statePath = QDir(m_dir.path()).filePath(QStringLiteral("terminal.json"));
    QFile file(m_statePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(state).toJson()) < 0) {
        m_error = file.errorString();
        return;
    }
    file.close();

    m_thread = new QThread;
    m_context = new QObject;
    m_context->moveToThread(m_thread);
    m_thread->start();
    // The store's database belongs to the simulator's thread: it is opened there.
    inSimulatorThread([this] {
        std::unique_ptr<sim::SimulatorServer> server;
        try {
            auto store = std::make_unique<sim::StateStore>(m_statePath);
            sim::TerminalState loaded = store->load();
            server = std::make_unique<sim::SimulatorServer>(std::move(loaded), std::move(store));
        } catch (const Error& e) {
            m_error = e.text();
            return;
        }
        server->setLogger([this](const QString& line) {
            QMutexLocker lock(&m_logMutex);
            m_log.append(line);
            if (m_options.printLog)
                std::fprintf(stderr, "sim: %s\n", line.toUtf8().constData());
        });
        if (!server->listen(QHostAddress::LocalHost, 0, &m_error))
            return;
        if (m_options.serial && !server->openSerial(QStringLiteral("pty"), 0, &m_error))
            return;
        m_port = server->port();
        m_serialPath = server->serialPath();
        m_server = server.release();
    });
}

void SimulatorFixture::inSimulatorThread(const std::function<void()>& work) const {
    QMetaObject::invokeMethod(m_context, work, Qt::BlockingQueuedConnection);
}

void SimulatorFixture::stop() {
    if (!m_thread)
        return;
    inSimulatorThread([this] {
        if (!m_server)
            return;
        try {
            m_server->finish();
        } catch (const Error& e) {
            m_error = e.text();
        }
        delete m_server;
        m_server = nullptr;
    });
    m_thread->quit();
    m_thread->wait();
    delete m_context;
    delete m_thread;
    m_context = nullptr;
    m_thread = nullptr;
}

void SimulatorFixture::exportComPort(int port) const {
    qputenv(("SELVENOR_COM" + QByteArray::number(port)).constData(), m_serialPath.toLocal8Bit());
}

void SimulatorFixture::exportUsbDevice() const {
    qputenv("SELVENOR_USB_DEVICE", m_serialPath.toLocal8Bit());
}

QJsonObject SimulatorFixture::state() const {
    return QJsonDocument::fromJson(sim::StateFile::toJson(terminalState())).object();
}

sim::TerminalState SimulatorFixture::terminalState() const {
    if (!m_server)
        return sim::StateFile::load(m_statePath);
    sim::TerminalState state;
    inSimulatorThread([this, &state] { state = m_server->terminal().state(); });
    return state;
}

QStringList SimulatorFixture::logLines() const {
    QMutexLocker lock(&m_logMutex);
    return m_log;
}

QJsonObject SimulatorFixture::state(std::initializer_list<std::pair<QString, QJsonValue>> keys) {
    QJsonObject o{{"machine", 1}, {"password", 0}};
    for (const auto& [key, value] : keys)
        o.insert(key, value);
    return o;
}

QJsonArray SimulatorFixture::templateOf(int seed) {
    QJsonArray t;
    for (int i = 0; i < 355; ++i)
        t.append(qint32(quint32(seed) * 2654435761u + quint32(i) * 40503u));
    return t;
}

QJsonObject SimulatorFixture::user(int enroll, int backup, int privilege, int value, int emachine) {
    QJsonObject u{{"enroll", enroll},
                  {"emachine", emachine},
                  {"backup", backup},
                  {"privilege", privilege},
                  {"enabled", true}};
    if (backup >= 0 && backup <= 9)
        u.insert(QStringLiteral("template"), templateOf(enroll * 16 + backup));
    else
        u.insert(QStringLiteral("value"), value);
    return u;
}

QJsonObject SimulatorFixture::record(int enroll, int verify, int year, int month, int day, int hour,
                                     int minute, bool read) {
    return QJsonObject{{"enroll", enroll}, {"verify", verify}, {"year", year},     {"month", month},
                       {"day", day},       {"hour", hour},     {"minute", minute}, {"read", read}};
}
