#include "gui/QtOperator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

using selvenor::OperatorInterface;
using selvenor::QtOperator;
using Button = OperatorInterface::Button;
using Icon = OperatorInterface::Icon;

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
};

// Reads the message box that the next call opens and presses `press` in it.
SeenBox* answerNextBox(QMessageBox::StandardButton press) {
    auto* seen = new SeenBox;
    QTimer::singleShot(0, [seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen->buttons << box->standardButton(b);
        box->button(press)->click();
    });
    return seen;
}

} // namespace

TEST(QtOperator, AQuestionShowsItsCaptionIconAndButtonsAndReturnsTheAnswer) {
    QtOperator ui;
    std::unique_ptr<SeenBox> seen(answerNextBox(QMessageBox::No));
    EXPECT_EQ(ui.messageBox("Silinsin mi?", "UYARI", Icon::Question, Button::Yes | Button::No),
              Button::No);
    EXPECT_EQ(seen->title, QStringLiteral("UYARI"));
    EXPECT_EQ(seen->text, QStringLiteral("Silinsin mi?"));
    EXPECT_EQ(seen->icon, QMessageBox::Question);
    EXPECT_EQ(seen->buttons.size(), 2);
    EXPECT_TRUE(seen->buttons.contains(QMessageBox::Yes));
    EXPECT_TRUE(seen->buttons.contains(QMessageBox::No));
}

TEST(QtOperator, APlainMessageAndAnErrorCarryTheApplicationsTitle) {
    QCoreApplication::setApplicationName("Selvenor");
    QtOperator ui;
    std::unique_ptr<SeenBox> plain(answerNextBox(QMessageBox::Ok));
    ui.showMessage("tamamlandı");
    EXPECT_EQ(plain->title, QStringLiteral("Selvenor"));
    EXPECT_EQ(plain->buttons, QList<QMessageBox::StandardButton>({QMessageBox::Ok}));
    std::unique_ptr<SeenBox> error(answerNextBox(QMessageBox::Ok));
    EXPECT_EQ(ui.messageBox("bozuk", QString(), Icon::Error, static_cast<int>(Button::Ok)),
              Button::Ok);
    EXPECT_EQ(error->title, QStringLiteral("Selvenor"));
    EXPECT_EQ(error->icon, QMessageBox::Critical);
}

TEST(QtOperator, TheBusyCursorComesAndGoes) {
    QtOperator ui;
    {
        selvenor::BusyCursor busy(ui);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The MySQL connection set-up's warning names no icon, and its box shows none.
TEST(QtOperator, AMessageWithoutAnIconShowsNone) {
    QtOperator ui;
    std::unique_ptr<SeenBox> seen(answerNextBox(QMessageBox::Ok));
    EXPECT_EQ(ui.messageBox("Veritabanına bağlanamadı....", "UYARI", Icon::None,
                            static_cast<int>(Button::Ok)),
              Button::Ok);
    EXPECT_EQ(seen->title, QStringLiteral("UYARI"));
    EXPECT_EQ(seen->icon, QMessageBox::NoIcon);
}
