// "Load Files" in the real window: the wiring of the path checks (the checks themselves are tested in
// tests/pass), and what a load may change.
#include "app_fixture.h"
#include "lang/answermemory.h"
#include "lang/encodingchoice.h"
#include "lang/mixedlines.h"
#include "platform/encoding.h"

#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <filesystem>
#include <optional>

namespace parlavo::test {
namespace {

using LoadFilesInWindow = AppWindowTest;

constexpr std::string_view kEnglish = "[A]\r\nk1=One\r\nk2=Two\r\n";
constexpr std::string_view kTranslated = "[A]\r\nk1=Eins\r\n";

TEST_F(LoadFilesInWindow, AFailedCheckDuringAPassLeavesThePassWritingToItsOwnFile) {
    writeFile("English.lng", kEnglish);
    openAndLoad();
    EXPECT_FALSE(loadButton()->isEnabled());

    // The window asks for complete paths (the command line does not): a bare name is refused.
    translatedPath()->setText("Other.lng");
    EXPECT_TRUE(loadButton()->isEnabled());
    click(loadButton());
    EXPECT_EQ(lastMessageText(), "Error: You need to enter a complete file path.");
    EXPECT_EQ(messages().back().icon, MessageIcon::Error);
    // Typing the loaded path back keeps the button enabled.
    translatedPath()->setText(QString::fromStdString(file("Translated.lng")));
    EXPECT_TRUE(loadButton()->isEnabled());

    translation()->setFocus();
    translation()->selectAll();
    answer("Uno");
    EXPECT_EQ(translatedValue("A", "k1"), "Uno");
    EXPECT_EQ(heading(), "[A] - k2");
    EXPECT_FALSE(std::filesystem::exists(file("Other.lng")));
    EXPECT_EQ(setting("OutputFile"), file("Translated.lng"));
}

TEST_F(LoadFilesInWindow, APassWritesTheFilesItLoadedAfterABrowseMovesTheCurrentFolder) {
    writeFile("English.lng", kEnglish);
    writeFile("Translated.lng", kTranslated);
    std::filesystem::create_directory(file("other"));
    openWindow();
    setPaths("./English.lng", "./Translated.lng");
    click(loadButton());
    ASSERT_TRUE(panelShown()) << lastMessageText();
    EXPECT_EQ(setting("OutputFile"), file("Translated.lng"));
    std::filesystem::copy_file(file("Translated.lng"), file("other/Translated.lng"));
    const std::string otherBefore = readFile("other/Translated.lng");
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(file("other")))); // as the file dialog does
    answer("Zwei");
    EXPECT_EQ(translatedValue("A", "k2"), "Zwei");
    EXPECT_EQ(readFile("other/Translated.lng"), otherBefore);
}

TEST_F(LoadFilesInWindow, EnterOrOkWithoutACurrentEntryWritesNothingAndNothingPendingHidesThePanel) {
    writeFile("English.lng", kEnglish);
    writeFile("Done.lng", "[A]\r\nk1=Eins\r\nk2=Zwei\r\n");
    openWindow();
    translatedPath()->setFocus(); // before any load
    press(Qt::Key_Return);
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(messages().empty()) << lastMessageText();
    EXPECT_FALSE(std::filesystem::exists(file("Translated.lng")));
    EXPECT_FALSE(std::filesystem::exists(file("Parlavo.ini")));

    click(loadButton());
    ASSERT_TRUE(panelShown());
    answer("Uno"); // interrupted on k2
    setPaths(file("English.lng"), file("Done.lng"));
    click(loadButton());
    EXPECT_EQ(lastMessageText(), "All Done! :): There is nothing new to translate.");
    EXPECT_FALSE(panelShown());
    EXPECT_EQ(title(), "Parlavo v1.11  (0 of 2 need translating)  Time to completion: ");

    // Enter (or a click that reaches the hidden buttons) has no entry to answer.
    const std::string translated = readFile("Translated.lng");
    const std::string done = readFile("Done.lng");
    translatedPath()->setFocus();
    press(Qt::Key_Return);
    okButton()->click();
    backButton()->click();
    EXPECT_EQ(readFile("Translated.lng"), translated);
    EXPECT_EQ(readFile("Done.lng"), done);
}

