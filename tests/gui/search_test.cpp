// Revising any entry through Ctrl+F in the real window, by keyboard.
#include "app_fixture.h"

#include <QApplication>

namespace parlavo::test {
namespace {

using ReviseEntry = AppWindowTest;

TEST_F(ReviseEntry, CtrlFOpensAnEarlierAnswerForRevisingAndThePassReturnsWhereItWas) {
    writeFile("English.lng", "[A]\r\nk1=One\r\nk2=Two\r\nk3=Three\r\nk4=Four\r\n");
    openAndLoad();
    answer("Uno");
    answer("Dso"); // a typo, found later
    ASSERT_EQ(heading(), "[A] - k3");
    const std::string title = this->title();

    press(Qt::Key_F, Qt::ControlModifier);
    QLineEdit* box = find<QLineEdit>("search");
    ASSERT_TRUE(box->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), box);
    type("dso"); // found in a translation, letter case aside
    press(Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(heading(), "[A] - k2");
    EXPECT_EQ(QApplication::focusWidget(), translation());
    EXPECT_EQ(translation()->selectedText(), QString("Dso"));
    answer("Dos");
    EXPECT_EQ(translatedValue("A", "k2"), "Dos");
    EXPECT_EQ(heading(), "[A] - k3"); // back where the pass was
    EXPECT_EQ(this->title(), title);

    // Enter opens the first match of keys and English texts, F3 the next one.
    press(Qt::Key_F, Qt::ControlModifier);
    type("O");
    press(Qt::Key_Return);
    EXPECT_EQ(heading(), "[A] - k1");
    press(Qt::Key_F3);
    EXPECT_EQ(heading(), "[A] - k2");
    EXPECT_EQ(translation()->text(), QString("Dos"));
    press(Qt::Key_Return);
    EXPECT_EQ(heading(), "[A] - k3");
    EXPECT_EQ(readFile("Translated.lng"), "[A]\r\nk1=Uno\r\nk2=Dos\r\nk3=\r\nk4=\r\n\r\n");
    EXPECT_TRUE(messages().empty()) << lastMessageText();
}

} // namespace
} // namespace parlavo::test
