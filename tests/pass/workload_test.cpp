#include "pass/workload.h"

#include "lang/answermemory.h"
#include "support/tempdir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace parlavo {
namespace {

namespace fs = std::filesystem;
using test::snapshot;
using test::TempDir;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Property;

constexpr const char* kInvalidEnglish = "Invalid English file.";
constexpr const char* kNoTranslation = "You need to enter a translation file.";
constexpr const char* kIncomplete = "You need to enter a complete file path.";
constexpr const char* kSameFile = "You cannot use the same filename for both files.";
constexpr const char* kCannotRead = "The translation file cannot be read.";
constexpr const char* kCannotWrite = "The translation file cannot be written.";
constexpr const char* kBackupIsEnglish = "You cannot use the translation file's backup as the English file.";

std::string refusal(const std::string& english, const std::string& translated, bool complete = true) {
    return checkLoadPaths({english, translated}, {.requireCompletePaths = complete}).error;
}

// Every check of "Load Files" in one folder, run as an ordinary user (permission bits bind).
TEST(LoadChecks, EachRefusalComesWithItsMessageAndUsableFilesPass) {
    TempDir dir;
    const std::string english = dir.write("English.lng", "[A]\r\nk=v\r\n");
    const std::string translated = dir.file("Translated.lng");
    dir.write(".hidden.lng", "[A]\r\n");
    fs::permissions(dir.write("english.lng", "[A]\r\n"), fs::perms::all);
    fs::create_directory(dir.file("sub"));
    fs::create_directory(dir.file("folder.lng"));
    fs::create_symlink(english, dir.file("Link.lng"));
    fs::create_hard_link(english, dir.file("Hard.lng"));
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(dir.write("Unreadable.lng", "[A]\r\n"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write);
    fs::permissions(dir.write("NoEnglish.lng", "[A]\r\n"), fs::perms::none);
    fs::permissions(dir.write("ReadOnly.lng", "[A]\r\n"), readOnly);
    dir.write("Translated.lngbackup", "[A]\r\nk=v\r\n");
    fs::create_directory(dir.file("locked"));
    fs::permissions(dir.file("locked"), readOnly | fs::perms::owner_exec | fs::perms::others_exec);
    const struct {
        std::string english, translated;
        const char* message;
        bool complete = true;
    } cases[] = {
        {dir.file("missing.lng"), translated, kInvalidEnglish},
        {dir.path().string(), translated, kInvalidEnglish},
        {dir.file(".hidden.lng"), translated, kInvalidEnglish},
        {"", translated, kInvalidEnglish},
        {dir.file("NoEnglish.lng"), translated, kInvalidEnglish},
        {dir.file("nope"), "", kInvalidEnglish}, // the checks come in order
        {english, "", kNoTranslation},
        {english, english, kSameFile},
        {english, dir.file("sub/../English.lng"), kSameFile},
        {english, dir.file("./English.lng"), kSameFile},
        {english, dir.file("Link.lng"), kSameFile},
        {english, dir.file("Hard.lng"), kSameFile},
        {english, "./English.lng", kSameFile},
        {english, dir.file("english.lng"), ""},      // letter case makes another file here
        {"English.lng", "English.lng", kIncomplete}, // the missing separator is reported first
        {"English.lng", translated, kIncomplete},
        {english, "Translated.lng", kIncomplete},
        {"English.lng", "Translated.lng", "", false}, // the command line takes bare names
        {"English.lng", "English.lng", kSameFile, false},
        {english, translated, ""}, // created by the load
        {english, dir.file("missing/Translated.lng"), kCannotWrite},
        {english, dir.file("folder.lng"), kCannotWrite},
        {english, dir.file("ReadOnly.lng"), kCannotWrite},
        {english, dir.file("Unreadable.lng"), kCannotRead},
        {english, dir.file("locked/Translated.lng"), kCannotWrite},
        {dir.file("Translated.lngbackup"), "./Translated.lng", kBackupIsEnglish},
    };
    test::withCurrentDirectory here(dir.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.english + " | " + c.translated);
        EXPECT_EQ(test::asOrdinaryUser(dir, [&] { return refusal(c.english, c.translated, c.complete); }),
                  c.message);
    }
}

// A file anyone may write but that belongs to root, in a sticky folder: another user can write it
// but not rename over it, so an atomic rewrite would fail after the backup.
TEST(LoadChecks, AFileThatCanBeWrittenButNotReplacedIsRefused) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to own the file";
    }
    TempDir dir;
    const std::string english = dir.write("English.lng", "[A]\r\nk=v\r\n");
    fs::create_directory(dir.file("sticky"));
    fs::permissions(dir.file("sticky"), fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(dir.write("sticky/T.lng", "[A]\r\n"), fs::perms::all & ~fs::perms::owner_exec &
                                                              ~fs::perms::group_exec &
                                                              ~fs::perms::others_exec);
    EXPECT_EQ(test::asOrdinaryUser(dir, [&] { return refusal(english, dir.file("sticky/T.lng")); }),
              kCannotWrite);
}

