#include "lang/inikeytable.h"
#include "lang/keyindex.h"
#include "lang/profile.h"

#include <gtest/gtest.h>

#include <string>

namespace parlavo {
namespace {

TEST(KeyLineIndex, HintNeverReturnsALaterDuplicate) {
    const LanguageFile file = parseLanguageFile("[S]\nk=1\nj=2\nk=3\n[T]\nk=4\n");
    const KeyLineIndex index(file);
    // Line 3 ("k=3") is where the hint points, but line 1 is the first "k" of section S.
    EXPECT_EQ(index.findFrom(3, "S", "k"), 1u);
    EXPECT_EQ(index.findFrom(2, "S", "j"), 2u);
    // Past a header and in range or not, the result is the one find gives.
    EXPECT_EQ(index.findFrom(4, "T", "k"), 5u);
    EXPECT_EQ(index.findFrom(99, "T", "k"), 5u);
    EXPECT_EQ(index.findFrom(1, "S", "K"), std::nullopt);
    EXPECT_EQ(index.findFrom(5, "s", "k"), std::nullopt);
    EXPECT_EQ(index.find("T", "j"), std::nullopt);
}

TEST(KeyLineIndex, PairsThatJoinToTheSameTextStayApart) {
    const LanguageFile file = parseLanguageFile("[ab]\nc=1\n[a]\nbc=2\n");
    const KeyLineIndex index(file);
    EXPECT_EQ(index.find("ab", "c"), 1u);
    EXPECT_EQ(index.find("a", "bc"), 3u);
    EXPECT_EQ(index.find("a", "c"), std::nullopt);
}

TEST(CaseBlindNames, OnlyAsciiLettersFoldAtEveryPositionOfAWord) {
    // Lengths around the eight-byte words the hash reads.
    for (const std::string name : {"a", "Abcdefg", "ABCDEFGH", "abcdefghI", "Seventeen letters"}) {
        std::string lower = name;
        for (char& c : lower) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        EXPECT_TRUE(caseBlindEqual(name, lower)) << name;
        EXPECT_EQ(caseBlindHash(name), caseBlindHash(lower)) << name;
    }
    // "@" and "[" sit next to the letters; bytes above 0x7F are never folded.
    EXPECT_FALSE(caseBlindEqual("@[", "`{"));
    EXPECT_FALSE(caseBlindEqual("\xC1", "\xE1"));
    EXPECT_FALSE(caseBlindEqual("abcdefgh1", "abcdefgh2"));
    EXPECT_FALSE(caseBlindEqual("abc", "abcd"));
}

TEST(IniDocument, KeysDifferingInCaseKeepTheirOrderWhileTheIndexGrows) {
    IniDocument document = IniDocument::parse("[S]\nKey=first\n[T]\nkey=other\n");
    for (int i = 0; i < 5000; ++i) {
        document.setExact("S", std::string("k").append(std::to_string(i)), std::to_string(i));
        if (i % 1000 == 0) {
            document.setExact("s", "KEY", std::string("upper").append(std::to_string(i)));
            document.setExact("S", "kEy", std::string("mixed").append(std::to_string(i)));
        }
    }
    // The case-blind read still gives the first line; exact reads give each spelling its own line.
    EXPECT_EQ(document.find("s", "key"), "first");
    EXPECT_EQ(document.findExact("S", "KEY"), "upper4000");
    EXPECT_EQ(document.findExact("S", "kEy"), "mixed4000");
    EXPECT_EQ(document.findExact("S", "key"), std::nullopt);
    EXPECT_EQ(document.findExact("S", "k4999"), "4999");
    EXPECT_EQ(document.find("T", "KEY"), "other");
    const std::string text = document.serialize();
    EXPECT_TRUE(text.starts_with("[S]\nKey=first\nk0=0\nKEY=upper4000\nkEy=mixed4000\nk1=1\n"))
        << text.substr(0, 80);
    EXPECT_TRUE(text.ends_with("k4999=4999\n[T]\nkey=other\n"));
    // Parsed again, the file reads the same.
    const IniDocument again = IniDocument::parse(text);
    EXPECT_EQ(again.findExact("S", "kEy"), "mixed4000");
    EXPECT_EQ(again.find("S", "K2500"), "2500");
}

} // namespace
} // namespace parlavo
