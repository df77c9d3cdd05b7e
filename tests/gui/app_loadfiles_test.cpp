// "Load Files" in the real window: each path check's message (the checks themselves are tested in
// tests/pass), and what a load may change.
#include "app_fixture.h"
#include "lang/encodingchoice.h"

#include <QComboBox>
#include <QLabel>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace parlavo::test {
namespace {

using LoadFilesInWindow = AppWindowTest;

constexpr std::string_view kEnglish = "[A]\r\nk1=One\r\nk2=Two\r\n";
constexpr std::string_view kTranslated = "[A]\r\nk1=Eins\r\n";

struct PathCase {
    std::string english;
    std::string translated;
    std::string message;
};

TEST_F(LoadFilesInWindow, EachPathCheckShowsItsMessageAndChangesNothing) {
    writeFile("English.lng", kEnglish);
    writeFile("Translated.lng", kTranslated);
    std::filesystem::create_directory(file("folder.lng"));
    openWindow();
    const std::vector<PathCase> cases = {
        {file("missing.lng"), file("Translated.lng"), "Invalid English file."},
        {file("English.lng"), "", "You need to enter a translation file."},
        // A bare name is caught before the equal names.
        {"English.lng", "English.lng", "You need to enter a complete file path."},
        {file("English.lng"), folder() + "/../lang/English.lng",
         "You cannot use the same filename for both files."},
        {file("English.lng"), file("folder.lng"), "The translation file cannot be written."},
    };
    for (const PathCase& check : cases) {
        SCOPED_TRACE(check.english + " | " + check.translated);
        clearShownMessages();
        setPaths(check.english, check.translated);
        ASSERT_TRUE(loadButton()->isEnabled());
        click(loadButton());
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].caption, "Error");
        EXPECT_EQ(messages()[0].text, check.message);
        EXPECT_EQ(messages()[0].icon, MessageIcon::Error);
        EXPECT_TRUE(loadButton()->isEnabled());
        EXPECT_FALSE(panelShown());
    }
    EXPECT_EQ(readFile("English.lng"), kEnglish);
    EXPECT_EQ(readFile("Translated.lng"), kTranslated);
    EXPECT_FALSE(std::filesystem::exists(file("Parlavo.ini")));
    EXPECT_FALSE(std::filesystem::exists(file("Translated.lngbackup")));
}

