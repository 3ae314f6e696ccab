#pragma once

#include <QIODevice>
#include <QString>

class QSocketNotifier;

namespace selvenor::sim {

// The terminal's end of a pseudo-terminal pair, so a client can reach the simulator through a
// serial device path (slavePath()). The simulator keeps a descriptor of the client's end open
// itself, so the pair survives the client closing and opening its end.
class PtyDevice : public QIODevice {
    Q_OBJECT
public:
    explicit PtyDevice(QObject* parent = nullptr);
    ~PtyDevice() override;

    // Creates the pair and puts the client's end into raw mode.
    bool create(QString* error);
    QString slavePath() const { return m_slavePath; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    qint64 bytesToWrite() const override { return m_pending.size(); }
    void close() override;
    // While paused, readyRead is not emitted: the bytes wait in the pseudo-terminal.
    void setReadPaused(bool paused);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    void flushPending();

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QByteArray m_pending;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
};

} // namespace selvenor::sim
