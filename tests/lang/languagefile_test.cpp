#include "lang/languagefile.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace parlavo {
namespace {

const std::string kCorpus = std::string(PARLAVO_TEST_DATA_DIR) + "/corpus/";

TEST(LanguageFile, CrLfFileIsSplitOnlyAtCrLf) {
    const LanguageFile file = parseLanguageFile("a=1\r\nb=x\ry\r\nc=p\nq\r\n");
    ASSERT_EQ(file.lines.size(), 4u);
    EXPECT_EQ(file.lineEnd, "\r\n");
    EXPECT_EQ(file.keyCount, 3);
    EXPECT_EQ(file.lines[1].value, "x\ry");  // a lone CR stays in the text
    EXPECT_EQ(file.lines[2].text, "c=p\nq"); // so does a lone LF in a file with CR LF
    EXPECT_EQ(file.lines[3].text, "");
}

TEST(LanguageFile, FileWithoutCrLfIsSplitAtEachLf) {
    const LanguageFile file = parseLanguageFile("[A]\nk=v\r\n");
    EXPECT_EQ(file.lineEnd, "\r\n"); // one CR LF anywhere makes it a CR LF file

    const LanguageFile lf = parseLanguageFile("[A]\nk=v\rw\n\nj=2\n");
    ASSERT_EQ(lf.lines.size(), 5u);
    EXPECT_EQ(lf.lineEnd, "\n");
    EXPECT_EQ(lf.lines[1].section, "A");
    EXPECT_EQ(lf.lines[1].value, "v\rw");
    EXPECT_EQ(lf.lines[3].key, "j");
    EXPECT_EQ(lf.lines[4].text, "");
    EXPECT_EQ(lf.keyCount, 2);
}

TEST(LanguageFile, KeyAndValueLoseOnlySpaces) {
    const LanguageFile file = parseLanguageFile("  key  =  a value  \r\n\tTab=x\t\r\nk=a=b\r\n = v\r\n;c=1");
    EXPECT_EQ(file.lines[0].key, "key");
    EXPECT_EQ(file.lines[0].value, "a value");
    EXPECT_EQ(file.lines[0].text, "  key  =  a value  ");
    EXPECT_EQ(file.lines[1].key, "\tTab");
    EXPECT_EQ(file.lines[1].value, "x\t");
    EXPECT_EQ(file.lines[2].key, "k");
    EXPECT_EQ(file.lines[2].value, "a=b");
    EXPECT_TRUE(file.lines[3].isKeyLine); // a key line with an empty key still counts
    EXPECT_EQ(file.lines[3].key, "");
    EXPECT_EQ(file.lines[4].key, ";c"); // no comment syntax
    EXPECT_EQ(file.keyCount, 5);
}

TEST(LanguageFile, HeadersNeedBracketsAtBothEnds) {
    const LanguageFile file =
        parseLanguageFile("top=1\r\n[Dialogs]\r\na=1\r\n[dialogs]\r\nb=2\r\n[A] \r\nc=3\r\n"
                          " [B]\r\nd=4\r\n[open\r\ne=5\r\n[\r\n[x=y]\r\nf=6\r\n[]\r\ng=7");
    auto keyLine = [&](const std::string& key) {
        for (const LanguageLine& line : file.lines) {
            if (line.key == key) {
                return line;
            }
        }
        return LanguageLine{};
    };
    EXPECT_EQ(keyLine("top").section, "");
    EXPECT_EQ(keyLine("a").section, "Dialogs");
    EXPECT_EQ(keyLine("b").section, "dialogs");
    EXPECT_EQ(keyLine("c").section, "dialogs"); // "[A] " is no header
    EXPECT_EQ(keyLine("d").section, "dialogs"); // nor is " [B]"
    EXPECT_EQ(keyLine("e").section, "dialogs"); // nor "[open"
    EXPECT_EQ(keyLine("f").section, "x=y");
    EXPECT_EQ(keyLine("g").section, "");
    EXPECT_FALSE(file.lines[11].isKeyLine); // "[" alone
    EXPECT_EQ(file.keyCount, 8);
}

TEST(LanguageFile, ByteOrderMarkIsSkippedOnlyAtTheStart) {
    const std::string bom = "\xEF\xBB\xBF";
    const LanguageFile header = parseLanguageFile(bom + "[Text]\nk=v\n");
    EXPECT_EQ(header.lines[0].text, bom + "[Text]");
    EXPECT_FALSE(header.lines[0].isKeyLine);
    EXPECT_EQ(header.lines[1].section, "Text");

    const LanguageFile key = parseLanguageFile(bom + " k = v\r\n");
    EXPECT_EQ(key.lines[0].key, "k");
    EXPECT_EQ(key.lines[0].text, bom + " k = v");

    const LanguageFile later = parseLanguageFile("[A]\r\n" + bom + "[B]\r\nk=v");
    EXPECT_EQ(later.lines[2].section, "A");
    EXPECT_TRUE(startsWithByteOrderMark(bom));
    EXPECT_FALSE(startsWithByteOrderMark("\xEF\xBB"));
}

TEST(LanguageFile, MissingFileReadsAsAnEmptyOneAndIsNotCreated) {
    test::TempDir dir;
    const std::string path = dir.file("Missing.lng");
    const LanguageFile file = loadLanguageFile(path); // as an empty file: one empty other line
    ASSERT_EQ(file.lines.size(), 1u);
    EXPECT_EQ(file.lines[0].text, "");
    EXPECT_FALSE(file.lines[0].isKeyLine);
    EXPECT_EQ(file.keyCount, 0);
    EXPECT_EQ(file.lineEnd, "\r\n");
    EXPECT_FALSE(std::filesystem::exists(path));

    const LanguageFile folder = loadLanguageFile(dir.path().string());
    EXPECT_EQ(folder.lines.size(), 1u);
}

// Line counts as an editor shows them, plus the empty line after the final line end.
TEST(LanguageFile, CorpusFilesSplitByTheirOwnLineEnds) {
    struct Case {
        const char* name;
        std::size_t lines;
        const char* lineEnd;
    };
    const Case cases[] = {{"innosetup/English-7.1.0.lng", 439, "\r\n"},
                          {"innosetup/French-6.0.5.lng", 384, "\r\n"},
                          {"usdx/English-2026.8.1.lng", 2493, "\n"},
                          {"rozeta/Chinese_Simplified-3.0.lng", 305, "\r\n"},
                          {"mwsnap/English-3.0.0.74.lng", 459, "\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LanguageFile file = loadLanguageFile(kCorpus + c.name);
        EXPECT_EQ(file.lines.size(), c.lines);
        EXPECT_EQ(file.lineEnd, c.lineEnd);
    }
    const LanguageFile mwsnap = loadLanguageFile(kCorpus + "mwsnap/English-3.0.0.74.lng");
    EXPECT_EQ(mwsnap.lines[334].section, "Misc");
    EXPECT_EQ(mwsnap.lines[334].key, "rsPrintPrepare");
    EXPECT_EQ(mwsnap.lines[334].value, "Preparing file for printing...");
    const LanguageFile usdx = loadLanguageFile(kCorpus + "usdx/English-2026.8.1.lng");
    EXPECT_EQ(usdx.lines[761].key, "SING_ERROR_DUET_MODE_PARTY");
    EXPECT_EQ(usdx.lines[761].value, "Duet! Not playable in Party Mode!");
}

} // namespace
} // namespace parlavo
