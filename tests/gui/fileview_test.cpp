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

TEST(FileView, MapsFileLinesByTheLineEndPastLoneCarriageReturnsAndLineFeedsInValues) {
    FileViewWidget view;
    view.setContent("[Main]\r\nKey=one\rtwo\nthree\r\nName=x\r\n\r\nLast=y", "\r\n");
    ASSERT_EQ(view.lineCount(), 5);
    EXPECT_EQ(view.lineText(1), "Key=one\rtwo\nthree");
    EXPECT_EQ(view.document()->blockCount(), 7); // the CR and the LF inside line 1 break it twice
    view.selectRange(2, 0, 4);
    EXPECT_EQ(selected(view), QStringLiteral("Name"));
    view.selectRange(4, 5, 1);
    EXPECT_EQ(selected(view), QStringLiteral("y"));
    EXPECT_EQ(view.document()->findBlock(view.linePosition(4)).text(), QStringLiteral("Last=y"));
    EXPECT_EQ(view.lineText(3), "");
    EXPECT_EQ(view.lineText(9), ""); // past the end: nothing

    view.setContent("a=1\nb=2\n", "\n");
    EXPECT_EQ(view.lineCount(), 3);
    EXPECT_EQ(view.lineText(1), "b=2");
    view.setContent("a=1\nb=2", "\r\n"); // a LF in a CR LF file stays inside the line
    EXPECT_EQ(view.lineCount(), 1);
    view.selectRange(0, 4, 3);
    EXPECT_EQ(selected(view), QStringLiteral("b=2"));
}

TEST(FileView, ReplacingAValueKeepsTheLineMapAndShowsTheValuePlain) {
    FileViewWidget view;
    view.setContent("A=old value\r\nB=x\r\nC=y", "\r\n");
    view.formatRange(0, 0, 11, ViewFormat{std::nullopt, true, 0x00FF0000u});
    view.replaceToLineEnd(0, 2, "two\nlines");
    EXPECT_EQ(view.lineText(0), "A=two\nlines");
    view.selectRange(1, 0, 3);
    EXPECT_EQ(selected(view), QStringLiteral("B=x"));
    view.selectRange(2, 2, 1);
    EXPECT_EQ(selected(view), QStringLiteral("y"));
    const QTextCharFormat value = formatAt(view, view.linePosition(0) + 2);
    EXPECT_NE(value.fontWeight(), QFont::Bold);
    EXPECT_FALSE(value.hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_EQ(formatAt(view, view.linePosition(0)).fontWeight(), QFont::Bold); // the key keeps its format

    view.replaceToLineEnd(0, 2, "");
    view.replaceToLineEnd(2, 2, "last"); // the last line, no line end after it
    EXPECT_EQ(view.toPlainText(), QStringLiteral("A=\nB=x\nC=last"));
    view.selectRange(1, 0, 1);
    EXPECT_EQ(selected(view), QStringLiteral("B"));
}

TEST(FileView, ColumnsCountBytesOfMultibyteAndInvalidText) {
    FileViewWidget view;
    view.setContent("Cl\xC3\xA9=caf\xC3\xA9\r\nK\xE9y=\xF0\x9F\x98\x80 v\r\nEnd=1", "\r\n");
    view.selectRange(0, 0, 4); // "Clé" is four bytes
    EXPECT_EQ(selected(view), QStringLiteral("Cl\u00E9"));
    view.selectRange(1, 0, 3); // an invalid byte shows as one character
    EXPECT_EQ(selected(view), QStringLiteral("K\u00E9y"));
    view.selectRange(1, 8, 2); // after a four-byte character (two UTF-16 units)
    EXPECT_EQ(selected(view), QStringLiteral(" v"));
    view.replaceToLineEnd(0, 5, "th\xC3\xA9");
    EXPECT_EQ(view.lineText(0), "Cl\xC3\xA9=th\xC3\xA9");
    view.selectRange(2, 0, 3);
    EXPECT_EQ(selected(view), QStringLiteral("End"));
}

TEST(FileView, ChangesWhileRedrawIsOffAreCollectedAndTheSelectionMadeWhenItComesBack) {
    FileViewWidget view;
    view.setContent("A=1\r\nB=2\r\nC=3", "\r\n");
    view.holdForWindow(true); // the main window's redraw off
    view.setRedraw(false);    // and the view's own, inside it
    view.formatRange(1, 0, 1, ViewFormat{std::nullopt, true, std::nullopt});
    view.replaceToLineEnd(0, 2, "one\rmore");
    view.selectRange(2, 0, 1);
    view.setRedraw(true);
    EXPECT_EQ(formatAt(view, view.linePosition(1)).fontWeight(), QFont::Bold); // formats are there at once
    EXPECT_FALSE(view.textCursor().hasSelection());                            // the window still holds
    view.holdForWindow(false);
    EXPECT_EQ(selected(view), QStringLiteral("C"));
    EXPECT_EQ(view.toPlainText(), QStringLiteral("A=one\nmore\nB=2\nC=3"));

    view.setRedraw(false);
    view.selectRange(1, 0, 1);
    view.setContent("X=9", "\r\n"); // a new text drops the selection made for the old one
    view.setRedraw(true);
    EXPECT_FALSE(view.textCursor().hasSelection());
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