TEST_F(LoadFilesInWindow, AFailedSaveKeepsTheEntryAndTheTypedTextUntilTheFileCanBeWritten) {
    writeFile("English.lng", kEnglish);
    openAndLoad();
    // A folder in place of the file makes every write fail, even for a user who may write anything.
    std::filesystem::remove(file("Translated.lng"));
    std::filesystem::create_directory(file("Translated.lng"));
    clearShownMessages();
    for (QPushButton* button : {okButton(), backButton()}) {
        click(button);
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].icon, MessageIcon::Error);
        EXPECT_NE(messages()[0].text.find("NOT saved"), std::string::npos) << messages()[0].text;
        EXPECT_EQ(heading(), "[A] - k1");
        EXPECT_EQ(window().controlText(ctl::Translation), "One");
        EXPECT_EQ(title(), "Parlavo v1.11  (2 of 2 need translating)  Time to completion: ");
        clearShownMessages();
    }
    // Nor does the answer memory take the answer the file could not.
    EXPECT_EQ(recallAnswer(IniDocument::parse(readFile("Parlavo.ini")), "One"), "");
    std::filesystem::remove(file("Translated.lng"));
    click(okButton());
    EXPECT_TRUE(messages().empty()) << lastMessageText();
    EXPECT_EQ(translatedValue("A", "k1"), "One");
    EXPECT_EQ(heading(), "[A] - k2");
}

TEST_F(LoadFilesInWindow, AnUnusableSettingsFileIsReportedAndThePassGoesOn) {
    writeFile("English.lng", kEnglish);
    std::filesystem::create_directory(file("Parlavo.ini"));
    openAndLoad();
    ASSERT_FALSE(messages().empty());
    EXPECT_NE(messages()[0].text.find("Parlavo.ini"), std::string::npos) << messages()[0].text;
    // The answer reaches the file, but the answer memory cannot take it: that is said, the entry stays.
    answer("Uno");
    EXPECT_NE(lastMessageText().find("could NOT be remembered"), std::string::npos) << lastMessageText();
    EXPECT_EQ(translatedValue("A", "k1"), "Uno");
    EXPECT_EQ(heading(), "[A] - k1");
}

TEST_F(LoadFilesInWindow, AnAnswerMakingAHeaderIsRefusedAndAMassDropIsAskedFirst) {
    writeFile("English.lng", "[M]\r\n[1]=One (1)\r\n");
    openAndLoad();
    clearShownMessages();
    answer("Un [1]");
    EXPECT_NE(lastMessageText().find("would read back as a section header"), std::string::npos)
        << lastMessageText();
    EXPECT_EQ(window().controlText(ctl::Translation), "Un [1]");
    EXPECT_EQ(readFile("Translated.lng"), "[M]\r\n[1]=\r\n\r\n");

    // The hook answers OK, not Yes: the question is declined and nothing changes.
    const std::string rich = "[M]\r\na=1a\r\nb=2b\r\nc=3c\r\nd=4d\r\ne=5e\r\n";
    writeFile("Translated.lng", rich);
    clearShownMessages();
    translatedPath()->setText("x");
    translatedPath()->setText(QString::fromStdString(file("Translated.lng")));
    click(loadButton());
    EXPECT_NE(lastMessageText().find("This will remove 5 of 5 translations from Translated.lng. Continue?"),
              std::string::npos)
        << lastMessageText();
    EXPECT_EQ(readFile("Translated.lng"), rich);
    setMessageBoxHook([](std::string_view, std::string_view, MessageIcon) { return kAnswerYes; });
    click(loadButton());
    EXPECT_EQ(readFile("Translated.lng"), "[M]\r\n[1]=\r\n\r\n");
}

// The Russian messages of a real installer, in Windows-1251 (it says so in LanguageCodePage), beside
// the UTF-8 English file.
class LegacyPairInWindow : public AppWindowTest {
  protected:
    void loadRussianPair() {
        copyData("corpus/innosetup/English-7.1.0.lng", "English.lng");
        copyData("corpus/innosetup/Russian-6.4.3.lng", "Translated.lng");
        openAndLoad();
    }
    std::string viewText() const { return view()->toPlainText().toStdString(); }
    std::string labelText(const char* name) const { return find<QLabel>(name)->text().toStdString(); }
};

constexpr std::string_view kLoadingCp1251 = "\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0..."; // "Загрузка..."

