#include "lang/profile.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

// Reading and writing names and values are golden cases (tests/data/ini); here, the file itself.
namespace parlavo {
namespace {

using test::TempDir;

TEST(IniDocument, WritingTheSameValueChangesNothing) {
    IniDocument document = IniDocument::parse("[S]\nk = v\n");
    document.set("S", "K", "v");
    EXPECT_FALSE(document.changed());
    document.set("S", "K", "w");
    EXPECT_TRUE(document.changed());
    document.markSaved();
    EXPECT_FALSE(document.changed());
}

TEST(ProfileFile, EachCallOpensTheFileAnew) {
    TempDir folder;
    const std::string path = folder.file("Parlavo.ini");
    EXPECT_EQ(readProfileString(path, "Settings", "x"), "");
    ASSERT_TRUE(writeProfileString(path, "Settings", "x", "10").ok());
    EXPECT_EQ(folder.read("Parlavo.ini"), "[Settings]\r\nx=10\r\n");
    // An edit made by hand between two calls is seen by the next one.
    folder.write("Parlavo.ini", "[settings]\nX = 20\n");
    EXPECT_EQ(readProfileString(path, "Settings", "x"), "20");
    ASSERT_TRUE(writeProfileString(path, "Settings", "y", "5").ok());
    EXPECT_EQ(folder.read("Parlavo.ini"), "[settings]\nX = 20\ny=5\n");
}

TEST(ProfileFile, EveryWrittenValueReadsBackUnchanged) {
    TempDir folder;
    const std::string path = folder.write("Parlavo.ini", "[S]\nk=v\n");
    for (const std::string value : {"path ", " x", "\tx\t", "\"q\"", "'q'", "\"", "a\"", "plain", ""}) {
        ASSERT_TRUE(writeProfileString(path, "S", "k", value).ok());
        ASSERT_TRUE(writeProfileString(path, "S", "new", value).ok());
        EXPECT_EQ(readProfileString(path, "S", "k"), value);
        EXPECT_EQ(readProfileString(path, "S", "new"), value);
    }
}

TEST(ProfileFile, SavesOnlyWhenChanged) {
    TempDir folder;
    Result<ProfileFile> opened = ProfileFile::open(folder.file("new.ini"));
    ASSERT_TRUE(opened.ok());
    ProfileFile* file = &opened.value;
    EXPECT_TRUE(file->save().ok());
    EXPECT_FALSE(std::filesystem::exists(folder.file("new.ini")));
    file->document().set("S", "k", "v");
    EXPECT_TRUE(file->save().ok());
    EXPECT_EQ(folder.read("new.ini"), "[S]\r\nk=v\r\n");
    // Nothing changed since: a file changed meanwhile by someone else is left alone.
    folder.write("new.ini", "other");
    EXPECT_TRUE(file->save().ok());
    EXPECT_EQ(folder.read("new.ini"), "other");
}

} // namespace
} // namespace parlavo
