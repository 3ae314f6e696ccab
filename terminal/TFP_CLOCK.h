#pragma once

#include <QObject>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace selvenor {

class TerminalLink;

// Number of 32-bit elements that GetEnrollData and SetEnrollData move for one item: a template
// occupies elements 0 to 353; element 354 travels with them.
inline constexpr int kEnrollDataSize = 355;

// The terminal communication control. Every operation returns true on success; after a
// failure GetLastErrorCode tells why (see ResultCode.h); an operation on a closed connection
// fails too (ERR_NOT_OPEN). A request is given up after timeoutMs(), plus twice the line time
// of its bytes on a COM link, and no operation waits longer than kOperationLimitMs in all,
// whatever the timeout and the baud rate, re-opening a lost session included. The control runs
// on the caller's thread.
// Operations that change the enrolment store or erase data need the terminal disabled first
// (SetTerminalEnabled(machine, false)); otherwise they fail with ERR_NOT_DISABLED.
//
// A terminal ends a session on its own (after its idle time, or when the link drops). An
// operation that finds at its start that the session opened by OpenConnection is gone (the
// link closed, or the terminal answers ERR_NOT_OPEN) opens a new one once, with the settings
// and the machine number of that OpenConnection, and repeats itself; when the lost session had
// disabled the terminal, the new one disables it again first. A new session to another unit
// (another serial or log generation) is refused with ERR_NOT_OPEN. A step of a walk
// (NextLogRecord, NextAllLogRecord, GetNextUserID) opens nothing: a walk whose link went fails
// with ERR_NOT_OPEN, also after a new session. CloseConnection ends all this.
//
// Links: "ethernet" after ConfigureNetwork (TCP), "com" with CommPort/Baudrate (serial device),
// "usb" (a USB terminal presenting a serial device). OpenConnection picks the link from what
// was selected last: ConfigureNetwork selects TCP; setting CommPort, or selectComPort(), the
// serial line; setIsUSB(true) USB; a control that was never configured opens USB. IsUSB() is
// true exactly while USB is selected. CommPort N is the device $SELVENOR_COM<N>, else
// /dev/ttyS<N-1>; USB is $SELVENOR_USB_DEVICE, else /dev/ttyACM0. One control serves terminals
// of every kind in turn, so every connect selects its own link first. See docs/protocol.md.
class TFP_CLOCK : public QObject {
    Q_OBJECT
public:
    // The longest any one operation waits for its terminal.
    static constexpr int kOperationLimitMs = 30000;

    explicit TFP_CLOCK(QObject* parent = nullptr);
    ~TFP_CLOCK() override;

    // --- properties ---
    int CommPort() const;
    void setCommPort(int port);
    bool ReadMark() const;
    void setReadMark(bool mark);
    int Baudrate() const;
    void setBaudrate(int baud);
    bool IsUSB() const;
    // true selects USB; false, while USB is selected, the serial line of CommPort.
    void setIsUSB(bool usb);

    // --- the 22 operations ---
    bool OpenConnection(int machine);
    void CloseConnection();
    // Selects TCP; false (ERR_INVALID_PARAM) for a port outside 1 to 65535, and OpenConnection
    // then fails with ERR_COMPORT_ERROR.
    bool ConfigureNetwork(QString& address, int port, int password);
    bool SetTerminalEnabled(int machine, bool enabled);

    bool ReadLogBuffer(int machine);
    bool NextLogRecord(int machine, int& tMachine, int& enrollNumber, int& eMachine, int& verify,
                       int& year, int& month, int& day, int& hour, int& minute);
    bool ReadAllLogBuffer(int machine);
    bool NextAllLogRecord(int machine, int& tMachine, int& enrollNumber, int& eMachine, int& verify,
                          int& year, int& month, int& day, int& hour, int& minute);

    bool GetLastErrorCode(int& code);

    bool SyncTerminalTime(int machine);
    bool GetTerminalTime(int machine, int& year, int& month, int& day, int& hour, int& minute,
                         int& dayOfWeek);

    bool ReadAllUserID(int machine);
    bool GetNextUserID(int machine, int& enrollNumber, int& eMachine, int& backupNumber,
                       int& privilege, int& enabled);
    bool GetEnrollData(int machine, int enrollNumber, int eMachine, int backupNumber,
                       int& privilege, QVector<qint32>& enrollData, int& password);
    bool SetEnrollData(int machine, int enrollNumber, int eMachine, int backupNumber, int privilege,
                       QVector<qint32>& enrollData, int password);
    bool DeleteEnrollData(int machine, int enrollNumber, int eMachine, int backupNumber);
    bool SetUserPrivilege(int machine, int enrollNumber, int eMachine, int backupNumber,
                          int privilege);
    bool SetUserEnabled(int machine, int enrollNumber, int eMachine, int backupNumber, int flag);
    bool ClearKeeperData(int machine);
    bool ClearEnrollStore(int machine);
    bool GetUserName(int one, int machine, int enrollNumber, int machine2, QString& name);
    bool SetUserName(int zero, int machine, int enrollNumber, int machine2, QString& name);

    // --- operations of our own, beyond the 22 ---

    // Sequence number (assigned by the terminal) of the record the last successful
    // NextLogRecord / NextAllLogRecord handed out.
    quint32 LastLogSequence() const;
    // Moves the terminal's read mark past every record up to and including `sequence`.
    // Records handed out by ReadLogBuffer/NextLogRecord stay unread until acknowledged.
    bool AcknowledgeLogRecords(int machine, quint32 sequence);
    // Erases every attendance record held by the terminal.
    bool ClearLogData(int machine);
    // Who the connected terminal is, as its Hello told: a serial number that never changes for
    // a unit, and a log generation that changes whenever the unit's numbering of attendance
    // records starts over (so a sequence number means something only with its generation).
    // Empty and 0 while no connection is open.
    QString TerminalSerial() const;
    quint32 LogGeneration() const;

    // Timeout of one request, in milliseconds; a COM line adds twice the time its bytes take
    // (default 3000, or SELVENOR_TERMINAL_TIMEOUT_MS). Never more than kOperationLimitMs.
    int timeoutMs() const;
    void setTimeoutMs(int ms);
    bool isOpen() const;

    // Selects the serial line for the next OpenConnection with CommPort and Baudrate as they
    // are.
    void selectComPort();

    // Password for the next OpenConnection on any link (ConfigureNetwork sets it too); 0 = none.
    void setPassword(int password);
    // Called while the control waits for its terminal (connecting, sending, waiting for reply
    // bytes), at most every 30 ms, so a window can let its events run; none by default. While
    // it runs, the control refuses to start anything else: requests and OpenConnection fail
    // with ERR_MULTIUSER, and CloseConnection does nothing.
    void setWaitingHook(std::function<void()> hook);
    std::function<void()> waitingHook() const;

    // Bytes that crossed the link(s) of this control so far, frames and retries included.
    quint64 bytesSent() const;
    quint64 bytesReceived() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace selvenor
