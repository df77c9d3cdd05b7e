#include "lang/suggestions.h"

#include "lang/answermemory.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace parlavo {
namespace {

TEST(Suggestions, MostSimilarEnglishTextsComeFirstWithTheirPercentageAndTheSameTextNever) {
    IniDocument settings;
    for (const auto& [source, answer] :
         std::vector<std::pair<const char*, const char*>>{{"Open the file", "Datei öffnen"},
                                                          {"Open the folder", "Ordner öffnen"},
                                                          {"Open the file now", "Datei jetzt öffnen"},
                                                          {"Save the file", "Datei speichern"},
                                                          {"Cancel", "Abbrechen"},
                                                          {"Opening the files", "Dateien werden geöffnet"},
                                                          {"Close the window ", " Fenster schließen"}}) {
        rememberAnswer(settings, source, answer); // the last two are stored escaped
    }
    ASSERT_TRUE(isEscapedMemoryText(encodeMemoryKey("Close the window ")));
    ASSERT_TRUE(isEscapedMemoryText(encodeMemoryValue(" Fenster schließen")));
    // Built from the entries, and from the settings file (its texts in place, escaped ones decoded).
    const SuggestionIndex fromEntries(memoryEntries(settings));
    const SuggestionIndex fromFile(IniDocument::parse(settings.serialize()));
    struct Case {
        const char* source;
        std::vector<std::string> expected; // "answer percent"
    };
    const Case cases[] = {
        // 13 trigrams of " open the file " in the 17 of " open the file now ": 2 * 13 / 30.
        {"Open the file", {"Datei jetzt öffnen 86", "Dateien werden geöffnet 66", "Ordner öffnen 64"}},
        {"OPEN THE FILES", {"Datei öffnen 88", "Datei jetzt öffnen 77", "Dateien werden geöffnet 77"}},
        {"Cancelled", {"Abbrechen 66"}},
        {"Something else entirely", {}},
        {"Close the window", {" Fenster schließen 96"}},
    };
    for (const SuggestionIndex* index : {&fromEntries, &fromFile}) {
        for (const Case& c : cases) {
            std::vector<std::string> got;
            for (const Suggestion& suggestion : index->suggest(c.source)) {
                got.push_back(suggestion.answer + " " + std::to_string(suggestion.percent));
            }
            EXPECT_EQ(got, c.expected) << c.source << (index == &fromFile ? " (from the file)" : "");
        }
    }
}

// Only the entries sharing the most trigrams get an exact score: a close text last in a large memory
// still comes first.
TEST(Suggestions, TheClosestTextOfALargeMemoryIsFound) {
    IniDocument settings;
    for (int i = 0; i < 200; ++i) {
        rememberAnswer(settings, "the box " + std::to_string(1000 + i), "die Kiste");
    }
    rememberAnswer(settings, "Print the whole documents", "Alle Dokumente drucken");
    const SuggestionIndex index(memoryEntries(settings));
    const std::vector<Suggestion> found = index.suggest("Print the whole document");
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.front().answer, "Alle Dokumente drucken");
}

// The window's kept settings hand their bytes to the index while their answer memory reads as those
// bytes do; a memory set since they were parsed is read from the file again instead.
TEST(Suggestions, ShareTheSettingsBytesOnlyWhileTheMemoryReadsAsThem) {
    IniDocument file;
    rememberAnswer(file, "Open the file", "Datei öffnen");
    rememberAnswer(file, "Save the file", "Datei speichern");
    test::TempDir folder;
    const std::string path = folder.write("Parlavo.ini", file.serialize());
    const struct {
        const char* change;
        std::function<void(IniDocument&)> make;
        bool asRead;
    } cases[] = {
        {"none", [](IniDocument&) {}, true},
        {"another section", [](IniDocument& kept) { kept.set("Settings", "Size", "12"); }, true},
        {"a remembered answer again",
         [](IniDocument& kept) { rememberAnswer(kept, "Open the file", "Datei öffnen"); }, true},
        {"a new answer", [](IniDocument& kept) { rememberAnswer(kept, "Open the files", "Dateien öffnen"); },
         false},
        {"the section named in other letters",
         [](IniDocument& kept) { kept.setExact("alreadytranslated", "Open the file", "Öffnen"); }, false},
    };
    for (const auto& c : cases) {
        IniDocument kept = IniDocument::parse(folder.read("Parlavo.ini"));
        c.make(kept);
        EXPECT_EQ(kept.sectionAsRead(kAnswerMemorySection), c.asRead) << c.change;
    }
    // Shared bytes are used as they are: the index has the memory without the file.
    const IniDocument kept = IniDocument::parse(folder.read("Parlavo.ini"));
    const BackgroundSuggestions shared(folder.file("missing.ini"), kept.sharedBytes());
    const BackgroundSuggestions read(path);
    for (const BackgroundSuggestions* suggestions : {&shared, &read}) {
        suggestions->wait();
        const std::vector<Suggestion> found = suggestions->suggest("Open the files");
        ASSERT_EQ(found.size(), 2u);
        EXPECT_EQ(found[0].answer, "Datei öffnen");
    }
}

} // namespace
} // namespace parlavo