TEST_F(LoadFilesInWindow, AFailedCheckDuringAPassLeavesThePassWritingToItsOwnFile) {
    writeFile("English.lng", kEnglish);
    openAndLoad();
    EXPECT_FALSE(loadButton()->isEnabled());

    // Typing the loaded path back keeps the button enabled.
    translatedPath()->setText("Other.lng");
    EXPECT_TRUE(loadButton()->isEnabled());
    click(loadButton());
    EXPECT_EQ(lastMessageText(), "Error: You need to enter a complete file path.");
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

TEST_F(LoadFilesInWindow, EnterOrOkWithoutACurrentEntryWritesNothingAndNothingPendingHidesThePanel) {
    writeFile("English.lng", kEnglish);
    writeFile("Done.lng", "[A]\r\nk1=Eins\r\nk2=Zwei\r\n");
    openWindow();
    for (QLineEdit* box : {englishPath(), translatedPath()}) { // before any load
        box->setFocus();
        ASSERT_TRUE(box->hasFocus());
        press(Qt::Key_Return);
        press(Qt::Key_Enter);
    }
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(messages().empty()) << lastMessageText();
    EXPECT_FALSE(std::filesystem::exists(file("Translated.lng")));
    EXPECT_FALSE(std::filesystem::exists(file("Parlavo.ini")));
    EXPECT_TRUE(state.pass.work.pending.empty());

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

// A Translated file that can no longer be written after the load. Permissions do not bind root, so
// there the file is replaced by a folder of the same name, which cannot be written either.
void makeUnwritable(const std::string& path) {
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    if (::geteuid() == 0) {
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
    }
}

TEST_F(LoadFilesInWindow, AFailedSaveShowsAnErrorAndKeepsTheEntryAndTheTypedText) {
    writeFile("English.lng", kEnglish);
    openAndLoad();
    makeUnwritable(file("Translated.lng"));
    clearShownMessages();

    answer("Uno");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].icon, MessageIcon::Error);
    EXPECT_FALSE(messages()[0].text.empty());
    EXPECT_EQ(heading(), "[A] - k1");
    EXPECT_EQ(window().controlText(1022), "Uno");
    EXPECT_TRUE(panelShown());
    EXPECT_EQ(state.pass.progress.answered, 0);

    click(backButton());
    EXPECT_EQ(messages().size(), 2u);
    EXPECT_EQ(heading(), "[A] - k1");
    EXPECT_EQ(window().controlText(1022), "Uno");
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

constexpr std::string_view kLoadingCp1251 = "\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0"; // "Загрузка"

TEST_F(LegacyPairInWindow, ShowsTheFilesDecodedAndWritesAnswersInTheTranslatedFilesEncoding) {
    loadRussianPair();
    EXPECT_NE(viewText().find("SetupAppTitle=Установка"), std::string::npos);
    EXPECT_EQ(source(), "Downloading files...");
    EXPECT_EQ(labelText("translatedEncodingLabel"), "Windows-1251 (Cyrillic), declared in the file");
    const std::string before = readFile("Translated.lng");

    answer(QString::fromUtf8("Загрузка € ✓"));
    EXPECT_NE(lastMessageText().find("\u201C€\u201D \u201C✓\u201D"), std::string::npos) << lastMessageText();
    EXPECT_NE(lastMessageText().find("Windows-1251"), std::string::npos);
    EXPECT_EQ(window().controlText(1022), "Загрузка € ✓");
    EXPECT_EQ(readFile("Translated.lng"), before);

    translation()->selectAll();
    answer(QString::fromUtf8("Загрузка"));
    EXPECT_EQ(translatedValue("Messages", "DownloadingLabel2"), kLoadingCp1251);
    EXPECT_NE(viewText().find("DownloadingLabel2=Загрузка"), std::string::npos);
    click(backButton()); // the pre-fill is the stored answer, decoded
    EXPECT_EQ(window().controlText(1022), "Загрузка");
    press(Qt::Key_Return);
    EXPECT_EQ(translatedValue("Messages", "DownloadingLabel2"), kLoadingCp1251);
}

TEST_F(LegacyPairInWindow, AnEncodingChosenByKeyboardDecodesTheViewAgainAndIsRemembered) {
    loadRussianPair();
    const std::string before = readFile("Translated.lng");
    auto* choice = find<QComboBox>("translatedEncoding");
    ASSERT_TRUE(tabTo(choice));
    press(Qt::Key_Down); // the next encoding of the list: Windows-1252
    EXPECT_EQ(viewText().find("Установка"), std::string::npos);
    EXPECT_NE(viewText().find("SetupAppTitle=Óñòàíîâêà"), std::string::npos);
    EXPECT_EQ(labelText("translatedEncodingLabel"), "Windows-1252 (Western), your choice");
    EXPECT_EQ(readFile("Translated.lng"), before);
    Result<ProfileFile> settings = ProfileFile::open(file("Parlavo.ini"));
    ASSERT_TRUE(settings.ok());
    EXPECT_EQ(rememberedEncoding(settings.value.document(), file("Translated.lng")), "windows-1252");
}

TEST_F(LegacyPairInWindow, LoadFilesOffersToConvertUtf8LinesOfALegacyFile) {
    writeFile("English.lng", "[A]\r\nLanguageCodePage=0\r\nk1=One\r\nk2=Two\r\nk3=Three\r\n");
    // "Один" in Windows-1251, "Два" and "Три" as UTF-8.
    writeFile("Translated.lng",
              "[A]\r\nLanguageCodePage=1251\r\nk1=\xCE\xE4\xE8\xED\r\nk2=Два\r\nk3=Три\r\n");
    setMessageBoxHook([](std::string_view caption, std::string_view, MessageIcon) {
        return caption == "Lines in another encoding" ? kAnswerYes : 1;
    });
    openWindow();
    click(loadButton());
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(
        messages()[0].caption + ": " + messages()[0].text,
        "Lines in another encoding: 2 lines of Translated.lng are UTF-8, not Windows-1251. Convert them?");
    EXPECT_EQ(translatedValue("A", "k1"), "\xCE\xE4\xE8\xED");
    EXPECT_EQ(translatedValue("A", "k2"), "\xC4\xE2\xE0"); // "Два"
    EXPECT_EQ(translatedValue("A", "k3"), "\xD2\xF0\xE8"); // "Три"
}

} // namespace
} // namespace parlavo::test
