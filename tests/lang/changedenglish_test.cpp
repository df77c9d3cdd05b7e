#include "lang/changedenglish.h"

#include "lang/answermemory.h"
#include "lang/selection.h"

#include <gtest/gtest.h>

namespace parlavo {
namespace {

std::string corpus(const char* name) {
    return std::string(PARLAVO_TEST_DATA_DIR) + "/corpus/innosetup/" + name;
}

// The German translation of 5.5.9 beside the English file of 7.1.0, with a memory that saw older
// English texts; also with more remembered texts answering translations than the English file has
// keys (which are then matched the other way round, from where they do), before or after the rest.
TEST(ChangedEnglish, ATranslationRememberedOnlyForAVanishedEnglishTextMakesItsEntryPending) {
    const struct {
        int vanished;
        bool first;
    } cases[] = {{0, true}, {400, true}, {400, false}};
    for (const auto& [vanished, first] : cases) {
        SCOPED_TRACE(std::to_string(vanished) + (first ? " first" : " last"));
        IniDocument settings;
        auto rememberVanished = [&] {
            for (int i = 0; i < vanished; ++i) {
                rememberAnswer(settings, "Gone text " + std::to_string(i), "&Nein");
            }
        };
        if (first) {
            rememberVanished();
        }
        rememberAnswer(settings, "Exit Setup Wizard", "Setup verlassen"); // changed to "Exit Setup"
        rememberAnswer(settings, "&Install now", "&Installieren");        // changed, but "&Install" ...
        rememberAnswer(settings, "&Install", "&Installieren");            // ... has its own answer
        rememberAnswer(settings, "Abort", "&Nein");                       // "&Nein" is also the answer
        rememberAnswer(settings, "&Yes", "&Nein");                        // of a text still in the file
        if (!first) {
            rememberVanished();
        }
        WorkList work;
        work.english = loadLanguageFile(corpus("English-7.1.0.lng"));
        work.translated = loadLanguageFile(corpus("German-5.5.9.lng"));
        if (vanished > 0) {
            ASSERT_LT(work.english.keyCount, vanished); // the texts outnumber the English keys
        }
        selectPendingEntries(work, settings);

        std::vector<std::string> changed;
        for (const PendingEntry& entry : work.pending) {
            if (const std::string_view old = oldSourceOf(work, entry.line); !old.empty()) {
                changed.push_back(std::string(entry.key()) + ": " + markChangedWords(old, entry.source()));
            }
        }
        EXPECT_EQ(changed, std::vector<std::string>{"ExitSetupTitle: Exit Setup *Wizard*"});
        // The translation stays in the rewrite, to be kept with one Enter.
        EXPECT_NE(work.output.find("\nExitSetupTitle=Setup verlassen\r\n"), std::string::npos);

        settings.set("Settings", "ChangedEnglish", "0");
        selectPendingEntries(work, settings);
        EXPECT_TRUE(work.changedSources.empty());
    }
    EXPECT_EQ(markChangedWords("Open the old file now", "Open a file"), "Open *the* *old* file *now*");
}

} // namespace
} // namespace parlavo
