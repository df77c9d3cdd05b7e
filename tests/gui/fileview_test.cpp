#include "app_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace parlavo::test {
namespace {

TEST(FileView, HoldsLargeFilesWholeAndShowsAbsurdOnesShortenedWithANotice) {
    FileViewWidget view;
    std::string bytes;
    for (int i = 0; i < 20000; ++i) {
        bytes += "Key" + std::to_string(i) + "=a value of some thirty bytes\r\n";
    }
    bytes += "Last=end";
    ASSERT_GT(bytes.size(), 600000u);
    view.setContent(bytes, "\r\n");
    EXPECT_EQ(view.lineCount(), 20001);
    EXPECT_EQ(view.toPlainText().size(), static_cast<qsizetype>(bytes.size() - 20000));
    view.selectRange(20000, 5, 3);
    EXPECT_EQ(view.selectedText(), QStringLiteral("end"));

    // A line of a million bytes shows its start; the lines after it keep their places.
    view.setContent("k=" + std::string(1'000'000, 'x') + "\r\nB=2", "\r\n");
    const QString notice = QStringLiteral(" \u2026 (shortened: 1000002 bytes)");
    const QString first = view.toPlainText().split(u'\n').first();
    EXPECT_EQ(first, QString(9998, u'x').prepend("k=") + notice);
    view.formatRange(0, 9990, 100, ViewFormat{std::nullopt, true, std::nullopt});
    EXPECT_EQ(view.formatAt({0, 9990}).fontWeight(), QFont::Bold);
    EXPECT_NE(view.formatAt({0, static_cast<int>(first.size()) - 1}).fontWeight(),
              QFont::Bold);                // not the notice
    view.replaceToLineEnd(0, 12'000, "y"); // beyond what is shown: only the notice changes
    EXPECT_TRUE(view.toPlainText().split(u'\n').first().endsWith(QStringLiteral("(shortened: 12001 bytes)")));
    view.replaceToLineEnd(0, 2, "short");
    EXPECT_EQ(view.toPlainText(), QStringLiteral("k=short\nB=2"));
    view.selectRange(1, 0, 3);
    EXPECT_EQ(view.selectedText(), QStringLiteral("B=2"));

    // A file of 1,500,000 lines shows its first lines and says so.
    std::string lines;
    for (int i = 0; i < 1'500'000; ++i) {
        lines += "K" + std::to_string(i) + "=v\n";
    }
    view.setContent(lines, "\n");
    ASSERT_LT(view.lineCount(), 1'500'000);
    EXPECT_EQ(view.lineText(view.lineCount() - 1), "K" + std::to_string(view.lineCount() - 1) + "=v");
    EXPECT_EQ(view.toPlainText().split(u'\n').last(),
              QStringLiteral("\u2026 (file shortened: the view shows the first %1 of 1500001 lines)")
                  .arg(view.lineCount()));
}

// Replaced lines move out of the content given; many growing replacements make the view gather
// what it still shows, and every line reads as last set.
TEST(FileView, KeepsEveryLineThroughManyReplacements) {
    FileViewWidget view;
    view.setContent(std::make_shared<const std::string>("A=1\nB=2\nC=3\nD=4"), "\n");
    view.replaceToLineEnd(3, 2, "short");
    for (std::size_t size = 9000; size < 9200; ++size) {
        view.replaceToLineEnd(1, 2, std::string(size, 'b'));
        view.replaceToLineEnd(2, 2, std::to_string(size)); // shorter than before from the second on
    }
    EXPECT_EQ(view.lineText(0), "A=1");
    EXPECT_EQ(view.lineText(1), "B=" + std::string(9199, 'b'));
    EXPECT_EQ(view.lineText(2), "C=9199");
    EXPECT_EQ(view.lineText(3), "D=short");
}

// A large file is decorated a screenful (and a margin) at a time: the lines in sight first, the others
// as the view scrolls to them, each line once.
TEST(FileView, DecoratesLinesAsTheyComeIntoSight) {
    FileViewWidget view;
    view.resize(400, 300);
    std::string bytes;
    for (int i = 0; i < 5000; ++i) {
        bytes += "Key" + std::to_string(i) + "=value\n";
    }
    view.setContent(bytes, "\n");
    std::vector<int> times(5001, 0);
    view.setDecorator([&](int first, int last) {
        for (int line = first; line <= last; ++line) {
            ++times[static_cast<std::size_t>(line)];
            view.formatRange(line, 0, 3, ViewFormat{std::nullopt, true, std::nullopt});
        }
    });
    EXPECT_EQ(times[0], 1);
    EXPECT_EQ(times[4000], 0);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    EXPECT_EQ(times[4999], 1);
    EXPECT_EQ(view.formatAt({4999, 0}).fontWeight(), QFont::Bold);
    EXPECT_EQ(times[2500], 0);
    view.verticalScrollBar()->setValue(0);
    EXPECT_EQ(*std::max_element(times.begin(), times.end()), 1);
    const auto calls = std::count(times.begin(), times.end(), 1);
    view.setContent(bytes, "\n"); // a new content drops the decorator
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    EXPECT_EQ(std::count(times.begin(), times.end(), 1), calls);
}

// The text is selected with the keys and the mouse as in any text view, and copied.
TEST(FileView, SelectsWithTheKeysAndTheMouseAndCopies) {
    FileViewWidget view;
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setContent("[Menu]\nOpen=Abrir archivo\nSave=Guardar\rcomo\nLast=end", "\n");
    const struct {
        QKeySequence keys;
        std::string selected;
    } steps[] = {
        {QKeySequence(Qt::Key_Down), ""},
        {QKeySequence(Qt::SHIFT | Qt::Key_End), "Open=Abrir archivo"},
        {QKeySequence(Qt::SHIFT | Qt::Key_Down), "Open=Abrir archivo\nSave=Guardar"},
        {QKeySequence(Qt::Key_Home), ""},
        {QKeySequence(Qt::SHIFT | Qt::Key_Right), "S"},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_End), "Save=Guardar\ncomo\nLast=end"},
        {QKeySequence::SelectAll, view.toPlainText().toStdString()},
    };
    for (const auto& step : steps) {
        QTest::keySequence(&view, step.keys);
        EXPECT_EQ(view.selectedText().toStdString(), step.selected) << step.keys.toString().toStdString();
    }
    QTest::keySequence(&view, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "[Menu]\nOpen=Abrir archivo\nSave=Guardar\ncomo\nLast=end");

    // A press and a drag select from one character to another; a double click selects a word.
    const auto placeOf = [&](int row, const QString& text) {
        return view.placeOf({row, static_cast<int>(text.size())}) +
               QPoint(1, view.fontMetrics().height() / 2);
    };
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, placeOf(1, "Open="));
    QTest::mouseMove(view.viewport(), placeOf(1, "Open=Abrir"));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, placeOf(1, "Open=Abrir"));
    EXPECT_EQ(view.selectedText().toStdString(), "Abrir");
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, placeOf(1, "Open=Abrir arch"));
    EXPECT_EQ(view.selectedText().toStdString(), "archivo");
}

} // namespace
} // namespace parlavo::test
