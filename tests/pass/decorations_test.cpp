#include "lang/answers.h"
#include "pass/navigation.h"
#include "support/fakewindow.h"

#include <gtest/gtest.h>

namespace parlavo {
namespace {

using Ranges = std::vector<std::string>;

// A pass over files given as bytes, with the view filled as a load fills it; nothing on disk.
class DecorationsTest : public ::testing::Test {
  protected:
    void load(std::string_view english, std::string_view translated) {
        state.work.english = parseLanguageFile(english);
        state.work.translated = parseLanguageFile(translated);
        IniDocument settings;
        selectPendingEntries(state.work, settings);
        window.view.setContent(renderTranslatedFile(state.work), state.work.english.lineEnd);
    }
    FileView& view() { return window.view; }

    test::FakePassWindow window;
    ManualClock clock;
    DisplaySettings display;
    PassState state;
    PassContext context{window, clock, display};
};

// 'Name' stands in a value above it, at the end of 'FileName', and as a key in two sections.
constexpr std::string_view kEnglish = "[Main]\r\n"
                                      "; a comment\r\n"
                                      "Title=Title\r\n"
                                      "FileName=File name\r\n"
                                      "Name=Name\r\n"
                                      "\r\n"
                                      "[Other]\r\n"
                                      "Name=Other name\r\n";
constexpr std::string_view kTranslated = "[Main]\r\nTitle=Name ändern\r\nFileName=Dateiname\r\n";

TEST_F(DecorationsTest, EachLineIsDecoratedWhereItStands) {
    load(kEnglish, kTranslated);
    ASSERT_EQ(state.pendingCount(), 2);
    display.Size = 10;
    display.HighlightColor = 0x00ABCDEF;
    formatFileView(state, context);
    highlightPendingKeys(state, context);

    EXPECT_EQ(window.view.boldRanges(), (Ranges{"2:0:Title", "3:0:FileName", "4:0:Name", "7:0:Name"}));
    EXPECT_EQ(window.view.enlargedRanges(14), (Ranges{"0:0:[Main]", "1:0:; a comment", "6:0:[Other]"}));
    EXPECT_EQ(window.view.highlightedRanges(0x00ABCDEF), (Ranges{"4:0:Name", "7:0:Name"}));
    for (const auto& decoration : window.view.decorations) {
        const int attributes = decoration.format.points.has_value() + decoration.format.bold.has_value() +
                               decoration.format.background.has_value();
        EXPECT_EQ(attributes, 1) << "line " << decoration.line << " changes more than its own attribute";
    }
}

TEST_F(DecorationsTest, SelectionAndLiveValueUseTheEntryLine) {
    load(kEnglish, kTranslated);
    state.current = 1;
    selectCurrentKey(state, context);
    EXPECT_EQ(window.view.selection.line, 4);
    EXPECT_EQ(window.view.selection.column, 0);
    EXPECT_EQ(window.view.selection.text, "Name");

    showValueInView(state, context, state.work.pending[0], "Neuer Name");
    showValueInView(state, context, state.work.pending[1], "Anderer");
    EXPECT_EQ(view().lineText(2), "Title=Name ändern");
    EXPECT_EQ(view().lineText(3), "FileName=Dateiname");
    EXPECT_EQ(view().lineText(4), "Name=Neuer Name");
    EXPECT_EQ(view().lineText(7), "Name=Anderer");
    EXPECT_TRUE(window.view.redrawOn);

    state.current = 2;
    selectCurrentKey(state, context);
    EXPECT_EQ(window.view.selection.line, 7);
    // Past the last entry the selection stays where it was.
    state.current = 3;
    selectCurrentKey(state, context);
    EXPECT_EQ(window.view.selection.line, 7);
}

TEST_F(DecorationsTest, ByteOrderMarkAndLineFeedFile) {
    load("\xEF\xBB\xBFKey=Value\nOther=Thing\n", "");
    formatFileView(state, context);
    EXPECT_EQ(window.view.boldRanges(), (Ranges{"0:3:Key", "1:0:Other"}));
    state.current = 1;
    selectCurrentKey(state, context);
    EXPECT_EQ(window.view.selection.column, 3);
    EXPECT_EQ(window.view.selection.text, "Key");
    showValueInView(state, context, state.work.pending[0], "Wert");
    EXPECT_EQ(window.view.content(), "\xEF\xBB\xBFKey=Wert\nOther=\n\n");

    load("\xEF\xBB\xBF[Main]\nKey=Value\n", "");
    formatFileView(state, context);
    EXPECT_EQ(window.view.enlargedRanges(display.Size + 4), (Ranges{"0:0:\xEF\xBB\xBF[Main]"}));
}

TEST_F(DecorationsTest, LineThatNoLongerHoldsItsKeyIsLeftAlone) {
    load("[M]\r\nOne=1a\r\nTwo=2b\r\n", "");
    ASSERT_EQ(state.pendingCount(), 2);
    // The view shows other text on the first key's line (say, a file changed by hand).
    window.view.setContent("[M]\r\nOnce=x\r\nTwo=\r\n", "\r\n");
    formatFileView(state, context);
    highlightPendingKeys(state, context);
    EXPECT_EQ(window.view.boldRanges(), (Ranges{"2:0:Two"}));
    EXPECT_EQ(window.view.highlightedRanges(display.HighlightColor), (Ranges{"2:0:Two"}));
    showValueInView(state, context, state.work.pending[0], "Eins");
    EXPECT_EQ(window.view.replacements, 0);
    EXPECT_EQ(window.view.lineText(1), "Once=x");
    state.current = 1;
    selectCurrentKey(state, context);
    EXPECT_EQ(window.view.selection.line, -1);
}

} // namespace
} // namespace parlavo
