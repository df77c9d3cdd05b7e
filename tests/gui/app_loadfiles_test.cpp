// "Load Files" in the real window: each path check's message (the checks themselves are tested in
// tests/pass), and what a load may change.
#include "app_fixture.h"

#include <QDir>
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

} // namespace
} // namespace parlavo::test
