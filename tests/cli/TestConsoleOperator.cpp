#include "cli/ConsoleOperator.h"

#include <gtest/gtest.h>

using selvenor::OperatorInterface;
using selvenor::cli::ConsoleOperator;
using Button = OperatorInterface::Button;
using Icon = OperatorInterface::Icon;

namespace {

struct Console {
    explicit Console(const QString& input)
        : inText(input) {}
    QString outText, errText, inText;
    QTextStream out{&outText}, err{&errText}, in{&inText};
    ConsoleOperator ui{out, err, in};
};

} // namespace

TEST(ConsoleOperator, AnswersQuestionsFromInputAndNoAtItsEnd) {
    Console c("evet\nh\ni\n");
    EXPECT_EQ(c.ui.messageBox("Sil?", "UYARI", Icon::None, Button::Yes | Button::No), Button::Yes);
    EXPECT_EQ(c.ui.messageBox("Sil?", "UYARI", Icon::None, Button::Yes | Button::No), Button::No);
    const auto all = Button::Yes | Button::No | static_cast<int>(Button::Cancel);
    EXPECT_EQ(c.ui.messageBox("Tekrar?", "GetEnrollData", Icon::None, all), Button::Cancel);
    EXPECT_EQ(c.ui.messageBox("Sil?", "UYARI", Icon::None, Button::Yes | Button::No), Button::No);
    EXPECT_TRUE(c.outText.startsWith("UYARI: Sil? [e/h] "));
}

TEST(ConsoleOperator, ErrorsGoToStandardErrorAndMessagesToStandardOutput) {
    Console c("");
    c.ui.messageBox("bozuk", QString(), Icon::Error, static_cast<int>(Button::Ok));
    c.ui.showMessage("Tamam");
    c.ui.messageBox("Bilgi", "UYARI", Icon::Information, static_cast<int>(Button::Ok));
    EXPECT_EQ(c.errText, QStringLiteral("bozuk\n"));
    EXPECT_EQ(c.outText, QStringLiteral("Tamam\nUYARI: Bilgi\n"));
}
