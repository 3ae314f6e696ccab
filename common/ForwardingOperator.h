#pragma once

#include "OperatorInterface.h"

namespace selvenor {

// An operator that hands everything to another one: operators that change how some calls are
// answered derive from it and override only those.
class ForwardingOperator : public OperatorInterface {
public:
    explicit ForwardingOperator(OperatorInterface& inner)
        : m_inner(inner) {}

    void showMessage(const QString& text) override { m_inner.showMessage(text); }
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override {
        return m_inner.messageBox(text, caption, icon, buttons);
    }
    void setBusy(bool busy) override { m_inner.setBusy(busy); }
    void letPendingEventsRun() override { m_inner.letPendingEventsRun(); }
    QString chooseFileToOpen(const QString& startFolder) override {
        return m_inner.chooseFileToOpen(startFolder);
    }

protected:
    OperatorInterface& inner() { return m_inner; }

private:
    OperatorInterface& m_inner;
};

} // namespace selvenor