constexpr const char* kEnglish = "; English\r\n[Menu]\r\nOpen=Open file\r\nSave=Save file\r\nQuit=Quit\r\n"
                                 "Num=1234\r\n[Dialog]\r\nOpen=Open file\r\nClose=Close window\r\n";
constexpr const char* kTranslated = "[Menu]\r\nOpen=Ouvrir le fichier\r\nSave=UPDATE NEEDED\r\nOld=gone\r\n";

struct Files {
    TempDir dir;
    std::string english = dir.write("English.lng", kEnglish);
    std::string translated = dir.write("Translated.lng", kTranslated);
    std::string settings = dir.write("Parlavo.ini", "[Settings]\r\nx=5\r\n[AlreadyTranslated]\r\n"
                                                    "Quit=Quitter\r\n");
};

TEST(PrepareWorkList, SelectsBacksUpRewritesAndListsHelperWords) {
    Files files;
    BackupRecord backups;
    LoadResult result = prepareWorkList({files.english, files.translated}, files.settings, backups);
    ASSERT_TRUE(result.status.ok()) << result.status.error;
    EXPECT_THAT(result.work.pending,
                ElementsAre(Property(&PendingEntry::key, "Save"), Property(&PendingEntry::key, "Open"),
                            Property(&PendingEntry::key, "Close")));
    EXPECT_EQ(files.dir.read("Translated.lngbackup"), kTranslated);
    const std::string rewritten =
        "; English\r\n[Menu]\r\nOpen=Ouvrir le fichier\r\nSave=\r\nQuit=Quitter\r\n"
        "Num=1234\r\n[Dialog]\r\nOpen=\r\nClose=\r\n\r\n"; // the empty last line too
    EXPECT_EQ(files.dir.read("Translated.lng"), rewritten);
    ASSERT_TRUE(result.rewritten.bytes);
    EXPECT_EQ(*result.rewritten.bytes, rewritten);

    const IniDocument settings = IniDocument::parse(files.dir.read("Parlavo.ini"));
    EXPECT_EQ(recallAnswer(settings, "1234"), "1234"); // needs no translation: remembered
    EXPECT_EQ(recallAnswer(settings, "Quit"), "Quitter");
}

