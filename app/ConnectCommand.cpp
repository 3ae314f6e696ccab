#include "ConnectCommand.h"

#include "ConnectionView.h"
#include "TerminalSession.h"

namespace selvenor {

QString ConnectCommand::connectCaption() {
    return QStringLiteral("BAGLAN");
}

QString ConnectCommand::disconnectCaption() {
    return QStringLiteral("BAGLANTI_KES");
}

ConnectCommand::ConnectCommand(TerminalSession& session, ConnectionView& view,
                               OperatorInterface& ui)
    : m_session(session)
    , m_view(view)
    , m_ui(ui) {}

void ConnectCommand::click(const TerminalRecord& currentRow) {
    const QString caption = m_view.connectCaption();
    if (caption == connectCaption())
        connect(currentRow);
    else if (caption == disconnectCaption())
        disconnect();
}

void ConnectCommand::connect(const TerminalRecord& row) {
    m_view.setTerminalCommandsEnabled(false);
    if (!m_session.connect(row, m_ui))
        return;
    m_view.setConnectCaption(disconnectCaption());
    m_view.setTerminalCommandsEnabled(true);
}

void ConnectCommand::disconnect() {
    m_view.setConnectCaption(connectCaption());
    m_session.disconnect();
    m_view.setTerminalCommandsEnabled(false);
}

} // namespace selvenor
