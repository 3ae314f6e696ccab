#pragma once

#include "OperatorInterface.h"

#include <mutex>

namespace selvenor {

// An operator that several threads share: each call reaches the operator behind it whole, one
// after the other. Events are not run from other threads (only the thread of the windows may
// run them), so letPendingEventsRun does nothing.
class SerialisedOperator : public OperatorInterface {
public:
    explicit SerialisedOperator(OperatorInterface& inner)
        : m_inner(inner) {}

    void showMessage(const QString& text) override {
        const std::lock_guard lock(m_mutex);
        m_inner.showMessage(text);
    }
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override {
        const std::lock_guard lock(m_mutex);
        return m_inner.messageBox(text, caption, icon, buttons);
    }
    void setBusy(bool) override {}
    void letPendingEventsRun() override {}
    QString chooseFileToOpen(const QString&) override { return QString(); }

private:
    OperatorInterface& m_inner;
    std::mutex m_mutex;
};

// An operator that tells nothing and answers every question with its first button: for work
// whose outcome its caller reports.
class SilentOperator : public OperatorInterface {
public:
    void showMessage(const QString&) override {}
    Button messageBox(const QString&, const QString&, Icon, Buttons buttons) override {
        for (const Button b : {Button::Ok, Button::No, Button::Cancel, Button::Yes}) {
            if (buttons & int(b))
                return b;
        }
        return Button::Ok;
    }
    void setBusy(bool) override {}
    void letPendingEventsRun() override {}
    QString chooseFileToOpen(const QString&) override { return QString(); }
};

} // namespace selvenor
