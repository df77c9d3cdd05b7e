#include "lang/profile.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace parlavo {
namespace {

using test::TempDir;

TEST(IniDocument, UnchangedDocumentGivesBackEveryByte) {
    const std::string files[] = {
        "",
        "no line end",
        "[A]\r\nk=v\r\n\r\n\r\n",
        "\n\n\r\r\n[A]\rk = v\n;c\r\n",
        std::string("[A]\nk=\0\xFF\x80\n", 10),
        "  [ odd ] x\n=\n==\n[\n]\n",
    };
    for (const std::string& bytes : files) {
        IniDocument document = IniDocument::parse(bytes);
        EXPECT_EQ(document.serialize(), bytes);
        EXPECT_FALSE(document.changed());
    }
}

TEST(IniDocument, ReadingMatchesNamesWithoutCaseAndTrimsValues) {
    const IniDocument document =
        IniDocument::parse("[Settings]\nFont =\t Arial \v\nSize=\n[\xC9t\xC9]\nk=1\n");
    EXPECT_EQ(document.find("SETTINGS", "font"), "Arial");
    EXPECT_EQ(document.find("settings", "SIZE"), "");
    EXPECT_EQ(document.find("Settings", "Color"), std::nullopt);
    EXPECT_EQ(document.get("Settings", "Color"), "");
    EXPECT_EQ(document.find("Missing", "Font"), std::nullopt);
    // Only ASCII letters are folded: other bytes must match as they are.
    EXPECT_EQ(document.find("\xC9t\xC9", "K"), "1");
    EXPECT_EQ(document.find("\xE9t\xE9", "k"), std::nullopt);
}

TEST(IniDocument, ExactKeysTellApartKeysThatDifferInCase) {
    IniDocument document = IniDocument::parse("[M]\nOpen=Ouvrir\nopen=ouvrir\n");
    EXPECT_EQ(document.find("m", "OPEN"), "Ouvrir");
    EXPECT_EQ(document.findExact("m", "open"), "ouvrir");
    EXPECT_EQ(document.findExact("M", "OPEN"), std::nullopt);

    document.setExact("M", "OPEN", "OUVRIR");
    document.setExact("M", "open", "ouvre");
    EXPECT_EQ(document.serialize(), "[M]\nOpen=Ouvrir\nopen=ouvre\nOPEN=OUVRIR\n");
    // A case-insensitive read still finds the first of them.
    EXPECT_EQ(document.find("M", "OPEN"), "Ouvrir");
}

TEST(IniDocument, WritingTheSameValueChangesNothing) {
    IniDocument document = IniDocument::parse("[S]\nk = v\n");
    document.set("S", "K", "v");
    EXPECT_FALSE(document.changed());
    document.set("S", "K", "w");
    EXPECT_TRUE(document.changed());
    document.markSaved();
    EXPECT_FALSE(document.changed());
}

TEST(IniDocument, LineBreaksInWritesNeverAddLines) {
    IniDocument document = IniDocument::parse("[S]\nk=v\n[T]\n");
    document.set("S", "k", "a\r\n[T]\rb");
    document.set("S", "new\nkey", "x\ny");
    EXPECT_EQ(document.serialize(), "[S]\nk=a  [T] b\nnew key=x y\n[T]\n");
}

TEST(IniDocument, ManyNewKeysKeepTheirOrderInTheFirstBlock) {
    IniDocument document =
        IniDocument::parse("[Memory]\r\nfirst=1\r\n\r\n[Next]\r\nz=0\r\n[memory]\r\nlate=2\r\n");
    constexpr int kCount = 100000;
    for (int i = 0; i < kCount; ++i) {
        document.setExact("Memory", "key" + std::to_string(i), std::to_string(i));
    }
    for (int i = 0; i < kCount; i += 997) {
        EXPECT_EQ(document.findExact("MEMORY", "key" + std::to_string(i)), std::to_string(i));
    }
    const std::string text = document.serialize();
    EXPECT_TRUE(text.starts_with("[Memory]\r\nfirst=1\r\nkey0=0\r\nkey1=1\r\nkey2=2\r\n"));
    EXPECT_TRUE(text.ends_with("key99999=99999\r\n\r\n[Next]\r\nz=0\r\n[memory]\r\nlate=2\r\n"));
    const IniDocument again = IniDocument::parse(text);
    EXPECT_EQ(again.find("memory", "KEY54321"), "54321");
    EXPECT_EQ(again.find("memory", "late"), std::nullopt);
}

TEST(IniDocument, ValuesAreNeverCut) {
    IniDocument document;
    const std::string longValue(5000, 'x');
    document.set("S", "k", longValue);
    EXPECT_EQ(IniDocument::parse(document.serialize()).find("S", "k"), longValue);
}

TEST(IniDocument, CopiesAreIndependent) {
    IniDocument original = IniDocument::parse("[S]\nk=1\n");
    IniDocument copy = original;
    copy.set("S", "k", "2");
    copy.set("S", "j", "3");
    EXPECT_EQ(original.serialize(), "[S]\nk=1\n");
    EXPECT_EQ(copy.find("S", "j"), "3");
    original = copy;
    copy.set("S", "k", "4");
    EXPECT_EQ(original.serialize(), "[S]\nk=2\nj=3\n");
    EXPECT_TRUE(original.changed());
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

TEST(ProfileFile, FailuresAreReported) {
    TempDir folder;
    std::filesystem::create_directory(folder.file("folder.ini"));
    const Result<ProfileFile> opened = ProfileFile::open(folder.file("folder.ini"));
    EXPECT_FALSE(opened.ok());
    EXPECT_NE(opened.status.error.find("folder.ini"), std::string::npos) << opened.status.error;
    EXPECT_EQ(readProfileString(folder.file("folder.ini"), "S", "k"), "");
    EXPECT_FALSE(writeProfileString(folder.file("folder.ini"), "S", "k", "v").ok());

    const Status missingFolder = writeProfileString(folder.file("absent/Parlavo.ini"), "S", "k", "v");
    EXPECT_FALSE(missingFolder.ok());
    EXPECT_NE(missingFolder.error.find("absent"), std::string::npos) << missingFolder.error;
    EXPECT_FALSE(std::filesystem::exists(folder.file("absent")));
}

} // namespace
} // namespace parlavo
