// A translator's whole session in the real window: keyboard and mouse only, files checked on disk.
#include "app_fixture.h"

#include "lang/answermemory.h"
#include "lang/languagefile.h"
#include "lang/profile.h"

#include <QApplication>
#include <map>

namespace parlavo::test {
namespace {

using PassEndToEnd = AppWindowTest;

std::string headingOf(const PendingEntry& entry) {
    return "[" + std::string(entry.section()) + "] - " + std::string(entry.key());
}

TEST_F(PassEndToEnd, WholeCorpusPassWithTheKeyboardAloneWritesEveryAnswerAtOnce) {
    copyData("corpus/innosetup/English-7.1.0.lng", "English.lng");
    copyData("corpus/innosetup/German-5.5.9.lng", "Translated.lng");
    const std::string original = readFile("Translated.lng");
    writeFile("Parlavo.ini", "[Settings]\r\nAnswerChecks=0\r\n"); // the typed answers drop every %1 and &
    openWindow();
    EXPECT_EQ(window().controlText(ctl::EnglishPath), file("English.lng"));
    EXPECT_EQ(window().controlText(ctl::TranslatedPath), file("Translated.lng"));
    EXPECT_FALSE(panelShown());

    ASSERT_TRUE(tabTo(loadButton()));
    press(Qt::Key_Space);
    ASSERT_TRUE(panelShown()) << lastMessageText();
    EXPECT_FALSE(loadButton()->isEnabled());
    EXPECT_EQ(setting("InputFile"), file("English.lng"));
    EXPECT_EQ(setting("OutputFile"), file("Translated.lng"));
    EXPECT_EQ(readFile("Translated.lngbackup"), original);

    const std::vector<PendingEntry> pending = state.pass.work.pending;
    ASSERT_GT(pending.size(), 20u);
    std::map<std::string, std::string> lastAnswerFor;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        SCOPED_TRACE(headingOf(pending[i]));
        ASSERT_EQ(heading(), headingOf(pending[i]));
        ASSERT_EQ(source(), pending[i].source());
        const std::string typed = "Antwort " + std::to_string(i + 1);
        answer(QString::fromStdString(typed));
        ASSERT_EQ(translatedLineValue(pending[i].line), typed);
        lastAnswerFor[std::string(pending[i].source())] = typed;
    }

    EXPECT_FALSE(panelShown());
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages().back().caption, kAllDoneCaption);
    EXPECT_EQ(messages().back().text, kAllDoneText);
    EXPECT_EQ(messages().back().icon, MessageIcon::Information);
    // Every answer is remembered for its source text.
    Result<ProfileFile> settings = ProfileFile::open(file("Parlavo.ini"));
    ASSERT_TRUE(settings.ok());
    for (const auto& [sourceText, typed] : lastAnswerFor) {
        EXPECT_EQ(recallAnswer(settings.value.document(), sourceText), typed) << sourceText;
    }
}

// Going back and forth: the title and the estimate change only when a new entry is answered.
TEST_F(PassEndToEnd, BackAndForthChangesTheTitleAndEstimateOnlyOnNewEntries) {
    writeFile("English.lng", "[A]\r\nk1=One\r\nk2=Two\r\nk3=Three\r\n");
    openAndLoad();
    EXPECT_EQ(title(), "Parlavo v1.11  (3 of 3 need translating)  Time to completion: ");
    click(backButton()); // on the first entry: the entry stays
    EXPECT_EQ(heading(), "[A] - k1");

    clock.advance(10);
    answer("Uno");
    const std::string afterFirst = "Parlavo v1.11  (2 of 3 need translating)  Time to completion:  20 secs";
    EXPECT_EQ(title(), afterFirst);
    // Back stores the untouched pre-fill of k2 and shows k1 with its stored answer.
    clock.advance(100);
    click(backButton());
    EXPECT_EQ(translatedValue("A", "k2"), "Two");
    EXPECT_EQ(heading(), "[A] - k1");
    EXPECT_EQ(window().controlText(ctl::Translation), "Uno");
    EXPECT_EQ(QApplication::focusWidget(), translation());
    answer("Eins");
    EXPECT_EQ(heading(), "[A] - k2");
    EXPECT_EQ(title(), afterFirst);

    // The time spent going back is counted with the next new entry: 10 + 100 + 20 seconds for 2.
    clock.advance(20);
    answer("Dos");
    EXPECT_EQ(title(), "Parlavo v1.11  (1 of 3 need translating)  Time to completion:  1 min 5 secs");
    answer("Tres");
    EXPECT_EQ(lastMessageText(), "All Done! :): There is nothing new to translate.");
    EXPECT_EQ(readFile("Translated.lng"), "[A]\r\nk1=Eins\r\nk2=Dos\r\nk3=Tres\r\n\r\n");
}