TEST(PrepareWorkList, AFailedBackupOrRewriteChangesNothing) {
    Files files;
    BackupRecord backups;
    // The backup's place is taken by a folder: the backup fails, so the file is not rewritten.
    fs::create_directory(files.dir.file("Translated.lngbackup"));
    auto before = snapshot(files.dir);
    LoadResult failed = prepareWorkList({files.english, files.translated}, files.settings, backups);
    EXPECT_THAT(failed.status.error, HasSubstr("backed up"));
    EXPECT_EQ(snapshot(files.dir), before);
    EXPECT_FALSE(backups.has(files.translated));

    // A rewrite that cannot be done leaves the settings file unsaved.
    const std::string nowhere = files.dir.file("missing/Translated.lng");
    failed = prepareWorkList({files.english, nowhere}, files.settings, backups);
    EXPECT_THAT(failed.status.error, HasSubstr("cannot be written"));
    EXPECT_EQ(snapshot(files.dir), before);

    // The settings file named as either language file: saving one would overwrite the other.
    failed = prepareWorkList({files.english, files.dir.file("./Parlavo.ini")}, files.settings, backups);
    EXPECT_THAT(failed.status.error, HasSubstr("settings file"));
    EXPECT_EQ(snapshot(files.dir), before);

    // The settings file named as the backup; an English file without keys.
    failed =
        prepareWorkList({files.english, files.dir.file("P.ini")}, files.dir.file("P.inibackup"), backups);
    EXPECT_THAT(failed.status.error, HasSubstr("settings file"));
    files.dir.write("NoKeys.lng", "");
    failed = prepareWorkList({files.dir.file("NoKeys.lng"), files.translated}, files.settings, backups);
    EXPECT_EQ(failed.status.error, "The English file has no keys.");
    fs::remove(files.dir.file("NoKeys.lng"));
    EXPECT_EQ(snapshot(files.dir), before);

    // An English file that vanished after the checks is an error, not an empty file.
    failed = prepareWorkList({files.dir.file("gone.lng"), files.translated}, files.settings, backups);
    EXPECT_FALSE(failed.status.ok());
    EXPECT_EQ(snapshot(files.dir), before);
}

// No load may lose the last copy of a translation: a mass drop needs consent, a backup with more
// translations is kept aside, and a link in the backup's place is replaced, not written through.
TEST(PrepareWorkList, TranslationsSurviveMassDropsBackupsAndLinks) {
    Files files;
    const std::string rich =
        "[Menu]\r\na=1a\r\nb=2b\r\nc=3c\r\nd=4d\r\ne=5e\r\nOpen=Ouvrir\r\nSave=Sauver\r\n";
    files.dir.write("Translated.lng", rich);
    files.dir.write("Other.lng", "other");
    fs::create_symlink(files.dir.file("Other.lng"), files.dir.file("Translated.lngbackup"));
    const auto before = snapshot(files.dir);
    BackupRecord backups;
    LoadResult refused = prepareWorkList({files.english, files.translated}, files.settings, backups);
    EXPECT_TRUE(refused.declined);
    EXPECT_EQ(snapshot(files.dir), before);
    std::string asked;
    const LoadOptions consent{.confirmDrop = [&](const WorkList& work) {
        asked = dropQuestion(work, files.translated);
        return true;
    }};
    ASSERT_TRUE(
        prepareWorkList({files.english, files.translated}, files.settings, backups, consent).status.ok());
    EXPECT_EQ(asked, "This will remove 5 of 7 translations from Translated.lng. Continue?");
    EXPECT_EQ(files.dir.read("Other.lng"), "other");
    EXPECT_EQ(files.dir.read("Translated.lngbackup"), rich);

    BackupRecord nextRun;
    ASSERT_TRUE(prepareWorkList({files.english, files.translated}, files.settings, nextRun).status.ok());
    EXPECT_EQ(files.dir.read("Translated.lngbackup.1"), rich);
    EXPECT_EQ(files.dir.read("Translated.lngbackup"), files.dir.read("Translated.lng"));

    // A Translated file that is a link: the backup holds the old bytes of the file it names, and is no
    // link itself; the rewrite goes to that file, and the link stays.
    fs::rename(files.translated, files.dir.file("Real.lng"));
    files.dir.write("Real.lng", rich);
    fs::create_symlink(files.dir.file("Real.lng"), files.translated);
    BackupRecord linkedRun;
    ASSERT_TRUE(
        prepareWorkList({files.english, files.translated}, files.settings, linkedRun, consent).status.ok());
    EXPECT_FALSE(fs::is_symlink(files.dir.file("Translated.lngbackup")));
    EXPECT_EQ(files.dir.read("Translated.lngbackup"), rich);
    EXPECT_TRUE(fs::is_symlink(files.translated));
    EXPECT_NE(files.dir.read("Real.lng"), rich);
}

} // namespace
} // namespace parlavo
