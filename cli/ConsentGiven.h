#pragma once

#include "common/ForwardingOperator.h"

namespace selvenor::cli {

// The operator of a command given --yes: a Yes/No question is answered Yes and reported; the
// command line's other answering operators derive from it.
class ConsentGiven : public ForwardingOperator {
public:
    using ForwardingOperator::ForwardingOperator;
    Button messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;

protected:
    // Shows "caption: text -> answer" as a warning: what was asked and how it was answered.
    void reportAnswer(const QString& caption, const QString& text, const QString& answer);
};

} // namespace selvenor::cli
