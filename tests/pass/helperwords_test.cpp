#include "pass/helperwords.h"

#include <gtest/gtest.h>

namespace parlavo {
namespace {

// Entries viewing sources, which must outlive them.
std::vector<PendingEntry> pendingWith(const std::vector<std::string>& sources) {
    std::vector<PendingEntry> pending;
    for (const std::string& source : sources) {
        const int line = static_cast<int>(pending.size()) + 1;
        pending.emplace_back(line, "Text", "Key", source);
    }
    return pending;
}

const std::string kNoteLine = "Attention=" + std::string(kHelperWordsNote) + "\r\n";

TEST(HelperWords, WordsInThreeSourcesAreListedMostFrequentFirstUnderTheNote) {
    const struct {
        const char* name;
        std::vector<std::string> sources;
        std::vector<std::string> words;
    } cases[] = {
        {"nothing pending", {}, {}},
        // Save 4, Open 3; file, window and Close occur fewer than 3 times; 'all' is too short.
        {"frequency",
         {"Open file", "Open folder", "Open window", "Save (all)", "Save this.", "Save that!", "Save: more",
          "Close window", "Close file"},
         {"Save", "Open"}},
        {"equal counts keep first appearance",
         {"Zeta Alpha Mid", "Mid Zeta Alpha", "Alpha Mid Zeta"},
         {"Zeta", "Alpha"}},
        {"a source under several keys counts once",
         {"Close window", "Close window", "Close window", "Close door", "Close lid"},
         {"Close"}},
        {"placeholders, numbers and short words",
         {"%1 %tab %file 1234 all %%ab Text one", "%1 %tab %file 1234 all %%ab Text two",
          "%1 %tab %file 1234 all %%ab Text six", "no  double"},
         {"Text"}},
        {"punctuation joins what stood around it",
         {"end.Start now", "(end)Start here", "[end]Start there!", "end, start"},
         {"endStart"}},
        // Words differing only in case are both listed but share the key of the first.
        {"case variants",
         {"File one", "File two", "File six", "file one", "file two", "file six"},
         {"File", "file"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IniDocument settings;
        EXPECT_EQ(collectHelperWords(pendingWith(c.sources), settings), c.words);
        std::string section = "[Helper Words]\r\n" + kNoteLine;
        for (const std::string& word : c.words) {
            section += word == "file" ? "" : word + "=\r\n";
        }
        EXPECT_EQ(settings.serialize(), section);
    }
}

TEST(HelperWords, TranslationsSurviveAndListedWordsKeepTheirPlace) {
    IniDocument settings = IniDocument::parse("[Settings]\r\nx=1\r\n[Helper Words]\r\nAttention=old note\r\n"
                                              "Window=\r\nOpen=Ouvrir\r\n[Other]\r\nk=v\r\n");
    const std::vector<std::string> sources = {"Open Window Save", "Open Window Save.", "Open Window Save!"};
    auto pending = pendingWith(sources);
    // The three sources differ only in punctuation, so every word occurs three times.
    EXPECT_EQ(collectHelperWords(pending, settings), (std::vector<std::string>{"Open", "Window", "Save"}));
    EXPECT_EQ(settings.serialize(), "[Settings]\r\nx=1\r\n[Helper Words]\r\n" + kNoteLine +
                                        "Window=\r\nOpen=Ouvrir\r\nSave=\r\n[Other]\r\nk=v\r\n");

    // Words a plain key line cannot hold are written escaped: a second listing changes nothing.
    const std::vector<std::string> hostile = {"key=value ;semi \tTab", "key=value ;semi \tTab.",
                                              "key=value ;semi \tTab!"};
    pending = pendingWith(hostile);
    collectHelperWords(pending, settings);
    const std::string once = settings.serialize();
    IniDocument again = IniDocument::parse(once);
    collectHelperWords(pending, again);
    EXPECT_EQ(again.serialize(), once);
    again.set("Helper Words", "%esc:key%3Dvalue", "clé=valeur");
    EXPECT_EQ(applyHelperWords("a key=value", again), "a clé=valeur");
}

TEST(HelperWordPrefill, ReplacesEachFieldsSubstringsAfterACaseBlindPunctuationFreeLookup) {
    const struct {
        const char* helpers;
        const char* source;
        const char* filled;
    } cases[] = {
        {"file=fichier\r\nSave=\r\n", "Save (file).", "Save (fichier)."},
        {"File=Datei\r\n", "File and Files", "Datei and Dateis"},
        // The field 'file' finds the key 'File' but replaces only the lower-case text; 'Files' is
        // looked up as a whole and has no translation.
        {"File=Datei\r\n", "file Files", "Datei Files"},
        // Inserted values meet the later fields and are not rescanned for the same field.
        {"Open=Abrir Window\r\nWindow=Ventana\r\n", "Open Window", "Abrir Ventana Ventana"},
        {"Item=ItemItem\r\n", "Item Item", "ItemItemItemItem ItemItemItemItem"},
        // Empty fields and the note replace nothing.
        {"Save=Sichern\r\n", "Save  now ", "Sichern  now "},
        {"Save=Sichern\r\n", "Attention: Save", "Attention: Sichern"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const IniDocument settings = IniDocument::parse("[Helper Words]\r\n" + kNoteLine + c.helpers);
        EXPECT_EQ(applyHelperWords(c.source, settings), c.filled);
    }
}

} // namespace
} // namespace parlavo
