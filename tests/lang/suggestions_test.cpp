#include "lang/suggestions.h"

#include "lang/answermemory.h"

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

} // namespace
} // namespace parlavo
