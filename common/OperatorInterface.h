#pragma once

#include <QString>

namespace selvenor {

// The one way a command reaches the operator. The windows implement it with Qt widgets,
// the command line with standard output and options, the tests with a recorder that answers
// questions from a script.
class OperatorInterface {
public:
    enum class Icon { None, Information, Warning, Question, Error };
    enum class Button { Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };
    using Buttons = int; // OR of Button values

    virtual ~OperatorInterface() = default;

    // A plain message under the application's title with an OK button.
    virtual void showMessage(const QString& text) = 0;

    // A message box with its own caption, icon and buttons; returns the button pressed.
    virtual Button messageBox(const QString& text, const QString& caption, Icon icon,
                              Buttons buttons) = 0;

    // The hourglass cursor on or off. Use BusyCursor rather than calling this directly.
    virtual void setBusy(bool busy) = 0;

    // Lets pending window events run (repaint, clicks). Use EventPump in loops.
    virtual void letPendingEventsRun() = 0;

    // A file-open dialog; an empty result means the operator cancelled.
    virtual QString chooseFileToOpen(const QString& startFolder) = 0;
};

inline OperatorInterface::Buttons operator|(OperatorInterface::Button a,
                                            OperatorInterface::Button b) {
    return static_cast<int>(a) | static_cast<int>(b);
}

// Whether `buttons` offers `button`.
inline bool has(OperatorInterface::Buttons buttons, OperatorInterface::Button button) {
    return (buttons & static_cast<int>(button)) != 0;
}

// Shows the hourglass for the lifetime of the object.
class BusyCursor {
public:
    explicit BusyCursor(OperatorInterface& ui)
        : m_ui(ui) {
        m_ui.setBusy(true);
    }
    ~BusyCursor() { m_ui.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    OperatorInterface& m_ui;
};

} // namespace selvenor
