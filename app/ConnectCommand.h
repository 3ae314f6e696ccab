#pragma once

#include <QString>

namespace selvenor {

class ConnectionView;
class OperatorInterface;
class TerminalSession;
struct TerminalRecord;

// The connect button: "BAGLAN" connects to the current terminal of the list, "BAGLANTI_KES"
// disconnects; any other caption does nothing.
class ConnectCommand {
public:
    static QString connectCaption();    // "BAGLAN"
    static QString disconnectCaption(); // "BAGLANTI_KES"

    ConnectCommand(TerminalSession& session, ConnectionView& view, OperatorInterface& ui);

    // `currentRow` is the list's current terminal (an empty record when the list is empty).
    // A conversion error of the row's numbers propagates with the terminal commands disabled
    // and the caption "BAGLAN".
    void click(const TerminalRecord& currentRow);

private:
    void connect(const TerminalRecord& row);
    void disconnect();

    TerminalSession& m_session;
    ConnectionView& m_view;
    OperatorInterface& m_ui;
};

} // namespace selvenor
