#include "lang/answermemory.h"
#include "lang/profile.h"
#include "pass/navigation.h"
#include "support/fakewindow.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace parlavo {
namespace {

using test::FakePassWindow;

constexpr std::string_view kDone = "There is nothing new to translate.";

class PassTest : public ::testing::Test {
  protected:
    PassTest() {
        window.onTranslationChange = [this] { onTranslationChanged(state, context); };
    }

    // Writes both files (no Translated file when translated is nullptr) and starts a pass on them.
    bool start(std::string_view english, const char* translated = nullptr) {
        state.englishPath = dir.write("English.lng", english);
        state.translatedPath = dir.file("Translated.lng");
        if (translated != nullptr) {
            dir.write("Translated.lng", translated);
        }
        return startPass(state, context);
    }
    std::string translatedFile() const { return dir.read("Translated.lng"); }
    std::string remembered(std::string_view source) const {
        return recallAnswer(IniDocument::parse(dir.read("Parlavo.ini")), source);
    }
    void answer(std::string_view text) {
        window.type(text);
        confirmAnswer(state, context);
    }

    test::TempDir dir;
    test::withCurrentDirectory inDir{dir.path()};
    FakePassWindow window;
    ManualClock clock;
    DisplaySettings display;
    PassState state;
    PassContext context{window, clock, display};
};

TEST_F(PassTest, WholePassWritesEachAnswerAtOnceAndEndsWithTheCompletionMessage) {
    ASSERT_TRUE(start("[Main]\r\nOpen=Open file\r\nSave=Save file\r\nQuit=Quit\r\n"));
    EXPECT_TRUE(window.panelShown);
    EXPECT_EQ(window.title, "Parlavo v1.11  (3 of 3 need translating)  Time to completion: ");
    EXPECT_EQ(translatedFile(), "[Main]\r\nOpen=\r\nSave=\r\nQuit=\r\n\r\n");
    EXPECT_EQ(window.heading, "[Main] - Open");
    EXPECT_EQ(window.source, "Open file");
    EXPECT_EQ(window.translation, "Open file");
    EXPECT_EQ(window.selectAllAndFocusCount, 1);
    EXPECT_EQ(window.view.lineText(1), "Open=Open file"); // the pre-fill, mirrored in the view
    EXPECT_EQ(window.view.selection.line, 1);
    EXPECT_EQ(window.view.selection.text, "Open");
    EXPECT_TRUE(window.redrawOn);

    answer("Datei öffnen");
    EXPECT_EQ(translatedFile(), "[Main]\r\nOpen=Datei öffnen\r\nSave=\r\nQuit=\r\n\r\n");
    EXPECT_EQ(remembered("Open file"), "Datei öffnen");
    EXPECT_EQ(window.heading, "[Main] - Save");
    EXPECT_EQ(window.view.selection.text, "Save");
    EXPECT_EQ(window.view.selection.line, 2);

    answer("Speichern");
    EXPECT_EQ(translatedFile(), "[Main]\r\nOpen=Datei öffnen\r\nSave=Speichern\r\nQuit=\r\n\r\n");
    EXPECT_TRUE(window.informations.empty());

    answer("Beenden");
    EXPECT_EQ(translatedFile(), "[Main]\r\nOpen=Datei öffnen\r\nSave=Speichern\r\nQuit=Beenden\r\n\r\n");
    EXPECT_EQ(remembered("Quit"), "Beenden");
    EXPECT_FALSE(window.panelShown);
    ASSERT_EQ(window.informations.size(), 1u);
    EXPECT_EQ(window.informations[0].caption, "All Done! :)");
    EXPECT_EQ(window.informations[0].text, kDone);
    EXPECT_EQ(window.title, "Parlavo v1.11  (0 of 3 need translating)  Time to completion: ");
    EXPECT_EQ(window.view.content(), "[Main]\r\nOpen=Datei öffnen\r\nSave=Speichern\r\nQuit=Beenden\r\n\r\n");
}

TEST_F(PassTest, ProgressAndTitleChangeOnlyWhenPassingTheHighestEntryReached) {
    clock.set(100);
    ASSERT_TRUE(start("[M]\r\na=One\r\nb=Two\r\nc=Three\r\n"));
    const std::string atStart = window.title;
    // Back on the first entry stores the box and shows the entry again.
    goBack(state, context);
    EXPECT_EQ(translatedFile(), "[M]\r\na=One\r\nb=\r\nc=\r\n\r\n");
    EXPECT_EQ(remembered("One"), "One");
    window.type("Eins");
    goBack(state, context);
    EXPECT_EQ(window.heading, "[M] - a");
    EXPECT_EQ(window.translation, "Eins");
    EXPECT_EQ(window.view.selection.text, "a");
    EXPECT_EQ(window.title, atStart);
    EXPECT_EQ(state.progress.answered, 0);

    clock.set(110);
    answer("Eins");
    const std::string afterFirst = window.title;
    EXPECT_EQ(afterFirst, "Parlavo v1.11  (2 of 3 need translating)  Time to completion:  20 secs");

    clock.set(130);
    goBack(state, context);
    EXPECT_EQ(window.heading, "[M] - a");
    EXPECT_EQ(window.translation, "Eins");
    EXPECT_EQ(window.title, afterFirst);
    clock.set(140);
    answer("Eins!");
    EXPECT_EQ(window.heading, "[M] - b");
    EXPECT_EQ(window.title, afterFirst);
    EXPECT_EQ(state.progress.answered, 1);

    // The time spent going back and forth counts for the next new entry: (10 + 40) / 2 per entry.
    clock.set(150);
    answer("Zwei");
    EXPECT_EQ(state.progress.answered, 2);
    EXPECT_EQ(window.title, "Parlavo v1.11  (1 of 3 need translating)  Time to completion:  25 secs");
    EXPECT_EQ(translatedFile(), "[M]\r\na=Eins!\r\nb=Zwei\r\nc=\r\n\r\n");
}

TEST_F(PassTest, ConfirmSpreadsToLaterEqualSourcesAndBackDoesNot) {
    ASSERT_TRUE(start("[A]\r\nk1=Cancel\r\nk2=Text\r\nk3=Cancel\r\n[B]\r\nk4=Cancel\r\nk5=Cancel\r\n"));
    window.type("Abbruch");
    goBack(state, context);
    EXPECT_EQ(translatedFile(), "[A]\r\nk1=Abbruch\r\nk2=\r\nk3=\r\n[B]\r\nk4=\r\nk5=\r\n\r\n");

    answer("Abbrechen");
    EXPECT_EQ(translatedFile(),
              "[A]\r\nk1=Abbrechen\r\nk2=\r\nk3=Abbrechen\r\n[B]\r\nk4=Abbrechen\r\nk5=Abbrechen\r\n\r\n");
    EXPECT_EQ(window.view.lineText(3), "k3=Abbrechen");
    EXPECT_EQ(window.view.lineText(6), "k5=Abbrechen");
    const std::string settings = dir.read("Parlavo.ini");
    EXPECT_EQ(settings.find("Cancel="), settings.rfind("Cancel=")); // one record in the answer memory
    EXPECT_EQ(remembered("Cancel"), "Abbrechen");

    answer("Text");
    EXPECT_EQ(window.heading, "[A] - k3");
    EXPECT_EQ(window.translation, "Abbrechen"); // filled by the spread
    // A different answer later on reaches only the entries after it.
    answer("Abbruch");
    EXPECT_EQ(translatedFile(),
              "[A]\r\nk1=Abbrechen\r\nk2=Text\r\nk3=Abbruch\r\n[B]\r\nk4=Abbruch\r\nk5=Abbruch\r\n\r\n");
    EXPECT_EQ(window.view.lineText(1), "k1=Abbrechen");
}

TEST_F(PassTest, PreFillUsesTheStoredAnswerElseTheHelperWords) {
    dir.write("Parlavo.ini", "[Helper Words]\r\nfile=fichier\r\n");
    ASSERT_TRUE(start("[M]\r\na=Save (file).\r\nb=Open file\r\n"));
    EXPECT_EQ(window.translationHistory, (std::vector<std::string>{"Save (file).", "Save (fichier)."}));
    EXPECT_EQ(window.view.lineText(1), "a=Save (fichier).");

    answer("Save file now");
    EXPECT_EQ(window.translation, "Open fichier");
    goBack(state, context);
    EXPECT_EQ(window.heading, "[M] - a");
    EXPECT_EQ(window.translation, "Save file now"); // the stored answer, no helper words in it
    EXPECT_EQ(window.translationHistory.back(), "Save file now");
    EXPECT_EQ(remembered("Open file"), "Open fichier"); // back stored the untouched pre-fill
    EXPECT_EQ(translatedFile(), "[M]\r\na=Save file now\r\nb=Open fichier\r\n\r\n");
    EXPECT_EQ(preFillFor(state.work.pending[0], state.translatedPath, dir.file("Parlavo.ini")),
              "Save file now");
    EXPECT_EQ(existingAnswer(state.work.pending[1], state.translatedPath), "Open fichier");
}

TEST_F(PassTest, ExistingAnswerFollowsTheEntryLineAndItsSection) {
    ASSERT_TRUE(start("[A]\r\nName=One\r\n[B]\r\nName=Two\r\n"));
    answer("Eins");
    answer("Zwei");
    EXPECT_EQ(existingAnswer(state.work.pending[0], state.translatedPath), "Eins");
    EXPECT_EQ(existingAnswer(state.work.pending[1], state.translatedPath), "Zwei");
    // Edited on disk so that the lines moved: the entry's (section, key) is still found.
    dir.write("Translated.lng", "[B]\r\nName=Deux\r\n[A]\r\nName=Un\r\n");
    EXPECT_EQ(existingAnswer(state.work.pending[0], state.translatedPath), "Un");
    EXPECT_EQ(existingAnswer(state.work.pending[1], state.translatedPath), "Deux");
}

TEST_F(PassTest, EqualConsecutiveSourcesLeaveTheSelectionOnTheFirstKey) {
    ASSERT_TRUE(start("[M]\r\nOne=Yes\r\nTwo=Yes\r\nThree=No\r\n"));
    answer("Ja");
    EXPECT_EQ(window.heading, "[M] - Two");
    EXPECT_EQ(window.translation, "Ja");
    EXPECT_EQ(window.view.lineText(2), "Two=Ja"); // mirrored by the spread
    EXPECT_EQ(window.view.selection.line, 1);
    EXPECT_EQ(window.view.selection.text, "One");
    answer("Ja");
    EXPECT_EQ(window.view.selection.text, "Three");
}

TEST_F(PassTest, FailedWriteKeepsTheEntryAndTheTypedText) {
    ASSERT_TRUE(start("[M]\r\na=One\r\nb=One\r\n"));
    const std::string title = window.title;
    // A folder in place of the file makes every write fail, even for a user who may write anything.
    std::filesystem::remove(state.translatedPath);
    std::filesystem::create_directory(state.translatedPath);
    window.type("Eins");
    confirmAnswer(state, context);
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(window.errors[0].caption, "Error");
    EXPECT_NE(window.errors[0].text.find("NOT saved"), std::string::npos);
    EXPECT_NE(window.errors[0].text.find(state.translatedPath), std::string::npos);
    EXPECT_EQ(window.heading, "[M] - a");
    EXPECT_EQ(window.translation, "Eins");
    EXPECT_EQ(state.current, 1);
    EXPECT_EQ(state.progress.answered, 0);
    EXPECT_EQ(window.title, title);
    EXPECT_EQ(remembered("One"), "");
    EXPECT_EQ(window.view.lineText(2), "b="); // nothing spread
    goBack(state, context);
    EXPECT_EQ(window.errors.size(), 2u);
    EXPECT_EQ(window.translation, "Eins");

    // Once the file can be written again, the same confirmation goes through.
    std::filesystem::remove(state.translatedPath);
    dir.write("Translated.lng", "[M]\r\na=\r\nb=\r\n\r\n");
    confirmAnswer(state, context);
    EXPECT_EQ(window.errors.size(), 2u);
    EXPECT_EQ(translatedFile(), "[M]\r\na=Eins\r\nb=Eins\r\n\r\n");
    EXPECT_EQ(window.heading, "[M] - b");
    EXPECT_EQ(state.progress.answered, 1);
}

TEST_F(PassTest, AnAnswerMakingAHeaderIsRefusedAndAMassDropIsAskedFirst) {
    ASSERT_TRUE(start("[M]\r\n[1]=One (1)\r\n"));
    answer("Un [1]");
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_NE(window.errors[0].text.find("would read back as a section header"), std::string::npos);
    EXPECT_EQ(window.translation, "Un [1]");
    EXPECT_EQ(state.current, 1);
    EXPECT_EQ(translatedFile(), "[M]\r\n[1]=\r\n\r\n");
    EXPECT_EQ(remembered("One (1)"), "");

    const std::string rich = "[M]\r\na=1a\r\nb=2b\r\nc=3c\r\nd=4d\r\ne=5e\r\n";
    dir.write("Translated.lng", rich);
    EXPECT_FALSE(startPass(state, context)); // answered No: nothing changes, nothing else is said
    ASSERT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(window.questions[0].text,
              "This will remove 5 of 5 translations from Translated.lng. Continue?");
    EXPECT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(translatedFile(), rich);
    window.answerYes = true;
    EXPECT_TRUE(startPass(state, context));
    EXPECT_EQ(translatedFile(), "[M]\r\n[1]=\r\n\r\n");
}

TEST_F(PassTest, UnreadableSettingsFileIsReportedAndThePassGoesOn) {
    std::filesystem::create_directory(dir.file("Parlavo.ini"));
    ASSERT_TRUE(start("[M]\r\na=One\r\n"));
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_NE(window.errors[0].text.find("Parlavo.ini"), std::string::npos);
    EXPECT_TRUE(window.panelShown);
    EXPECT_EQ(window.heading, "[M] - a");
    // The answer memory cannot take the answer: that is said, and the entry stays.
    answer("Eins");
    ASSERT_EQ(window.errors.size(), 2u);
    EXPECT_NE(window.errors[1].text.find("saved in the translation file, but it could NOT be remembered"),
              std::string::npos);
    EXPECT_EQ(translatedFile(), "[M]\r\na=Eins\r\n\r\n");
    EXPECT_NE(window.errors[1].text.find("Parlavo.ini"), std::string::npos);
    EXPECT_EQ(window.heading, "[M] - a");
    EXPECT_TRUE(window.informations.empty());
}

TEST_F(PassTest, AnswerWithALineBreakIsShownAsItIsWritten) {
    ASSERT_TRUE(start("[M]\r\na=One\r\nb=One\r\nc=Two\r\n"));
    const int lines = window.view.lineCount();
    answer("Ein\r\nZwei\nDrei");
    EXPECT_EQ(translatedFile(), "[M]\r\na=Ein Zwei Drei\r\nb=Ein Zwei Drei\r\nc=\r\n\r\n");
    EXPECT_EQ(window.view.lineText(1), "a=Ein Zwei Drei");
    EXPECT_EQ(window.view.lineText(2), "b=Ein Zwei Drei");
    EXPECT_EQ(window.view.lineCount(), lines);
}

} // namespace
} // namespace parlavo