TEST_F(LegacyPairInWindow, ShowsTheFilesDecodedAndWritesAnswersInTheTranslatedFilesEncoding) {
    loadRussianPair();
    EXPECT_NE(viewText().find("SetupAppTitle=Установка"), std::string::npos);
    for (int skip = 0; skip < 5 && heading() != "[Messages] - DownloadingLabel2"; ++skip) {
        press(Qt::Key_Return); // entries before it keep the English text
    }
    ASSERT_EQ(source(), "Downloading files...");
    EXPECT_EQ(labelText("translatedEncodingLabel"), "Windows-1251 (Cyrillic), declared in the file");
    const std::string before = readFile("Translated.lng");

    answer(QString::fromUtf8("Загрузка ő ✓..."));
    EXPECT_NE(lastMessageText().find("\u201Cő\u201D \u201C✓\u201D"), std::string::npos) << lastMessageText();
    EXPECT_NE(lastMessageText().find("Windows-1251"), std::string::npos);
    EXPECT_EQ(window().controlText(1022), "Загрузка ő ✓...");
    EXPECT_EQ(readFile("Translated.lng"), before);

    translation()->selectAll();
    answer(QString::fromUtf8("Загрузка..."));
    EXPECT_EQ(translatedValue("Messages", "DownloadingLabel2"), kLoadingCp1251);
    EXPECT_NE(viewText().find("DownloadingLabel2=Загрузка..."), std::string::npos);
    click(backButton()); // the pre-fill is the stored answer, decoded
    EXPECT_EQ(window().controlText(1022), "Загрузка...");
    press(Qt::Key_Return);
    EXPECT_EQ(translatedValue("Messages", "DownloadingLabel2"), kLoadingCp1251);
    press(Qt::Key_F, Qt::ControlModifier); // a search finds a Cyrillic translation
    type(QString::fromUtf8("Деинсталляция"));
    press(Qt::Key_Return);
    EXPECT_EQ(heading(), "[Messages] - UninstallAppTitle");
    EXPECT_EQ(window().controlText(1022), "Деинсталляция");
}

TEST_F(LegacyPairInWindow, AnEncodingChosenByKeyboardDecodesTheViewAgainAndIsRemembered) {
    loadRussianPair();
    const std::string before = readFile("Translated.lng");
    auto* choice = find<QComboBox>("translatedEncoding");
    ASSERT_TRUE(tabTo(choice));
    press(Qt::Key_Down); // the next encodings of the list: Windows-1252, then Windows-1253
    EXPECT_NE(viewText().find("SetupAppTitle=Óñòàíîâêà"), std::string::npos);
    press(Qt::Key_Down);
    EXPECT_NE(viewText().find("SetupAppTitle=Σρςΰνξβκΰ"), std::string::npos);
    EXPECT_EQ(labelText("translatedEncodingLabel"), "Windows-1253 (Greek), your choice");
    EXPECT_EQ(readFile("Translated.lng"), before);
    Result<ProfileFile> settings = ProfileFile::open(file("Parlavo.ini"));
    ASSERT_TRUE(settings.ok());
    EXPECT_EQ(rememberedEncoding(settings.value.document(), file("Translated.lng")), "windows-1253");
}

