#include "sync/sync.h"

#include "lang/answermemory.h"
#include "lang/profile.h"
#include "support/tempdir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace parlavo {
namespace {

namespace fs = std::filesystem;
using test::snapshot;
using test::TempDir;
using ::testing::HasSubstr;
using ::testing::StartsWith;

struct SyncRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Starts the real parlavo-sync with folder as its working directory.
SyncRun runSyncBinary(const fs::path& folder, const std::vector<std::string>& args) {
    TempDir capture; // outside the folder under test, so its listing stays as it was
    const std::string outPath = capture.file("out");
    const std::string errPath = capture.file("err");
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(folder.c_str()) != 0) {
            _exit(127);
        }
        std::vector<char*> argv{const_cast<char*>(PARLAVO_SYNC_BIN)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(PARLAVO_SYNC_BIN, argv.data());
        _exit(127);
    }
    SyncRun run;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    run.out = capture.read("out");
    run.err = capture.read("err");
    return run;
}

constexpr const char* kEnglish = "[Menu]\r\nOpen=Open file\r\nSave=Save file\r\nHelp=Help\r\n"
                                 "[Tabs]\r\nTab=Name\\tValue\\\\n\tend\r\nOpen=Open file\r\n";
constexpr const char* kTranslated = "[Menu]\r\nOpen=Ouvrir\r\nSave=Enregistrer UPDATE NEEDED\r\n";

struct Folder {
    TempDir dir;
    Folder() {
        dir.write("English.lng", kEnglish);
        dir.write("Translated.lng", kTranslated);
        // The answer memory knows "Help", written as the program writes it.
        IniDocument settings;
        rememberAnswer(settings, "Help", "Aide");
        dir.write("Parlavo.ini", settings.serialize());
    }
};

