// What the window does at start-up with the settings file.
#include "app_fixture.h"

#include "app/startup.h"

#include <QProcess>
#include <QTest>

#include <filesystem>

namespace parlavo::test {
namespace {

using WindowStartUp = AppWindowTest;

TEST_F(WindowStartUp, StoredPathsWinAndTheBackupIsTheLastTranslatedFileAsItWasBeforeThisRun) {
    // No settings file: the folder ("lang") gives its own paths, nothing is backed up or written.
    openWindow();
    EXPECT_EQ(window().controlText(ctl::EnglishPath), file("English.lng"));
    EXPECT_EQ(window().controlText(ctl::TranslatedPath), file("Translated.lng"));
    EXPECT_TRUE(loadButton()->isEnabled());
    EXPECT_FALSE(panelShown());
    closeWindowIfOpen();
    EXPECT_EQ(std::filesystem::directory_iterator(folder()), std::filesystem::directory_iterator());

    writeFile("Source.lng", "[A]\r\nk1=One\r\nk2=Two\r\n");
    writeFile("Mine.lng", "[A]\r\nk1=Eins\r\n");
    writeFile("Mine.lngbackup", "old backup");
    writeFile("Parlavo.ini", "[Settings]\r\nInputFile=" + file("Source.lng") +
                                 "\r\nOutputFile=" + file("Mine.lng") + "\r\n");
    openWindow();
    EXPECT_EQ(window().controlText(ctl::EnglishPath), file("Source.lng"));
    EXPECT_EQ(window().controlText(ctl::TranslatedPath), file("Mine.lng"));
    EXPECT_EQ(readFile("Mine.lngbackup"), "[A]\r\nk1=Eins\r\n");
    click(loadButton());
    answer("Zwei");
    englishPath()->setText(englishPath()->text() + "x"); // any edit enables the button again
    englishPath()->setText(QString::fromStdString(file("Source.lng")));
    click(loadButton()); // a second load of the same file in this run backs up nothing
    EXPECT_EQ(readFile("Mine.lng"), "[A]\r\nk1=Eins\r\nk2=Zwei\r\n\r\n");
    EXPECT_EQ(readFile("Mine.lngbackup"), "[A]\r\nk1=Eins\r\n");
}

// A display is there when X or Wayland names one, or Qt is told which platform to use.
TEST(ProgramStart, ADisplayIsFoundThroughXWaylandOrTheQtPlatform) {
    const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    QByteArray saved[3];
    for (int i = 0; i < 3; ++i) {
        saved[i] = qgetenv(names[i]);
        qunsetenv(names[i]);
    }
    EXPECT_FALSE(displayAvailable());
    for (int i = 0; i < 3; ++i) {
        qputenv(names[i], "x");
        EXPECT_TRUE(displayAvailable()) << names[i];
        qunsetenv(names[i]);
    }
    for (int i = 0; i < 3; ++i) {
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

// No display, or one that cannot be opened: one sentence and exit status 1, whatever the arguments.
TEST(ProgramStart, WithoutAUsableDisplayItExplainsAndEndsWithOne) {
    QObject owner;
    int number = 90; // an X display number with no server behind it
    while (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
           QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) {
        ++number;
    }
    const QString display = QStringLiteral("DISPLAY=:%1").arg(number);
    const std::vector<std::pair<QStringList, QStringList>> cases = {
        {{"--ignored"}, {}},
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
}

// On a display that works, "-platform nonexistent" never reaches Qt: the window starts (it backs
// up the last Translated file first) and runs until it is stopped.
TEST_F(WindowStartUp, TheProgramsArgumentsNeverReachQt) {
    QObject owner;
    writeFile("T.lng", "[A]\r\nk=v\r\n");
    writeFile("Parlavo.ini", "[Settings]\r\nOutputFile=" + file("T.lng") + "\r\n");
    QProcess* program = startProgram(&owner, {"-platform", "nonexistent"}, {"QT_QPA_PLATFORM=offscreen"},
                                     QString::fromStdString(folder()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(file("T.lngbackup")); }, 30000))
        << program->readAllStandardError().toStdString();
    EXPECT_EQ(program->state(), QProcess::Running);
    program->kill();
    program->waitForFinished(10000);
}

} // namespace
} // namespace parlavo::test
