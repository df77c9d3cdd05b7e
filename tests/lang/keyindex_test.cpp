#include "lang/inikeytable.h"
#include "lang/keyindex.h"
#include "lang/viewtable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Through growth from a small table to a large one, every text added is found with its value, once,
// and texts never added (near misses included, and texts alike in their first and last bytes) are not.
TEST(ViewTable, FindsEveryTextAddedAndNoOther) {
    std::vector<std::string> texts;
    for (int i = 0; i < 5000; ++i) {
        texts.push_back("text " + std::to_string(i * 7919));
        texts.push_back("Open the file " + std::to_string(i * 7919) + " from the list now");
    }
    ViewTable<int> table;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(table.add(texts[i], static_cast<int>(i)), i);
        EXPECT_EQ(table.insert(texts[i], -1), static_cast<int>(i)); // already there: kept
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int* found = table.find(texts[i]);
        ASSERT_NE(found, nullptr) << texts[i];
        EXPECT_EQ(*found, static_cast<int>(i));
        EXPECT_EQ(table.find(texts[i] + " "), nullptr);
        std::string alike = texts[i];
        alike[alike.size() / 2] = '#';
        EXPECT_EQ(table.find(alike), nullptr) << alike;
    }
    EXPECT_EQ(table.find(""), nullptr);

    // Added a few texts ahead, each again soon after or long after: the same texts with the value
    // they were first given, whether the last few wait for the settle or fewer were ever given.
    for (const std::size_t count : {texts.size(), std::size_t{3}}) {
        ViewTable<int> soon;
        for (std::size_t i = 0; i < count; ++i) {
            soon.addSoon(texts[i], static_cast<int>(i));
            soon.addSoon(texts[i / 2], -1);
        }
        soon.settle();
        for (std::size_t i = 0; i < count; ++i) {
            const int* found = soon.find(texts[i]);
            ASSERT_NE(found, nullptr) << texts[i];
            EXPECT_EQ(*found, static_cast<int>(i));
        }
        EXPECT_EQ(soon.find(texts[count]), nullptr);
    }
}

TEST(CaseBlindNames, OnlyAsciiLettersFoldAtEveryPositionOfAWord) {
    // Every length up to past two sixteen-byte steps, and every place in it: the hashes and the
    // comparison read each byte, folding letters only.
    const std::string letters = "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvw";
    for (std::size_t size = 1; size <= 40; ++size) {
        const std::string name = letters.substr(0, size);
        for (std::size_t at = 0; at < size; ++at) {
            std::string upper = name;
            upper[at] = static_cast<char>(upper[at] - 'a' + 'A');
            EXPECT_TRUE(caseBlindEqual(name, upper)) << size << " " << at;
            EXPECT_EQ(caseBlindHash(name), caseBlindHash(upper)) << size << " " << at;
            EXPECT_NE(plainHash(name), plainHash(upper)) << size << " " << at;
            std::string other = name;
            other[at] = '1';
            EXPECT_FALSE(caseBlindEqual(name, other)) << size << " " << at;
            EXPECT_NE(caseBlindHash(name), caseBlindHash(other)) << size << " " << at;
        }
        EXPECT_FALSE(caseBlindEqual(name, name + "a")) << size;
        EXPECT_NE(plainHash(name), plainHash(name + std::string(1, '\0'))) << size;
    }
    // "@" and "[" sit next to the letters; bytes above 0x7F are never folded.
    EXPECT_FALSE(caseBlindEqual("@[", "`{"));
    EXPECT_FALSE(caseBlindEqual("\xC1", "\xE1"));
}

} // namespace
} // namespace parlavo