TEST_F(LegacyPairInWindow, LoadFilesOffersToConvertUtf8LinesOfALegacyFile) {
    writeFile("English.lng", "[A]\r\nLanguageCodePage=0\r\nk1=One\r\nk2=Two\r\nk3=Three\r\n");
    // "Один" in Windows-1251, "Два" and "Три" as UTF-8.
    writeFile("Translated.lng",
              "[A]\r\nLanguageCodePage=1251\r\nk1=\xCE\xE4\xE8\xED\r\nk2=Два\r\nk3=Три\r\n");
    // The load shows a busy pointer, but not over its question, and leaves none behind.
    std::optional<Qt::CursorShape> pointerOverQuestion;
    setMessageBoxHook([&](std::string_view caption, std::string_view, MessageIcon) {
        const QCursor* pointer = QGuiApplication::overrideCursor();
        pointerOverQuestion = pointer != nullptr ? pointer->shape() : Qt::BlankCursor;
        return caption == "Lines in another encoding" ? kAnswerYes : 1;
    });
    openWindow();
    click(loadButton());
    EXPECT_EQ(pointerOverQuestion, Qt::ArrowCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(
        messages()[0].caption + ": " + messages()[0].text,
        "Lines in another encoding: 2 lines of Translated.lng are UTF-8, not Windows-1251. Convert them?");
    EXPECT_EQ(translatedValue("A", "k1"), "\xCE\xE4\xE8\xED");
    EXPECT_EQ(translatedValue("A", "k2"), "\xC4\xE2\xE0"); // "Два"
    EXPECT_EQ(translatedValue("A", "k3"), "\xD2\xF0\xE8"); // "Три"
}

// Section and key names beyond ASCII head the entry readably whatever the two files' encodings.
TEST_F(LegacyPairInWindow, TheHeadingNamesSectionAndKeyInTheirOwnLetters) {
    writeFile("English.lng", "[Men\xC3\xBC]\r\nGr\xC3\xB6\xC3\x9F"
                             "e=Size\r\nk=Keep\r\n");
    writeFile("Translated.lng", "[Men\xFC]\r\nLanguageCodePage=1252\r\nk=Garder\r\n");
    openAndLoad();
    EXPECT_EQ(heading(), "[Menü] - Größe");
    EXPECT_EQ(source(), "Size");
}

// A whole pass by keyboard on each legacy-encoded pair of the corpus: every entry gets the English
// text followed by a word of the file's script (only the word where its encoding cannot hold the
// English text). The Translated file then reads cleanly in its encoding, holds no UTF-8 line, and
// every entry that was pending holds its answer in that encoding.
TEST_F(LegacyPairInWindow, AWholePassOnEachLegacyCorpusPairWritesOnlyTheFilesEncoding) {
    const struct {
        const char* english;
        const char* translated;
        const char* encoding;
        const char* word;
    } pairs[] = {
        {"innosetup/English-7.1.0.lng", "innosetup/German-5.5.9.lng", "windows-1252", "Prüfung"},
        {"innosetup/English-7.1.0.lng", "innosetup/Russian-6.4.3.lng", "windows-1251", "Проверка"},
        {"innosetup/English-7.1.0.lng", "innosetup/Japanese-5.5.9.lng", "CP932", "確認テスト"},
        {"mwsnap/English-3.0.0.74.lng", "mwsnap/Deutsch-3.0.0.74.lng", "windows-1252", "Prüfung"},
        {"mwsnap/English-3.0.0.74.lng", "mwsnap/Polski-3.0.0.74.lng", "windows-1250", "Zażółć"},
        {"mwsnap/English-3.0.0.74.lng", "mwsnap/Russian-3.0.0.74.lng", "windows-1251", "Проверка"},
        {"mwsnap/English-3.0.0.74.lng", "mwsnap/Chinese_BIG5-3.0.0.74.lng", "CP950", "測試"},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.translated);
        closeWindowIfOpen();
        std::filesystem::remove(file("Parlavo.ini"));
        std::filesystem::remove(file("Translated.lngbackup"));
        copyData(std::string("corpus/") + pair.english, "English.lng");
        copyData(std::string("corpus/") + pair.translated, "Translated.lng");
        openWindow();
        click(loadButton()); // a complete translation has nothing to answer: the rewrite is checked
        std::vector<std::pair<std::string, std::string>> answered; // heading, source
        for (int step = 0; step < 3000 && panelShown(); ++step) {
            const std::string entry = heading();
            answered.emplace_back(entry, source());
            press(Qt::Key_End);
            type(QString::fromUtf8(" ") + QString::fromUtf8(pair.word));
            press(Qt::Key_Return);
            if (panelShown() && heading() == entry) {
                press(Qt::Key_Return); // a warning on screen: confirmed as it is
            }
            for (int retry = 0; retry < 2 && panelShown() && heading() == entry; ++retry) {
                translation()->selectAll(); // refused: the word alone, confirmed past its warning
                answer(QString::fromUtf8(pair.word));
            }
            ASSERT_TRUE(!panelShown() || heading() != entry) << entry << ": " << lastMessageText();
        }
        ASSERT_FALSE(panelShown());
        const std::string bytes = readFile("Translated.lng");
        EXPECT_EQ(fromUtf8(toUtf8Lossy(bytes, pair.encoding), pair.encoding).bytes, bytes);
        EXPECT_TRUE(findUtf8Lines(bytes).empty());
        const std::string word = fromUtf8(pair.word, pair.encoding).bytes;
        std::size_t found = 0;
        for (std::size_t at = bytes.find(word); at != std::string::npos; at = bytes.find(word, at + 1)) {
            ++found;
        }
        EXPECT_GE(found, answered.size());
    }
}

} // namespace
} // namespace parlavo::test
