// What the window does at start-up with the settings file.
#include "app_fixture.h"

#include "app/startup.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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

// The program as a user starts it: a clean environment with only the given variables set.
QProcess* startProgram(QObject* owner, const QStringList& arguments, const QStringList& variables,
                       const QString& folder = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"}) {
        environment.remove(QString::fromLatin1(name));
    }
    for (const QString& variable : variables) {
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    }
    auto* program = new QProcess(owner);
    program->setProcessEnvironment(environment);
    program->setWorkingDirectory(folder);
    program->start(QStringLiteral(PARLAVO_BIN), arguments);
    return program;
}

// An X display number with no server behind it.
QString unusedDisplay() {
    int number = 90;
    while (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
           QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) {
        ++number;
    }
    return QStringLiteral("DISPLAY=:%1").arg(number);
}

TEST(ProgramStart, ADisplayThatCannotBeOpenedGetsTheSentenceAndArgumentsNeverReachQt) {
    QObject owner;
    const QString display = unusedDisplay();
    const std::vector<std::pair<QStringList, QStringList>> cases = {
        {{}, {display}},
        {{"-platform", "nonexistent"}, {display}},
        {{"-display", ":0"}, {display}},
        {{}, {"QT_QPA_PLATFORM=nonexistent"}},
    };
    for (const auto& [arguments, variables] : cases) {
        SCOPED_TRACE((arguments + variables).join(u' ').toStdString());
        QProcess* program = startProgram(&owner, arguments, variables);
        ASSERT_TRUE(program->waitForFinished(30000));
        EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program->exitCode(), 1);
        EXPECT_EQ(program->readAllStandardError().toStdString(),
                  "parlavo: no display found; run it in a desktop session, or under xvfb-run (for "
                  "example: xvfb-run parlavo).\n");
    }
    // On a display that works, "-platform nonexistent" is ignored: the window starts (it backs up
    // the last Translated file first) and runs until it is stopped.
    QTemporaryDir folder;
    QFile translated(folder.filePath("T.lng"));
    ASSERT_TRUE(translated.open(QIODevice::WriteOnly));
    translated.write("[A]\r\nk=v\r\n");
    translated.close();
    QFile settings(folder.filePath("Parlavo.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Settings]\r\nOutputFile=" + folder.filePath("T.lng").toUtf8() + "\r\n");
    settings.close();
    QProcess* program =
        startProgram(&owner, {"-platform", "nonexistent"}, {"QT_QPA_PLATFORM=offscreen"}, folder.path());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(folder.filePath("T.lngbackup")); }, 30000))
        << program->readAllStandardError().toStdString();
    EXPECT_EQ(program->state(), QProcess::Running);
    program->kill();
    program->waitForFinished(10000);
}

} // namespace
} // namespace parlavo::test
