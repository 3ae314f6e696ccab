#pragma once

#include "common/OperatorInterface.h"

#include <QTextStream>

namespace selvenor::cli {

// The operator of the command line: messages on standard output, warnings and errors on
// standard error, questions answered on standard input ("e"/"evet" is Yes, "i"/"iptal" is
// Cancel, anything else or the end of input No). There is no file dialog: commands take
// file names as arguments.
class ConsoleOperator : public OperatorInterface {
public:
    ConsoleOperator(QTextStream& out, QTextStream& err, QTextStream& in);

    void showMessage(const QString& text) override;
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;
    void setBusy(bool busy) override;
    void letPendingEventsRun() override;
    QString chooseFileToOpen(const QString& startFolder) override;

private:
    Button ask(const QString& text, Buttons buttons);

    QTextStream& m_out;
    QTextStream& m_err;
    QTextStream& m_in;
};

} // namespace selvenor::cli
