#include "platform/gui/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace parlavo::test {
namespace {

// The hook that answers boxes in the window tests is used by every one of them.
TEST(MessageBox, RealBoxShowsTheBytesEnterAcceptsItAndDeclinesAQuestion) {
    clearShownMessages();
    QString shownCaption;
    QString shownText;
    bool answered = false;
    // Answers the box as soon as it is on screen (looked for every few milliseconds).
    QTimer answerer;
    answerer.setInterval(5);
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                answerer.stop();
                shownCaption = box->windowTitle();
                shownText = box->text();
                answered = true;
                QTest::keyClick(box, Qt::Key_Return);
                return;
            }
        }
    });
    answerer.start();
    EXPECT_EQ(showMessageBox(nullptr, "All Done! :)", "caf\xE9 is done.", MessageIcon::Information), 1);
    EXPECT_TRUE(answered);
    EXPECT_EQ(shownCaption, QStringLiteral("All Done! :)"));
    EXPECT_EQ(shownText, QStringLiteral("caf\u00E9 is done."));
    EXPECT_EQ(shownMessages().size(), 1u);
    // A question defaults to No: Enter declines it.
    answered = false;
    answerer.start();
    EXPECT_FALSE(askQuestion(nullptr, "Translations would be removed", "Continue?"));
    EXPECT_TRUE(answered);
    clearShownMessages();
}

} // namespace
} // namespace parlavo::test
