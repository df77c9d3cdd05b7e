// The checks on an answer in the real window: the warning line, the second Enter and "<- Back".
#include "app_fixture.h"

#include <QLabel>

namespace parlavo::test {
namespace {

using AnswerWarning = AppWindowTest;

TEST_F(AnswerWarning, FirstEnterWarnsSecondEnterWithTheSameTextConfirmsAndBackNeverWarns) {
    writeFile("English.lng", "[Messages]\r\nMissing=Missing %1:\r\nNext=&Next >\r\nLast=Last\r\n");
    openAndLoad();
    auto* warning = find<QLabel>("warning");
    ASSERT_NE(warning, nullptr);
    EXPECT_FALSE(warning->isVisible());

    answer("Fehlt");
    EXPECT_EQ(heading(), "[Messages] - Missing"); // still here, nothing written
    EXPECT_EQ(translatedValue("Messages", "Missing"), "");
    EXPECT_TRUE(warning->isVisible());
    EXPECT_EQ(warning->text().toStdString(), "Missing %1. The English text ends with ':'.");
    EXPECT_EQ(warning->palette().color(QPalette::WindowText), QColor(0x9C, 0x00, 0x06));

    type("!"); // editing clears the warning, and the changed text is checked anew
    EXPECT_FALSE(warning->isVisible());
    press(Qt::Key_Return);
    EXPECT_TRUE(warning->isVisible());
    EXPECT_EQ(heading(), "[Messages] - Missing");
    press(Qt::Key_Return); // the same text again: confirmed anyway
    EXPECT_EQ(translatedValue("Messages", "Missing"), "Fehlt!");
    EXPECT_EQ(heading(), "[Messages] - Next");
    EXPECT_FALSE(warning->isVisible());

    answer("Weiter"); // no accelerator: warned
    EXPECT_TRUE(warning->isVisible());
    click(backButton()); // stores the text as it is and goes back without a word
    EXPECT_EQ(translatedValue("Messages", "Next"), "Weiter");
    EXPECT_EQ(heading(), "[Messages] - Missing");
    EXPECT_FALSE(warning->isVisible());
    EXPECT_TRUE(messages().empty()) << lastMessageText();
}

TEST_F(AnswerWarning, AnswerChecksZeroConfirmsAtTheFirstEnter) {
    writeFile("Parlavo.ini", "[Settings]\r\nAnswerChecks=0\r\n");
    writeFile("English.lng", "[Messages]\r\nMissing=Missing %1:\r\n");
    openAndLoad();
    answer("Fehlt");
    EXPECT_EQ(translatedValue("Messages", "Missing"), "Fehlt");
    EXPECT_FALSE(find<QLabel>("warning")->isVisible());
}

} // namespace
} // namespace parlavo::test
