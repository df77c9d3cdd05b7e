#include "platform/gui/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace parlavo::test {
namespace {

TEST(MessageBox, HookAnswersInsteadOfShowingAndEveryBoxIsRecorded) {
    clearShownMessages();
    std::string seen;
    setMessageBoxHook([&](std::string_view caption, std::string_view text, MessageIcon icon) {
        seen = std::string(caption) + "|" + std::string(text) + "|" + std::to_string(static_cast<int>(icon));
        return 42;
    });
    EXPECT_EQ(showMessageBox(nullptr, "Error", "Invalid English file.", MessageIcon::Error), 42);
    setMessageBoxHook({});
    EXPECT_EQ(seen, "Error|Invalid English file.|" + std::to_string(static_cast<int>(MessageIcon::Error)));
    ASSERT_EQ(shownMessages().size(), 1u);
    EXPECT_EQ(shownMessages()[0].caption, "Error");
    EXPECT_EQ(shownMessages()[0].text, "Invalid English file.");
    EXPECT_EQ(shownMessages()[0].icon, MessageIcon::Error);
    clearShownMessages();
}

TEST(MessageBox, RealBoxShowsTheBytesAndEnterAcceptsIt) {
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
    clearShownMessages();
}

} // namespace
} // namespace parlavo::test
