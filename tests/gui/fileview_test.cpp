#include "app_fixture.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace parlavo::test {
namespace {

QString selected(const FileViewWidget& view) {
    return view.textCursor().selectedText();
}

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
    EXPECT_EQ(selected(view), QStringLiteral("end"));

    // A line of a million bytes shows its start; the lines after it keep their places.
    view.setContent("k=" + std::string(1'000'000, 'x') + "\r\nB=2", "\r\n");
    const QString notice = QStringLiteral(" \u2026 (shortened: 1000002 bytes)");
    EXPECT_EQ(view.document()->firstBlock().text(), QString(9998, u'x').prepend("k=") + notice);
    view.formatRange(0, 9990, 100, ViewFormat{std::nullopt, true, std::nullopt});
    EXPECT_NE(formatAt(view, view.linePosition(1) - 2).fontWeight(), QFont::Bold); // not the notice
    view.replaceToLineEnd(0, 12'000, "y"); // beyond what is shown: only the notice changes
    EXPECT_TRUE(
        view.document()->firstBlock().text().endsWith(QStringLiteral("(shortened: 12001 bytes)")));
    view.replaceToLineEnd(0, 2, "short");
    EXPECT_EQ(view.toPlainText(), QStringLiteral("k=short\nB=2"));
    view.selectRange(1, 0, 3);
    EXPECT_EQ(selected(view), QStringLiteral("B=2"));

    // A file of 100,000 lines shows its first lines and says so.
    std::string lines;
    for (int i = 0; i < 100'000; ++i) {
        lines += "K" + std::to_string(i) + "=v\n";
    }
    view.setContent(lines, "\n");
    ASSERT_LT(view.lineCount(), 100'000);
    EXPECT_EQ(view.lineText(view.lineCount() - 1), "K" + std::to_string(view.lineCount() - 1) + "=v");
    EXPECT_EQ(view.document()->lastBlock().text(),
              QStringLiteral("\u2026 (file shortened: the view shows the first %1 of 100001 lines)")
                  .arg(view.lineCount()));
}

} // namespace
} // namespace parlavo::test
