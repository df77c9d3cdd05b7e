// The main window's keyboard handling, closing and owner-drawn painting.

#include "platform/gui/mainwindow.h"
#include "window_recorder.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace parlavo::test {
namespace {
std::vector<QString> tabWalk(MainWindow& window, int steps) {
    std::vector<QString> names;
    for (int i = 0; i < steps; ++i) {
        QWidget* focused = QApplication::focusWidget();
        if (!focused) {
            break;
        }
        names.push_back(window.control(window.focusedControlId())->objectName());
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    return names;
}

TEST(MainWindowKeyboard, TabWalksTheControlsInCreationOrder) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    window.hideTranslationPanel();
    window.start();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(window.focusedControlId(), 1007);
    const std::vector<QString> hidden = {"englishPath", "englishBrowse", "translatedPath", "translatedBrowse",
                                         "loadFiles",   "fileView",      "englishPath"};
    EXPECT_EQ(tabWalk(window, 7), hidden);

    window.showTranslationPanel();
    window.focusControl(1007);
    const std::vector<QString> shown = {"englishPath",
                                        "englishBrowse",
                                        "translatedPath",
                                        "translatedBrowse",
                                        "fontList",
                                        "sizeBox",
                                        "textColorSwatch",
                                        "highlightSwatch",
                                        "backgroundSwatch",
                                        "loadFiles",
                                        "fileView",
                                        "source",
                                        "translation",
                                        "back",
                                        "ok",
                                        "englishPath"};
    EXPECT_EQ(tabWalk(window, 16), shown);
    window.endDialog(0);
}

TEST(MainWindowKeyboard, EnterPressesOkAndEscapeCancels) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    recorder.react = [](MainWindow& w, Message& m) {
        if (m.kind == MessageKind::Command && m.controlId == ctl::Cancel) {
            w.endDialog(0);
        }
        return 0;
    };
    window.start();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.focusControl(1022);
    QTest::keyClick(window.control(1022), Qt::Key_Return);
    EXPECT_EQ(recorder.commands(ctl::Ok, notify::Clicked).size(), 1u);
    window.focusControl(1007);
    QTest::keyClick(window.control(1007), Qt::Key_Enter);
    EXPECT_EQ(recorder.commands(ctl::Ok, notify::Clicked).size(), 2u);
    window.focusControl(1005); // a focused push button takes Enter itself
    QTest::keyClick(window.control(1005), Qt::Key_Return);
    EXPECT_EQ(recorder.commands(1005, notify::Clicked).size(), 1u);
    EXPECT_EQ(recorder.commands(ctl::Ok, notify::Clicked).size(), 2u);

    QTest::keyClick(window.control(1007), Qt::Key_Escape);
    EXPECT_EQ(recorder.commands(ctl::Cancel, notify::Clicked).size(), 1u);
    const std::vector<MessageKind> kinds = recorder.kinds();
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), MessageKind::Close), 1);
    EXPECT_FALSE(window.isVisible());
}

TEST(MainWindowClosing, CloseBoxAsksTheHandlerAndEndDialogClosesOnce) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    int closes = 0;
    recorder.react = [&](MainWindow& w, Message& m) {
        if (m.kind == MessageKind::SysCommand && m.sysCommand == kSysCommandClose) {
            w.endDialog(0);
        }
        if (m.kind == MessageKind::Close) {
            ++closes;
            w.endDialog(0); // re-entry is ignored
        }
        return 0;
    };
    window.start();
    EXPECT_TRUE(window.close());
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(window.isVisible());
    const std::vector<MessageKind> kinds = recorder.kinds();
    const auto sys = std::find(kinds.begin(), kinds.end(), MessageKind::SysCommand);
    ASSERT_NE(sys, kinds.end());
    ASSERT_NE(sys + 1, kinds.end());
    EXPECT_EQ(*(sys + 1), MessageKind::Close);
}

TEST(MainWindowClosing, RunReturnsTheResultGivenToEndDialog) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    recorder.react = [](MainWindow& w, Message& m) {
        if (m.kind == MessageKind::InitDialog) {
            QTimer::singleShot(0, &w, [&w] { w.endDialog(7); });
        }
        return 0;
    };
    EXPECT_EQ(window.run(), 7);

    WindowRecorder early; // ended by its own initialisation: never shown
    early.react = [](MainWindow& w, Message& m) {
        if (m.kind == MessageKind::InitDialog) {
            w.endDialog(3);
        }
        return 0;
    };
    EXPECT_EQ(early.window.run(), 3);
    EXPECT_FALSE(early.window.isVisible());
    const std::vector<MessageKind> kinds = recorder.kinds();
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), MessageKind::Close), 1);
}

TEST(MainWindowPainting, OwnerDrawnControlsAskTheHandlerToPaint) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    std::vector<DrawItemContext> drawn;
    recorder.react = [&](MainWindow&, Message& m) {
        if (m.kind == MessageKind::DrawItem) {
            EXPECT_NE(m.drawItem->painter, nullptr);
            drawn.push_back(*m.drawItem);
            drawn.back().painter = nullptr;
            return 1;
        }
        return 0;
    };
    window.setControlText(1016, "65535");
    auto* fonts = window.controlAs<QComboBox>(1008);
    fonts->addItems({QStringLiteral("Arial"), QStringLiteral("Courier")});
    fonts->setCurrentIndex(1);
    window.control(1016)->grab();
    window.control(1008)->grab();
    ASSERT_GE(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].text, "65535");
    EXPECT_EQ(drawn[0].rect, window.control(1016)->rect());
    EXPECT_EQ(recorder.messages.back().message.controlId, 1008);
    EXPECT_TRUE(drawn.back().selectionField);
    EXPECT_EQ(drawn.back().item, -1);
    EXPECT_EQ(drawn.back().text, "Courier");
}

} // namespace
} // namespace parlavo::test
