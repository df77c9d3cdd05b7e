#include "lang/languagefile.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace parlavo {
namespace {

const std::string kCorpus = std::string(PARLAVO_TEST_DATA_DIR) + "/corpus/";

// A line ends at CR LF, a lone LF and a lone CR, each line keeps its own end, and the file's line end
// is the one used most (CR LF on a tie or without any).
TEST(LanguageFile, LinesEndAtEveryLineBreakAndKeepTheirOwnEnd) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
        std::string lineEnd;
    };
    const Case cases[] = {
        {"a=1\r\nb=x\ry\r\nc=p\nq\r\n", {"a=1", "b=x", "y", "c=p", "q", ""}, "\r\n"},
        {"[S]\nA=Ouvrir\nB=Enregistrer\r\nC=Fermer\n",
         {"[S]", "A=Ouvrir", "B=Enregistrer", "C=Fermer", ""},
         "\n"},
        {"[A]\nk=v\r\n", {"[A]", "k=v", ""}, "\r\n"},
        {"a=1\rb=2\r", {"a=1", "b=2", ""}, "\r"},
        {"\n\r\r\n", {"", "", "", ""}, "\r\n"},
        {"a=1", {"a=1"}, "\r\n"},
    };
    for (const Case& c : cases) {
        const LanguageFile file = parseLanguageFile(c.bytes);
        std::vector<std::string> texts;
        std::string joined;
        for (const LanguageLine& line : file.lines) {
            texts.push_back(line.text);
            joined += line.text + std::string(ini::kLineEnds[line.end]);
        }
        EXPECT_EQ(texts, c.lines) << c.bytes;
        EXPECT_EQ(joined, c.bytes);
        EXPECT_EQ(file.lineEnd, c.lineEnd) << c.bytes;
    }
    EXPECT_EQ(parseLanguageFile("[S]\nA=1\r\nB=2\rC=3").lines[3].section, "S");
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