TEST(SyncCommand, ListsPendingEntriesWithEscapedFieldsAndTheCountAndExitsWithZeroWhenNoneAre) {
    Folder folder;
    SyncRun run = runSyncBinary(folder.dir.path(), {"English.lng", "Translated.lng"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "3\tMenu\tSave\tSave file\n"
                       "6\tTabs\tTab\tName\\\\tValue\\\\\\\\n\\tend\n"
                       "7\tTabs\tOpen\tOpen file\n"
                       "3 of 5 need translating\n");

    folder.dir.write("Translated.lng", "[Menu]\r\nOpen=Ouvrir\r\nSave=Enregistrer\r\n[Tabs]\r\nTab=Onglet\r\n"
                                       "Open=Ouvrir\r\n");
    run = runSyncBinary(folder.dir.path(), {"English.lng", "Translated.lng"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0 of 5 need translating\n");
    // The same pair again: the rewrite is stable.
    const std::string rewritten = folder.dir.read("Translated.lng");
    EXPECT_EQ(runSyncBinary(folder.dir.path(), {"English.lng", "Translated.lng"}).status, 0);
    EXPECT_EQ(folder.dir.read("Translated.lng"), rewritten);
}

TEST(SyncCommand, RewritesTheTranslatedFileAfterBackingItUpAndListsHelperWords) {
    Folder folder;
    folder.dir.write("English.lng", "[A]\r\nk1=Open the file\r\nk2=Open a file\r\nk3=Open no file\r\n");
    SyncRun run = runSyncBinary(folder.dir.path(), {"English.lng", "Translated.lng"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(folder.dir.read("Translated.lngbackup"), kTranslated);
    EXPECT_EQ(folder.dir.read("Translated.lng"), "[A]\r\nk1=\r\nk2=\r\nk3=\r\n\r\n");
    const IniDocument settings = IniDocument::parse(folder.dir.read("Parlavo.ini"));
    EXPECT_EQ(recallAnswer(settings, "Help"), "Aide");
    EXPECT_EQ(settings.find("Helper Words", "Open"), std::optional<std::string>(""));
    EXPECT_EQ(settings.find("Helper Words", "file"), std::optional<std::string>(""));
}

TEST(SyncCommand, DryRunReportsTheSameAndChangesNoByte) {
    Folder folder;
    const auto before = snapshot(folder.dir);
    SyncRun dry = runSyncBinary(folder.dir.path(), {"--dry-run", "English.lng", "Translated.lng"});
    EXPECT_EQ(snapshot(folder.dir), before);
    // Also where nothing exists yet: no Translated file, no settings file is created.
    fs::remove(folder.dir.file("Parlavo.ini"));
    const auto bare = snapshot(folder.dir);
    SyncRun dryNew = runSyncBinary(folder.dir.path(), {"English.lng", "--dry-run", "New.lng"});
    EXPECT_EQ(dryNew.status, 1);
    EXPECT_EQ(snapshot(folder.dir), bare);

    folder.dir.write("Parlavo.ini", before.at("Parlavo.ini"));
    SyncRun real = runSyncBinary(folder.dir.path(), {"English.lng", "Translated.lng"});
    EXPECT_EQ(dry.status, real.status);
    EXPECT_EQ(dry.out, real.out);
    EXPECT_NE(snapshot(folder.dir), before);
}

TEST(SyncCommand, UsageErrorsAndUnusableFilesExitWithTwoAndWriteNothing) {
    Folder folder;
    folder.dir.write("Empty.lng", "");
    folder.dir.write("Rich.lng", "[Old]\r\na=1a\r\nb=2b\r\nc=3c\r\nd=4d\r\ne=5e\r\n");
    folder.dir.write("T.lngbackup", kEnglish);
    const auto before = snapshot(folder.dir);
    const struct {
        std::vector<std::string> args;
        const char* message; // "" for a usage error: any one line of its own
    } cases[] = {
        {{"Missing.lng", "Translated.lng"}, "parlavo-sync: Invalid English file.\n"},
        {{"English.lng", ""}, "parlavo-sync: You need to enter a translation file.\n"},
        {{"English.lng", "./English.lng"},
         "parlavo-sync: You cannot use the same filename for both files.\n"},
        {{"English.lng", "nowhere/Translated.lng"},
         "parlavo-sync: The translation file cannot be written.\n"},
        {{"Empty.lng", "Translated.lng"}, "parlavo-sync: The English file has no keys.\n"},
        {{"T.lngbackup", "T.lng"},
         "parlavo-sync: You cannot use the translation file's backup as the English file.\n"},
        {{"English.lng", "Rich.lng"},
         "parlavo-sync: The rewrite would remove 5 of 5 translations; the translation file is left as it "
         "was. Give --allow-drop to rewrite it anyway.\n"},
        {{}, ""},
        {{"English.lng"}, ""},
        {{"English.lng", "Translated.lng", "Third.lng"}, ""},
        {{"--frobnicate", "a", "b"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args[0]);
        SyncRun run = runSyncBinary(folder.dir.path(), c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        if (*c.message != '\0') {
            EXPECT_EQ(run.err, c.message);
        } else {
            EXPECT_THAT(run.err, StartsWith("parlavo-sync: "));
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
        }
    }
    SyncRun help = runSyncBinary(folder.dir.path(), {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* part : {"Usage: parlavo-sync [--dry-run] [--allow-drop] ENGLISH TRANSLATED",
                             "Exit status", "Parlavo.ini", "TRANSLATEDbackup"}) {
        EXPECT_THAT(help.out, HasSubstr(part));
    }
    EXPECT_EQ(snapshot(folder.dir), before);

    EXPECT_EQ(runSyncBinary(folder.dir.path(), {"--allow-drop", "English.lng", "Rich.lng"}).status, 1);
    // A file name that starts with a dash can follow "--".
    folder.dir.write("-English.lng", kEnglish);
    EXPECT_EQ(runSyncBinary(folder.dir.path(), {"--dry-run", "--", "-English.lng", "Translated.lng"}).status,
              1);
}

TEST(SyncCommand, ASettingsFileThatCannotBeSavedIsAWarningOnly) {
    Folder folder;
    fs::remove(folder.dir.file("Parlavo.ini"));
    fs::create_directory(folder.dir.file("Parlavo.ini")); // neither readable nor replaceable as a file
    std::ostringstream out;
    std::ostringstream err;
    test::withCurrentDirectory here(folder.dir.path());
    EXPECT_EQ(runSync({"English.lng", "Translated.lng"}, out, err), 1);
    EXPECT_THAT(err.str(), StartsWith("parlavo-sync: warning: "));
    EXPECT_THAT(out.str(), HasSubstr("4 of 5 need translating"));
    EXPECT_EQ(folder.dir.read("Translated.lngbackup"), kTranslated);
}

TEST(SyncFieldEscape, WritesBackslashTabCrAndLfAsEscapes) {
    EXPECT_EQ(escapeSyncField("a\\b\tc\rd\ne\xC3\xA9="), "a\\\\b\\tc\\rd\\ne\xC3\xA9=");
}

} // namespace
} // namespace parlavo