TEST_F(PassEndToEnd, AnswersSpreadAndPreFillsComeFromStoredAnswersAndHelperWords) {
    writeFile("English.lng",
              "[Menu]\r\nOpen=Open file\r\nSave=Save file or files\r\nQuit=Quit\r\nAgain=Open file\r\n");
    writeFile("Parlavo.ini", "[AlreadyTranslated]\r\nQuit=Beenden\r\n[Helper Words]\r\nfile=Datei\r\n");
    openAndLoad();
    EXPECT_EQ(translatedValue("Menu", "Quit"), "Beenden"); // filled by the answer memory, not asked
    EXPECT_EQ(window().controlText(ctl::Translation), "Open Datei");
    answer(QString::fromUtf8("Datei öffnen"));
    // Spread to the later entry with the same source, on disk and in the view.
    EXPECT_EQ(translatedValue("Menu", "Again"), "Datei öffnen");
    EXPECT_EQ(view()->lineText(4), "Again=Datei öffnen");
    EXPECT_EQ(window().controlText(ctl::Translation), "Save Datei or Dateis"); // inside "files" too
    press(Qt::Key_Return);
    EXPECT_EQ(heading(), "[Menu] - Again");
    EXPECT_EQ(window().controlText(ctl::Translation), "Datei öffnen"); // stored, no helper words applied
    press(Qt::Key_Return);
    EXPECT_FALSE(panelShown());
    EXPECT_EQ(readFile("Translated.lng"), "[Menu]\r\nOpen=Datei öffnen\r\nSave=Save Datei or "
                                          "Dateis\r\nQuit=Beenden\r\nAgain=Datei öffnen\r\n\r\n");
}

TEST_F(PassEndToEnd, AVeryLongSourceIsShownShortenedNotPreFilledAndRememberedWhole) {
    const std::string source(20'000, 'a');
    writeFile("English.lng", "[A]\r\nk1=" + source + "\r\n");
    openAndLoad();
    EXPECT_EQ(find<QLineEdit>("source")->text(),
              QString(10'000, u'a') + QStringLiteral(" \u2026 (shortened: 20000 bytes)"));
    EXPECT_EQ(translation()->text(), QString());
    answer("Kurz");
    EXPECT_EQ(translatedValue("A", "k1"), "Kurz");
    EXPECT_EQ(recallAnswer(IniDocument::parse(readFile("Parlavo.ini")), source), "Kurz");
}

TEST_F(PassEndToEnd, AChangedEnglishTextIsOfferedWithTheOldTextMarkedAndKeptByEnter) {
    writeFile("Parlavo.ini", "[AlreadyTranslated]\r\nSave the file now=Datei speichern\r\n");
    writeFile("English.lng", "[M]\r\nSave=Save the project file\r\nQuit=Quit\r\n");
    writeFile("Translated.lng", "[M]\r\nSave=Datei speichern\r\n");
    openAndLoad();
    EXPECT_EQ(heading(), "[M] - Save    English changed, was: Save the file *now*");
    EXPECT_EQ(window().controlText(ctl::Translation), "Datei speichern");
    press(Qt::Key_Return); // kept, and now remembered for the new text
    EXPECT_EQ(heading(), "[M] - Quit");
    EXPECT_EQ(translatedValue("M", "Save"), "Datei speichern");
    EXPECT_NE(readFile("Parlavo.ini").find("Save the project file=Datei speichern"), std::string::npos);
}

} // namespace
} // namespace parlavo::test
