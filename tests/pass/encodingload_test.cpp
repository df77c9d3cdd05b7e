#include "pass/workload.h"

#include "lang/answermemory.h"
#include "lang/answers.h"
#include "support/tempdir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace parlavo {
namespace {

using test::TempDir;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// "Открыть", "Сохранить" and "Русский" in Windows-1251.
constexpr const char* kOpen1251 = "\xCE\xF2\xEA\xF0\xFB\xF2\xFC";
constexpr const char* kSave1251 = "\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC";
constexpr const char* kRussian1251 = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9";

LoadResult load(const TempDir& dir, const std::string& translated, LoadOptions options = {}) {
    BackupRecord backups;
    return prepareWorkList({dir.file("English.lng"), dir.file(translated)}, dir.file("Parlavo.ini"), backups,
                           options);
}

TEST(EncodingLoad, AnswersReachACp1251AndAUtf8FileAsEachFilesOwnBytes) {
    TempDir dir;
    dir.write("English.lng", "\xEF\xBB\xBF; Русский\n; ✓ done\n[M]\nOpen=Open\nSave=Save\nName=Name");
    const std::string settings = dir.file("Parlavo.ini");
    // An answer given in a Windows-1251 file is remembered as text.
    ASSERT_TRUE(writeAnswer(dir.write("Old.lng", "[M]\nOpen=\n"), settings,
                            PendingEntry(2, "M", "Open", "Open"), {kOpen1251, "Open", "Открыть"})
                    .ok());
    IniDocument memory = IniDocument::parse(dir.read("Parlavo.ini"));
    rememberAnswer(memory, "Save", kSave1251); // written as raw bytes by an earlier version
    dir.write("Parlavo.ini", memory.serialize());

    LoadOptions chosen;
    chosen.translatedEncoding = "cp1251";
    const LoadResult legacy = load(dir, "Russian.lng", chosen);
    ASSERT_TRUE(legacy.status.ok()) << legacy.status.error;
    // The byte-order mark stays out of the Windows-1251 file; a line it cannot hold keeps its bytes.
    EXPECT_EQ(dir.read("Russian.lng"), std::string("; ") + kRussian1251 + "\n; ✓ done\n[M]\nOpen=" +
                                           kOpen1251 + "\nSave=" + kSave1251 + "\nName=\n");
    EXPECT_THAT(legacy.warnings, ElementsAre(HasSubstr("lines 2)")));
    EXPECT_THAT(legacy.work.unconvertedLines, ElementsAre(2));

    const LoadResult modern = load(dir, "Modern.lng");
    ASSERT_TRUE(modern.status.ok()) << modern.status.error;
    EXPECT_EQ(modern.work.encodings.translated.name, "UTF-8");
    EXPECT_EQ(dir.read("Modern.lng"),
              std::string("\xEF\xBB\xBF; Русский\n; ✓ done\n[M]\nOpen=Открыть\nSave=") + kSave1251 +
                  "\nName=\n");

    // The choice is remembered for the next load.
    const LoadResult again = load(dir, "Russian.lng");
    EXPECT_EQ(again.work.encodings.translated.name, "windows-1251");
    EXPECT_EQ(again.work.encodings.translated.reason, EncodingReason::YourChoice);
}

struct MixedCase {
    std::optional<bool> convert; // the answer to the question; nothing: no question asked
    std::string expected;
};

TEST(EncodingLoad, Utf8LinesInALegacyFileAreFoundAndConvertedWhenTheTranslatorAgrees) {
    const std::string file = std::string("[LangOptions]\r\nLanguageCodePage=1251\r\n[M]\r\nOpen=") +
                             kOpen1251 + "\r\nSave=Сохранить\r\nName=имя ✓\r\n";
    const std::string kept = "[M]\r\nOpen=" + std::string(kOpen1251) + "\r\nSave=Сохранить\r\nName=имя ✓\r\n";
    const MixedCase cases[] = {
        {std::nullopt, kept},
        {false, kept},
        {true, "[M]\r\nOpen=" + std::string(kOpen1251) + "\r\nSave=" + kSave1251 + "\r\nName=имя ✓\r\n"},
    };
    for (const MixedCase& c : cases) {
        TempDir dir;
        dir.write("English.lng", "[M]\r\nOpen=Open\r\nSave=Save\r\nName=Name");
        dir.write("Russian.lng", file);
        LoadOptions options;
        std::string asked;
        if (c.convert) {
            options.convertMixedLines = [&](const WorkList& work) {
                asked = mixedLinesQuestion(work, dir.file("Russian.lng"));
                return *c.convert;
            };
        }
        const LoadResult result = load(dir, "Russian.lng", options);
        ASSERT_TRUE(result.status.ok()) << result.status.error;
        EXPECT_THAT(result.work.mixedLines, ElementsAre(5, 6));
        EXPECT_EQ(asked,
                  c.convert ? "2 lines of Russian.lng are UTF-8, not Windows-1251. Convert them?" : "");
        EXPECT_EQ(dir.read("Russian.lng"), c.expected);
        EXPECT_EQ(result.warnings.size(), c.convert.value_or(false) ? 1U : 0U); // "имя ✓" stays
    }
}

// A converted line may hold a key: the keys are then looked up in the file as converted.
TEST(EncodingLoad, AKeyOfAConvertedLineKeepsItsTranslationInAnyOrder) {
    TempDir dir;
    dir.write("English.lng", "[M]\r\nOpen=Open\r\nКлюч=Key");
    dir.write("Russian.lng",
              std::string("[LangOptions]\r\nLanguageCodePage=1251\r\n[M]\r\nКлюч=Значение\r\nOpen=") +
                  kOpen1251 + "\r\n");
    LoadOptions options;
    options.convertMixedLines = [](const WorkList&) { return true; };
    const LoadResult result = load(dir, "Russian.lng", options);
    ASSERT_TRUE(result.status.ok()) << result.status.error;
    EXPECT_TRUE(result.work.pending.empty());
    EXPECT_EQ(dir.read("Russian.lng"), std::string("[M]\r\nOpen=") + kOpen1251 +
                                           "\r\n\xCA\xEB\xFE\xF7=\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5\r\n");
}

} // namespace
} // namespace parlavo
