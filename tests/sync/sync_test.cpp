#include "lang/answermemory.h"
#include "sync/sync.h"

#include "support/tempdir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

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

// Runs parlavo-sync with folder as the current directory, as the program's main does.
SyncRun runSyncIn(const fs::path& folder, const std::vector<std::string>& args) {
    test::withCurrentDirectory here(folder);
    std::ostringstream out;
    std::ostringstream err;
    SyncRun run;
    run.status = runSync(args, out, err);
    run.out = out.str();
    run.err = err.str();
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
        dir.write("Parlavo.ini", "[AlreadyTranslated]\r\nHelp=Aide\r\n"); // the answer memory knows "Help"
    }
};

TEST(SyncCommand, ListsPendingEntriesWithEscapedFieldsAndTheCountAndExitsWithZeroWhenNoneAre) {
    Folder folder;
    SyncRun run = runSyncIn(folder.dir.path(), {"English.lng", "Translated.lng"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "3\tMenu\tSave\tSave file\n"
                       "6\tTabs\tTab\tName\\\\tValue\\\\\\\\n\\tend\n"
                       "7\tTabs\tOpen\tOpen file\n"
                       "3 of 5 need translating\n");

    folder.dir.write("Translated.lng", "[Menu]\r\nOpen=Ouvrir\r\nSave=Enregistrer\r\n[Tabs]\r\nTab=Onglet\r\n"
                                       "Open=Ouvrir\r\n");
    run = runSyncIn(folder.dir.path(), {"English.lng", "Translated.lng"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0 of 5 need translating\n");

    // A long list, made while the files are written, goes out whole and in order.
    std::string english = "[Many]\r\n";
    std::string expected;
    for (int i = 1; i <= 2000; ++i) {
        english += "K" + std::to_string(i) + "=Text " + std::to_string(i) + "\r\n";
        expected +=
            std::to_string(i + 1) + "\tMany\tK" + std::to_string(i) + "\tText " + std::to_string(i) + "\n";
    }
    folder.dir.write("English.lng", english);
    folder.dir.write("Translated.lng", "");
    run = runSyncIn(folder.dir.path(), {"English.lng", "Translated.lng"});
    EXPECT_EQ(run.out, expected + "2000 of 2000 need translating\n");
}

// Each of the four bytes a field escapes is found at every place of fields of every length up to 40,
// before another one at the end.
TEST(SyncCommand, AFieldEscapesItsSpecialBytesWhereverTheyAre) {
    const std::vector<std::pair<char, std::string>> escapes = {
        {'\\', "\\\\"}, {'\t', "\\t"}, {'\r', "\\r"}, {'\n', "\\n"}};
    for (std::size_t size = 2; size <= 40; ++size) {
        for (std::size_t at = 0; at + 1 < size; ++at) {
            for (const auto& [special, written] : escapes) {
                std::string field(size, 'a');
                field[at] = special;
                field.back() = '\t';
                const std::string expected =
                    std::string(at, 'a') + written + std::string(size - at - 2, 'a') + "\\t";
                EXPECT_EQ(escapeSyncField(field), expected) << size << " " << at;
            }
        }
    }
}

TEST(SyncCommand, DryRunReportsTheSameAndChangesNoByte) {
    Folder folder;
    const auto before = snapshot(folder.dir);
    SyncRun dry = runSyncIn(folder.dir.path(), {"--dry-run", "English.lng", "Translated.lng"});
    EXPECT_EQ(snapshot(folder.dir), before);
    SyncRun real = runSyncIn(folder.dir.path(), {"English.lng", "Translated.lng"});
    EXPECT_EQ(dry.status, real.status);
    EXPECT_EQ(dry.out, real.out);
    EXPECT_NE(snapshot(folder.dir), before);
}

TEST(SyncCommand, UsageErrorsAndUnusableFilesExitWithTwoAndWriteNothing) {
    Folder folder;
    folder.dir.write("Rich.lng", "[Old]\r\na=1a\r\nb=2b\r\nc=3c\r\nd=4d\r\ne=5e\r\n");
    const auto before = snapshot(folder.dir);
    const struct {
        std::vector<std::string> args;
        const char* message; // "" for a usage error: any one line of its own
    } cases[] = {
        {{"Missing.lng", "Translated.lng"}, "parlavo-sync: Invalid English file.\n"},
        {{"English.lng", "Rich.lng"},
         "parlavo-sync: The rewrite would remove 5 of 5 translations; the translation file is left as it "
         "was. Give --allow-drop to rewrite it anyway.\n"},
        {{}, ""},
        {{"English.lng", "Translated.lng", "Third.lng"}, ""},
        {{"--frobnicate", "a", "b"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args[0]);
        SyncRun run = runSyncIn(folder.dir.path(), c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        if (*c.message != '\0') {
            EXPECT_EQ(run.err, c.message);
        } else {
            EXPECT_THAT(run.err, StartsWith("parlavo-sync: "));
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
        }
    }
    SyncRun help = runSyncIn(folder.dir.path(), {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_THAT(help.out, StartsWith("Usage: parlavo-sync [--dry-run] [--allow-drop] ENGLISH TRANSLATED"));
    EXPECT_EQ(snapshot(folder.dir), before);

    EXPECT_EQ(runSyncIn(folder.dir.path(), {"--allow-drop", "English.lng", "Rich.lng"}).status, 1);
    // A file name that starts with a dash can follow "--".
    folder.dir.write("-English.lng", kEnglish);
    EXPECT_EQ(runSyncIn(folder.dir.path(), {"--dry-run", "--", "-English.lng", "Translated.lng"}).status, 1);
}

TEST(SyncCommand, ASettingsFileThatCannotBeSavedIsAWarningOnly) {
    Folder folder;
    fs::remove(folder.dir.file("Parlavo.ini"));
    fs::create_directory(folder.dir.file("Parlavo.ini")); // neither readable nor replaceable as a file
    const SyncRun run = runSyncIn(folder.dir.path(), {"English.lng", "Translated.lng"});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, StartsWith("parlavo-sync: warning: "));
    EXPECT_THAT(run.out, HasSubstr("4 of 5 need translating"));
    EXPECT_EQ(folder.dir.read("Translated.lngbackup"), kTranslated);
}

TEST(SyncCheck, ListsTheProblemsOfTranslatedEntriesWritesNothingAndExitsByWhatItFound) {
    Folder folder;
    folder.dir.write("English.lng", "[Menu]\r\nOpen=&Open %1...\r\nSave=Save\r\nHelp=Help:\r\nNew=New\r\n"
                                    "[Tab\\s]\r\nTab=A\\tB\r\n");
    folder.dir.write("Translated.lng", "[Menu]\r\nOpen=\xC3\x96"
                                       "ffnen\r\nSave=Speichern\r\nHelp=Hilfe\r\n"
                                       "[Tab\\s]\r\nTab=A B\r\n");
    IniDocument memory; // "Speichern" was the answer to an English text the file no longer has
    rememberAnswer(memory, "Save all", "Speichern");
    folder.dir.write("Parlavo.ini", memory.serialize());
    const auto before = snapshot(folder.dir);
    SyncRun run = runSyncIn(folder.dir.path(), {"--check", "English.lng", "Translated.lng"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "2\tMenu\tOpen\tMissing %1.\n"
                       "2\tMenu\tOpen\tMissing the accelerator '&'.\n"
                       "2\tMenu\tOpen\tThe English text ends with '...'.\n"
                       "3\tMenu\tSave\tEnglish changed, was: Save all\n"
                       "4\tMenu\tHelp\tThe English text ends with ':'.\n"
                       "7\tTab\\\\s\tTab\tThe English text has 1 \\\\t, the answer 0.\n"
                       "6 problems in 4 entries\n");
    EXPECT_EQ(snapshot(folder.dir), before);

    folder.dir.write("Translated.lng", "[Menu]\r\nOpen=&\xC3\x96"
                                       "ffnen %1...\r\nHelp=Hilfe:\r\n");
    run = runSyncIn(folder.dir.path(), {"English.lng", "--check", "Translated.lng"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0 problems in 0 entries\n");

    // A real pair years apart: problems found, still nothing written; a missing file is an error.
    fs::copy_file(fs::path(PARLAVO_TEST_DATA_DIR) / "corpus/innosetup/English-7.1.0.lng",
                  folder.dir.file("E.lng"));
    fs::copy_file(fs::path(PARLAVO_TEST_DATA_DIR) / "corpus/innosetup/German-5.5.9.lng",
                  folder.dir.file("G.lng"));
    const auto corpus = snapshot(folder.dir);
    run = runSyncIn(folder.dir.path(), {"--check", "E.lng", "G.lng"});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.out, ::testing::ContainsRegex("\n[1-9][0-9]* problems in [1-9][0-9]* entries\n$"));
    EXPECT_EQ(snapshot(folder.dir), corpus);
    EXPECT_EQ(runSyncIn(folder.dir.path(), {"--check", "Missing.lng", "G.lng"}).status, 2);
}

} // namespace
} // namespace parlavo
