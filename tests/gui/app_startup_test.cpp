// What the window does at start-up with the settings file.
#include "app_fixture.h"

#include "app/startup.h"

#include <filesystem>

namespace parlavo::test {
namespace {

using WindowStartUp = AppWindowTest;

TEST_F(WindowStartUp, StoredPathsWinOverTheFolderDefaultsAndTheLastTranslatedFileIsBackedUp) {
    // No settings file: the folder ("lang") gives its own paths, nothing is backed up or written.
    openWindow();
    EXPECT_EQ(window().controlText(ctl::EnglishPath), file("English.lng"));
    EXPECT_EQ(window().controlText(ctl::TranslatedPath), file("Translated.lng"));
    EXPECT_TRUE(loadButton()->isEnabled());
    EXPECT_FALSE(panelShown());
    closeWindowIfOpen();
    EXPECT_EQ(std::filesystem::directory_iterator(folder()), std::filesystem::directory_iterator());

    writeFile("Mine.lng", "[A]\r\nk=v\r\n");
    writeFile("Mine.lngbackup", "old backup");
    writeFile("Parlavo.ini",
              "[Settings]\r\nInputFile=/elsewhere/English.lng\r\nOutputFile=" + file("Mine.lng") + "\r\n");
    openWindow();
    EXPECT_EQ(window().controlText(ctl::EnglishPath), "/elsewhere/English.lng");
    EXPECT_EQ(window().controlText(ctl::TranslatedPath), file("Mine.lng"));
    EXPECT_EQ(readFile("Mine.lngbackup"), "[A]\r\nk=v\r\n");
}

TEST_F(WindowStartUp, TheBackupIsTheFileAsItWasBeforeThisRunsFirstLoad) {
    writeFile("English.lng", "[A]\r\nk1=One\r\nk2=Two\r\n");
    writeFile("Translated.lng", "[A]\r\nk1=Eins\r\n");
    writeFile("Parlavo.ini", "[Settings]\r\nOutputFile=" + file("Translated.lng") + "\r\n");
    openWindow();
    EXPECT_EQ(readFile("Translated.lngbackup"), "[A]\r\nk1=Eins\r\n");
    click(loadButton());
    answer("Zwei");
    englishPath()->setText(englishPath()->text() + "x"); // any edit enables the button again
    englishPath()->setText(QString::fromStdString(file("English.lng")));
    click(loadButton()); // a second load of the same file in this run
    EXPECT_EQ(readFile("Translated.lng"), "[A]\r\nk1=Eins\r\nk2=Zwei\r\n\r\n");
    EXPECT_EQ(readFile("Translated.lngbackup"), "[A]\r\nk1=Eins\r\n");
}

// Without a display the program says so in one sentence instead of letting Qt abort.
TEST(ProgramStart, WithoutADisplayItExplainsAndEndsWithOne) {
    const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    std::vector<QByteArray> saved;
    for (const char* name : names) {
        saved.push_back(qgetenv(name));
        qunsetenv(name);
    }
    EXPECT_FALSE(displayAvailable());
    char program[] = "parlavo";
    char argument[] = "--ignored";
    char* argv[] = {program, argument, nullptr};
    testing::internal::CaptureStderr();
    const int result = runParlavo(2, argv);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "parlavo: no display found; run it in a desktop session, or under xvfb-run (for example: "
              "xvfb-run parlavo).\n");
    EXPECT_EQ(result, 1);
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_TRUE(displayAvailable());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        saved[i].isNull() ? (void)qunsetenv(names[i]) : (void)qputenv(names[i], saved[i]);
    }
}

} // namespace
} // namespace parlavo::test
