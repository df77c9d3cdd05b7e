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
    return "[" + entry.section + "] - " + entry.key;
}

TEST_F(PassEndToEnd, WholeCorpusPassWithTheKeyboardAloneWritesEveryAnswerAtOnce) {
    copyData("corpus/innosetup/English-7.1.0.lng", "English.lng");
    copyData("corpus/innosetup/German-5.5.9.lng", "Translated.lng");
    const std::string original = readFile("Translated.lng");
    writeFile("Parlavo.ini", "[Settings]\r\nAnswerChecks=0\r\n"); // the typed answers drop every %1 and &
    openWindow();
    EXPECT_EQ(window().controlText(1007), file("English.lng"));
    EXPECT_EQ(window().controlText(1023), file("Translated.lng"));
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
    // Every pending key is bold and highlighted on its own line of the view.
    for (const PendingEntry& entry : pending) {
        const std::size_t column = view()->lineText(entry.line - 1).find(entry.key);
        ASSERT_NE(column, std::string::npos) << entry.key;
        const QTextCharFormat key = formatAt(*view(), view()->linePosition(entry.line - 1) + int(column));
        EXPECT_EQ(key.fontWeight(), QFont::Bold) << entry.key;
        EXPECT_EQ(key.background().color(), QColor(255, 255, 0)) << entry.key;
    }

    std::map<std::string, std::string> lastAnswerFor;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        SCOPED_TRACE(headingOf(pending[i]));
        ASSERT_EQ(heading(), headingOf(pending[i]));
        ASSERT_EQ(source(), pending[i].source);
        const std::string typed = "Antwort " + std::to_string(i + 1);
        answer(QString::fromStdString(typed));
        ASSERT_EQ(translatedLineValue(pending[i].line), typed);
        lastAnswerFor[pending[i].source] = typed;
    }

    EXPECT_FALSE(panelShown());
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages().back().caption, kAllDoneCaption);
    EXPECT_EQ(messages().back().text, kAllDoneText);
    EXPECT_EQ(messages().back().icon, MessageIcon::Information);
    // The file has the English file's shape, and every answer is remembered for its source text.
    const LanguageFile english = parseLanguageFile(readFile("English.lng"));
    const LanguageFile translated = parseLanguageFile(readFile("Translated.lng"));
    ASSERT_EQ(translated.lines.size(), english.lines.size() + 1); // the English file's last line end
    for (std::size_t i = 0; i < english.lines.size(); ++i) {
        EXPECT_EQ(translated.lines[i].key, english.lines[i].key) << "line " << i + 1;
    }
    Result<ProfileFile> settings = ProfileFile::open(file("Parlavo.ini"));
    ASSERT_TRUE(settings.ok());
    for (const auto& [sourceText, typed] : lastAnswerFor) {
        EXPECT_EQ(recallAnswer(settings.value.document(), sourceText), typed) << sourceText;
    }

    // Loading the same pair again finds nothing left to translate.
    clearShownMessages();
    englishPath()->setText(englishPath()->text() + " ");
    englishPath()->setText(QString::fromStdString(file("English.lng")));
    ASSERT_TRUE(loadButton()->isEnabled());
    click(loadButton());
    EXPECT_EQ(lastMessageText(), "All Done! :): There is nothing new to translate.");
    EXPECT_FALSE(panelShown());
}

// The rules of back and forth are the pass's own (checked without a window); here, their wiring.
TEST_F(PassEndToEnd, BackAndForthChangesTheTitleAndEstimateOnlyOnNewEntries) {
    writeFile("English.lng", "[A]\r\nk1=One\r\nk2=Two\r\nk3=Three\r\n");
    openAndLoad();
    EXPECT_EQ(title(), "Parlavo v1.11  (3 of 3 need translating)  Time to completion: ");

    clock.advance(10);
    answer("Uno");
    const std::string afterFirst = "Parlavo v1.11  (2 of 3 need translating)  Time to completion:  20 secs";
    EXPECT_EQ(title(), afterFirst);
    // Back stores the untouched pre-fill of k2 and shows k1 with its stored answer.
    clock.advance(100);
    click(backButton());
    EXPECT_EQ(translatedValue("A", "k2"), "Two");
    EXPECT_EQ(heading(), "[A] - k1");
    EXPECT_EQ(window().controlText(1022), "Uno");
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
    writeFile("English.lng", "[Menu]\r\nOpen=Open file\r\nSave=Save file\r\nClose=Close file\r\n"
                             "Again=Open file\r\nQuit=Quit\r\nMore=One file or files\r\n");
    writeFile("Translated.lng", "[Menu]\r\nClose=Schliessen UPDATE NEEDED\r\n");
    writeFile("Parlavo.ini", "[AlreadyTranslated]\r\nQuit=Beenden\r\n[Helper Words]\r\nfile=Datei\r\n");
    openAndLoad();
    // The answer memory fills Quit without asking.
    EXPECT_EQ(translatedValue("Menu", "Quit"), "Beenden");
    ASSERT_EQ(state.pass.pendingCount(), 5);

    EXPECT_EQ(heading(), "[Menu] - Open");
    EXPECT_EQ(window().controlText(1022), "Open Datei");
    answer(QString::fromUtf8("Datei öffnen"));
    // Spread to the later entry with the same source, on disk and in the view.
    EXPECT_EQ(translatedValue("Menu", "Again"), "Datei öffnen");
    EXPECT_EQ(view()->lineText(state.pass.work.pending[3].line - 1), "Again=Datei öffnen");

    EXPECT_EQ(heading(), "[Menu] - Save");
    EXPECT_EQ(window().controlText(1022), "Save Datei");
    press(Qt::Key_Return); // the pre-fill is the answer
    EXPECT_EQ(translatedValue("Menu", "Save"), "Save Datei");

    EXPECT_EQ(heading(), "[Menu] - Close");
    EXPECT_EQ(window().controlText(1022), "Close Datei");
    answer(QString::fromUtf8("Schließen"));

    EXPECT_EQ(heading(), "[Menu] - Again");
    EXPECT_EQ(window().controlText(1022), "Datei öffnen"); // stored value, no helper words applied
    press(Qt::Key_Return);

    // Substring replacement: "file" inside "files".
    EXPECT_EQ(heading(), "[Menu] - More");
    EXPECT_EQ(window().controlText(1022), "One Datei or Dateis");
    answer("Mehr Dateien");
    EXPECT_FALSE(panelShown());
    EXPECT_EQ(readFile("Translated.lng"),
              "[Menu]\r\nOpen=Datei öffnen\r\nSave=Save Datei\r\nClose=Schließen\r\n"
              "Again=Datei öffnen\r\nQuit=Beenden\r\nMore=Mehr Dateien\r\n\r\n");
}

} // namespace
} // namespace parlavo::test
