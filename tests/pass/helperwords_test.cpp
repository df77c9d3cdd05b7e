#include "pass/helperwords.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace parlavo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<PendingEntry> pendingWith(std::initializer_list<std::string> sources) {
    std::vector<PendingEntry> pending;
    int line = 1;
    for (const std::string& source : sources) {
        pending.push_back({line, "Text", "Key" + std::to_string(line), source});
        ++line;
    }
    return pending;
}

// The key lines of section "Helper Words" in file order.
std::vector<std::string> helperLines(const IniDocument& settings) {
    std::istringstream text(settings.serialize());
    std::vector<std::string> lines;
    bool inSection = false;
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[Helper Words]";
        } else if (inSection && !line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

const std::string kNoteLine = "Attention=" + std::string(kHelperWordsNote);

TEST(HelperWords, NothingPendingWritesOnlyTheNote) {
    IniDocument settings;
    EXPECT_THAT(collectHelperWords({}, settings), IsEmpty());
    EXPECT_THAT(helperLines(settings), ElementsAre(kNoteLine));
}

TEST(HelperWords, WordsOfThreeOccurrencesAreListedMostFrequentFirst) {
    IniDocument settings;
    auto pending = pendingWith({"Open file", "Open folder", "Open window", "Save (all)", "Save this.",
                                "Save that!", "Save: more", "Close window", "Close file"});
    // Save 4, Open 3; file, window and Close occur fewer than 3 times; 'all' is too short.
    EXPECT_THAT(collectHelperWords(pending, settings), ElementsAre("Save", "Open"));
    EXPECT_THAT(helperLines(settings), ElementsAre(kNoteLine, "Save=", "Open="));
}

TEST(HelperWords, EqualCountsKeepTheOrderOfFirstAppearance) {
    IniDocument settings;
    auto pending = pendingWith({"Zeta Alpha Mid", "Mid Zeta Alpha", "Alpha Mid Zeta"});
    EXPECT_THAT(collectHelperWords(pending, settings), ElementsAre("Zeta", "Alpha"));
}

TEST(HelperWords, ASourcePendingUnderSeveralKeysCountsOnce) {
    IniDocument settings;
    auto pending = pendingWith({"Close window", "Close window", "Close window", "Close door", "Close lid"});
    // 'Close' occurs in three distinct texts, 'window' in one.
    EXPECT_THAT(collectHelperWords(pending, settings), ElementsAre("Close"));
}

TEST(HelperWords, PlaceholdersNumbersAndShortWordsAreNeverListed) {
    IniDocument settings;
    auto pending =
        pendingWith({"%1 %tab %file 1234 all %%ab Text one", "%1 %tab %file 1234 all %%ab Text two",
                     "%1 %tab %file 1234 all %%ab Text six", "no  double"});
    EXPECT_THAT(collectHelperWords(pending, settings), ElementsAre("Text"));
}

TEST(HelperWords, PunctuationIsRemovedAndJoinsWhatStoodAroundIt) {
    IniDocument settings;
    auto pending = pendingWith({"end.Start now", "(end)Start here", "[end]Start there!", "end, start"});
    EXPECT_THAT(collectHelperWords(pending, settings), ElementsAre("endStart"));
}

TEST(HelperWords, TranslationsSurviveAndListedWordsKeepTheirPlace) {
    IniDocument settings = IniDocument::parse("[Settings]\r\nx=1\r\n[Helper Words]\r\nAttention=old note\r\n"
                                              "Window=\r\nOpen=Ouvrir\r\n[Other]\r\nk=v\r\n");
    auto pending = pendingWith({"Open Window Save", "Open Window Save.", "Open Window Save!"});
    // The three sources differ only in punctuation, so every word occurs three times.
    EXPECT_THAT(collectHelperWords(pending, settings), ElementsAre("Open", "Window", "Save"));
    EXPECT_THAT(helperLines(settings), ElementsAre(kNoteLine, "Window=", "Open=Ouvrir", "Save="));
    EXPECT_EQ(settings.get("Other", "k"), "v");
}

TEST(HelperWords, WordsDifferingOnlyInCaseShareTheKeyOfTheFirst) {
    IniDocument settings;
    auto pending = pendingWith({"File one", "File two", "File six", "file one", "file two", "file six"});
    EXPECT_THAT(collectHelperWords(pending, settings), ElementsAre("File", "file"));
    EXPECT_THAT(helperLines(settings), ElementsAre(kNoteLine, "File="));
}

IniDocument helpers(std::string_view lines) {
    return IniDocument::parse("[Helper Words]\r\nAttention=" + std::string(kHelperWordsNote) + "\r\n" +
                              std::string(lines));
}

TEST(HelperWordPrefill, PunctuationIsIgnoredForTheLookupAndKeptInTheText) {
    IniDocument settings = helpers("file=fichier\r\nSave=\r\n");
    EXPECT_EQ(applyHelperWords("Save (file).", settings), "Save (fichier).");
    EXPECT_EQ(applyHelperWords("No helper here", settings), "No helper here");
}

TEST(HelperWordPrefill, ReplacesSubstringsCaseSensitivelyAfterACaseBlindLookup) {
    IniDocument settings = helpers("File=Datei\r\n");
    EXPECT_EQ(applyHelperWords("File and Files", settings), "Datei and Dateis");
    // The field 'file' finds the key 'File' but replaces only the lower-case text; 'Files' is
    // looked up as a whole and has no translation.
    EXPECT_EQ(applyHelperWords("file Files", settings), "Datei Files");
}

TEST(HelperWordPrefill, InsertedValuesMeetTheLaterFieldsAndAreNotRescanned) {
    IniDocument settings = helpers("Open=Abrir Window\r\nWindow=Ventana\r\nItem=ItemItem\r\n");
    EXPECT_EQ(applyHelperWords("Open Window", settings), "Abrir Ventana Ventana");
    // Each occurrence of the field is replaced once per field; the scan resumes after the value.
    EXPECT_EQ(applyHelperWords("Item Item", settings), "ItemItemItemItem ItemItemItemItem");
}

TEST(HelperWordPrefill, EmptyFieldsAndTheNoteReplaceNothing) {
    IniDocument settings = helpers("Save=Sichern\r\n");
    EXPECT_EQ(applyHelperWords("Save  now ", settings), "Sichern  now ");
    EXPECT_EQ(applyHelperWords("Attention: Save", settings), "Attention: Sichern");
    EXPECT_EQ(applyHelperWords("", settings), "");
}

} // namespace
} // namespace parlavo
