// The settings file: the profile functions that read and write it, and the settings the program
// keeps in it. Reading and writing names and values are golden cases (tests/data/ini).
#include "lang/profile.h"
#include "lang/settings.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <tuple>

namespace parlavo {
namespace {

using test::TempDir;
using test::withCurrentDirectory;

TEST(ReadNumber, ReadsTheProgramsNumberForms) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {" \t\n42", 42},
        {"\r42", 0}, // only blanks, tabs and line feeds are skipped
        {"-15", -15},
        {"12abc", 12},
        {"- 3", 0},
        {"2.5", 2},
        {"3.5", 4},
        {"2.50001", 3},
        {".51", 1},
        {"&HFF", 255},
        {"&H00C8D0D4", 13160660},
        {"&O17", 15},
        {"&B101", 5},
        {"&X1", 0},
        {"2147483648", 2147483647},
        {"-2147483649", std::numeric_limits<std::int32_t>::min()},
        {"&HFFFFFFFFFF", 2147483647},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readNumber(c.text), c.value) << "text: \"" << c.text << "\"";
    }
}

TEST(Settings, FollowTheCurrentDirectory) {
    TempDir first;
    TempDir second;
    {
        withCurrentDirectory inFirst(first.path());
        EXPECT_EQ(settingsPath(), std::filesystem::current_path().string() + "/Parlavo.ini");
        EXPECT_EQ(readSetting("x"), "");
        ASSERT_TRUE(writeSetting("x", "120").ok());
        ASSERT_TRUE(writeSetting("InputFile", "/tmp/a b/English.lng").ok());
        EXPECT_EQ(readSetting("X"), "120");
        std::filesystem::current_path(second.path());
        EXPECT_EQ(readSetting("x"), "");
        ASSERT_TRUE(writeSetting("y", "7").ok());
    }
    EXPECT_EQ(first.read("Parlavo.ini"), "[Settings]\r\nx=120\r\nInputFile=/tmp/a b/English.lng\r\n");
    EXPECT_EQ(second.read("Parlavo.ini"), "[Settings]\r\ny=7\r\n");
}

TEST(DisplaySettings, StoredValuesWinAndUnusableOnesFallBackToTheDefaults) {
    const struct {
        const char* file; // nullptr: no settings file (an empty one)
        DisplaySettings expected;
    } cases[] = {
        {nullptr, {"Arial", 8, 0u, 65535u, 13160660u}},
        {"[settings]\nfont = Courier New \nSize=10.5\nColor=&HFF\nHighlightColor=0\nBGColor=-1\n",
         {"Courier New", 10, 255u, 65535u, 0xFFFFFFFFu}}, // a stored highlight of 0 cannot be kept
        {"[Settings]\r\nFont=\r\nSize=abc\r\nColor=0\r\nBGColor=0\r\n", {"Arial", 8, 0u, 65535u, 13160660u}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "no file");
        const DisplaySettings s = loadDisplaySettings(IniDocument::parse(c.file ? c.file : ""));
        const DisplaySettings& e = c.expected;
        EXPECT_EQ(std::tie(s.Font, s.Size, s.Color, s.HighlightColor, s.BGColor),
                  std::tie(e.Font, e.Size, e.Color, e.HighlightColor, e.BGColor));
    }
}

TEST(DefaultLanguagePaths, OnlyFoldersEndingInLangOrPlugins) {
    const auto lang = defaultLanguagePaths("/opt/Kestrova/lang");
    ASSERT_TRUE(lang);
    EXPECT_EQ(lang->english, "/opt/Kestrova/lang/English.lng");
    EXPECT_EQ(lang->translated, "/opt/Kestrova/lang/Translated.lng");
    const auto plugins = defaultLanguagePaths("/opt/Kestrova/plugins");
    ASSERT_TRUE(plugins);
    EXPECT_EQ(plugins->english, "/opt/Kestrova/plugins/Plugins_English.lng");
    EXPECT_EQ(plugins->translated, "/opt/Kestrova/plugins/Plugins_Translated.lng");
    EXPECT_FALSE(defaultLanguagePaths("/opt/Kestrova/Lang"));
    EXPECT_FALSE(defaultLanguagePaths("/opt/Kestrova"));
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
    // Nothing changed since (writing the same value again is no change): a file changed meanwhile by
    // someone else is left alone.
    folder.write("new.ini", "other");
    file->document().set("s", "K", "v");
    EXPECT_TRUE(file->save().ok());
    EXPECT_EQ(folder.read("new.ini"), "other");
}

} // namespace
} // namespace parlavo
