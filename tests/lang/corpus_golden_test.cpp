// Real language file pairs against stored expectations: the rewritten Translated file byte for byte
// and the pending list. Run with PARLAVO_REGENERATE_GOLDEN=1 to write the expectations afresh (then
// read the differences before committing them).
#include "lang/answers.h"
#include "lang/selection.h"
#include "platform/files.h"
#include "sync/sync.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace parlavo {
namespace {

const std::string kData = PARLAVO_TEST_DATA_DIR;

struct GoldenCase {
    const char* name;
    const char* english;
    const char* translated;
};

const GoldenCase kCases[] = {
    {"innosetup-german", "innosetup/English-7.1.0.lng", "innosetup/German-5.5.9.lng"},
    {"innosetup-french", "innosetup/English-7.1.0.lng", "innosetup/French-6.0.5.lng"},
    {"usdx-german", "usdx/English-2026.8.1.lng", "usdx/German-2017.8.0.lng"},
    {"rozeta-chinese", "rozeta/English-3.0.lng", "rozeta/Chinese_Simplified-3.0.lng"},
    {"mwsnap-polski", "mwsnap/English-3.0.0.74.lng", "mwsnap/Polski-3.0.0.74.lng"},
};

// One line per entry: LINE, SECTION, KEY and SOURCE separated by tabs.
std::string pendingListText(const std::vector<PendingEntry>& pending) {
    std::string text;
    for (const PendingEntry& e : pending) {
        text += std::to_string(e.line) + "\t" + escapeSyncField(e.section()) + "\t" +
                escapeSyncField(e.key()) + "\t" + escapeSyncField(e.source()) + "\n";
    }
    return text;
}

TEST(CorpusGolden, RewriteAndPendingListMatchTheStoredExpectations) {
    const bool regenerate = std::getenv("PARLAVO_REGENERATE_GOLDEN") != nullptr;
    for (const GoldenCase& c : kCases) {
        SCOPED_TRACE(c.name);
        IniDocument settings;
        WorkList work;
        work.english = loadLanguageFile(kData + "/corpus/" + c.english);
        work.translated = loadLanguageFile(kData + "/corpus/" + c.translated);
        // The rewrite handed on in parts as it is made (usdx's takes two), not kept, as parlavo-sync
        // has it.
        std::string rewritten;
        work.outputSink = [&](std::string_view part) { rewritten += part; };
        work.keepOutput = false;
        selectPendingEntries(work, settings);
        const std::string folder = kData + "/golden/" + c.name;
        const std::string pending = pendingListText(work.pending);
        if (regenerate) {
            ASSERT_TRUE(writeFileAtomically(folder + "/translated.lng", rewritten).ok());
            ASSERT_TRUE(writeFileAtomically(folder + "/pending.txt", pending).ok());
            continue;
        }
        EXPECT_EQ(rewritten, readWholeFile(folder + "/translated.lng").valueOr("<missing>"));
        EXPECT_EQ(pending, readWholeFile(folder + "/pending.txt").valueOr("<missing>"));
        // A second load of the rewritten file finds every answer the first one found, and hands on
        // the same rewrite while it keeps it whole.
        work.translated = parseLanguageFile(rewritten);
        std::string handed;
        work.outputSink = [&](std::string_view part) { handed += part; };
        work.keepOutput = true;
        selectPendingEntries(work, settings);
        EXPECT_EQ(renderTranslatedFile(work), rewritten);
        EXPECT_EQ(handed, rewritten);
        EXPECT_EQ(pendingListText(work.pending), pending);
    }
}

} // namespace
} // namespace parlavo
