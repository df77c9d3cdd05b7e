#include "platform/gui/mainwindow.h"
#include "window_recorder.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>
#include <string>

namespace parlavo::test {
namespace {

// Drops the URLs on a control as the shell would: enter, move, drop.
bool drop(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPointF inside(5, 5);
    QDragEnterEvent enter(inside.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent dropped(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

TEST(FileDrop, FirstDroppedFileReplacesTheBoxTextWhole) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    const std::string translatedBefore = window.controlText(1023);
    const std::string first = "/home/translator/lang/English.lng";
    ASSERT_TRUE(drop(window.control(1007), {QUrl::fromLocalFile(QString::fromStdString(first)),
                                            QUrl::fromLocalFile(QStringLiteral("/tmp/second.lng")),
                                            QUrl::fromLocalFile(QStringLiteral("/tmp/third.lng"))}));
    EXPECT_EQ(window.controlText(1007), first);
    EXPECT_EQ(window.controlText(1023), translatedBefore);
    const auto changes = recorder.commands(1007, notify::EditChange);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back().text, first);
    EXPECT_TRUE(recorder.commands(1023, notify::EditChange).empty());
}

TEST(FileDrop, LongPathsArriveUncutAndOtherDropsEmptyTheBox) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    std::string longPath = "/";
    while (longPath.size() < 290) {
        longPath += "folder" + std::to_string(longPath.size()) + "/";
    }
    longPath += "Translated.lng";
    ASSERT_GT(longPath.size(), 300u);
    window.setControlText(1023, "typed by hand");
    ASSERT_TRUE(drop(window.control(1023), {QUrl::fromLocalFile(QString::fromStdString(longPath))}));
    EXPECT_EQ(window.controlText(1023), longPath);
    EXPECT_EQ(window.controlAs<QLineEdit>(1023)->text().toStdString(), longPath); // no "file://" text

    ASSERT_TRUE(drop(window.control(1023), {QUrl(QStringLiteral("https://example.org/a.lng"))}));
    EXPECT_EQ(window.controlText(1023), "");
}

} // namespace
} // namespace parlavo::test
