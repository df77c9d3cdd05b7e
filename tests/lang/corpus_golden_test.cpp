// Real language file pairs against stored expectations: the rewritten Translated file byte for byte
// and the pending list. Run with PARLAVO_REGENERATE_GOLDEN=1 to write the expectations afresh (then
// read the differences before committing them).
#include "lang/answers.h"
#include "lang/selection.h"
#include "platform/files.h"
#include "sync/sync.h"

#include "support/tempdir.h"

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
        text += std::to_string(e.line) + "\t" + escapeSyncField(e.section) + "\t" + escapeSyncField(e.key) +
                "\t" + escapeSyncField(e.source) + "\n";
    }
    return text;
}

WorkList selectCorpusPair(const GoldenCase& c, IniDocument& settings) {
    WorkList work;
    work.english = loadLanguageFile(kData + "/corpus/" + c.english);
    work.translated = loadLanguageFile(kData + "/corpus/" + c.translated);
    selectPendingEntries(work, settings);
    return work;
}

TEST(CorpusGolden, RewriteAndPendingListMatchTheStoredExpectations) {
    const bool regenerate = std::getenv("PARLAVO_REGENERATE_GOLDEN") != nullptr;
    for (const GoldenCase& c : kCases) {
        SCOPED_TRACE(c.name);
        IniDocument settings;
        const WorkList work = selectCorpusPair(c, settings);
        const std::string folder = kData + "/golden/" + c.name;
        const std::string rewritten = renderTranslatedFile(work);
        const std::string pending = pendingListText(work.pending);
        if (regenerate) {
            ASSERT_TRUE(writeFileAtomically(folder + "/translated.lng", rewritten).ok());
            ASSERT_TRUE(writeFileAtomically(folder + "/pending.txt", pending).ok());
            continue;
        }
        EXPECT_EQ(rewritten, readWholeFile(folder + "/translated.lng").valueOr("<missing>"));
        EXPECT_EQ(pending, readWholeFile(folder + "/pending.txt").valueOr("<missing>"));
        EXPECT_EQ(work.outputLines.size(), work.english.lines.size());
    }
}

// A second load of the rewritten file finds every answer the first load found: the rewrite is stable.
TEST(CorpusGolden, LoadingTheRewrittenFileAgainChangesNothing) {
    for (const GoldenCase& c : kCases) {
        SCOPED_TRACE(c.name);
        IniDocument settings;
        const WorkList first = selectCorpusPair(c, settings);
        WorkList second;
        second.english = first.english;
        second.translated = parseLanguageFile(renderTranslatedFile(first));
        selectPendingEntries(second, settings);
        EXPECT_EQ(second.outputLines, first.outputLines);
        EXPECT_EQ(pendingListText(second.pending), pendingListText(first.pending));
    }
}

// Answers typed into the rewritten file land on their own lines, even where the English file repeats a
// key in one section ([ID_002] SEC_010 with two different texts).
TEST(CorpusGolden, AnswersGoIntoTheirOwnLinesOfTheRewrittenFile) {
    test::TempDir dir;
    IniDocument settings;
    const WorkList work = selectCorpusPair(kCases[2], settings);
    const std::string path = dir.write("German.lng", renderTranslatedFile(work));
    std::vector<const PendingEntry*> answered;
    for (const PendingEntry& entry : work.pending) {
        if (entry.section == "ID_002" || entry.line < 100) {
            answered.push_back(&entry);
            const std::string answer = "answer " + std::to_string(entry.line);
            ASSERT_TRUE(storeAnswers(path, {&entry}, answer).ok());
        }
    }
    ASSERT_GT(answered.size(), 15u);
    const LanguageFile written = parseLanguageFile(dir.read("German.lng"));
    ASSERT_EQ(written.lines.size(),
              work.outputLines.size() + 1); // and the empty rest after the last line end
    EXPECT_EQ(written.lines.back().text, "");
    std::size_t next = 0;
    for (std::size_t i = 0; i < work.outputLines.size(); ++i) {
        const bool isAnswered = next < answered.size() && answered[next]->line == static_cast<int>(i + 1);
        const std::string expected =
            isAnswered ? answered[next++]->key + "=answer " + std::to_string(i + 1) : work.outputLines[i];
        ASSERT_EQ(written.lines[i].text, expected) << "line " << i + 1;
    }
    EXPECT_EQ(next, answered.size());
}

} // namespace
} // namespace parlavo
