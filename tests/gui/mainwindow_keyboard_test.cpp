// The main window's keyboard handling and closing.

#include "platform/gui/mainwindow.h"
#include "window_recorder.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace parlavo::test {
namespace {

// The names of the controls that Tab visits, from the focused one, one step per name.
std::string tabWalk(MainWindow& window, int steps) {
    std::string names;
    for (int i = 0; i < steps && QApplication::focusWidget(); ++i) {
        names += window.control(window.focusedControlId())->objectName().toStdString() + " ";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
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
    EXPECT_EQ(tabWalk(window, 7),
              "englishPath englishBrowse translatedPath translatedBrowse loadFiles fileView englishPath ");

    window.showTranslationPanel();
    window.focusControl(1007);
    EXPECT_EQ(tabWalk(window, 16),
              "englishPath englishBrowse translatedPath translatedBrowse fontList sizeBox "
              "textColorSwatch highlightSwatch backgroundSwatch loadFiles fileView source "
              "translation back ok englishPath ");
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

TEST(MainWindowClosing, RunReturnsTheResultGivenToEndDialogAndAWindowEndedAtInitialisationIsNeverShown) {
    for (const bool early : {false, true}) {
        WindowRecorder recorder;
        recorder.react = [early](MainWindow& w, Message& m) {
            if (m.kind == MessageKind::InitDialog) {
                early ? w.endDialog(3) : QTimer::singleShot(0, &w, [&w] { w.endDialog(7); });
            }
            return 0;
        };
        EXPECT_EQ(recorder.window.run(), early ? 3 : 7);
        EXPECT_FALSE(recorder.window.isVisible());
        const std::vector<MessageKind> kinds = recorder.kinds();
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), MessageKind::Close), 1);
    }
}

} // namespace
} // namespace parlavo::test
