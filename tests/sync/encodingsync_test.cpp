#include "sync/sync.h"

#include "support/tempdir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace parlavo {
namespace {

using test::TempDir;
using ::testing::HasSubstr;

constexpr const char* kHello1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";                            // "Привет"
constexpr const char* kGreeting1251 = "\xC7\xE4\xF0\xE0\xE2\xF1\xF2\xE2\xF3\xE9\xF2\xE5"; // "Здравствуйте"

struct EncodingRun {
    std::vector<std::string> options;
    std::string translated; // "" for a new file
    int status;
    std::string out;
    std::string err;
    std::string written;
};

TEST(SyncEncodings, EachOverrideDecidesHowFilesAreReadWrittenAndReported) {
    const std::string english = std::string("; ") + kHello1251 + "\n[M]\nHello=Hi " + kHello1251;
    const std::string legacy = std::string("; ") + kHello1251 + "\n[M]\nHello=";
    const std::vector<std::string> both{"--english-encoding", "cp1251", "--translated-encoding", "cp1251"};
    std::vector<std::string> fix = both;
    fix.push_back("--fix-encoding");
    const EncodingRun runs[] = {
        {{"--english-encoding", "cp1251"}, "", 1, "3\tM\tHello\tHi Привет\n", "", legacy + "\n"},
        {{"--english-encoding=KOI8-R"}, "", 1, "3\tM\tHello\tHi оПХБЕР\n", "", legacy + "\n"},
        {{"--english-encoding", "1251", "--translated-encoding", "UTF8"},
         "",
         1,
         "Hello\tHi Привет\n",
         "",
         "; Привет\n[M]\nHello=\n"},
        {{"--translated-encoding", "klingon"}, "", 2, "", "unknown encoding 'klingon'", ""},
        {both, "[M]\nHello=Здравствуйте", 0, "0 of 1",
         "1 line of T.lng is UTF-8, not Windows-1251. Give --fix", legacy + "Здравствуйте\n"},
        {fix, "[M]\nHello=Здравствуйте", 0, "0 of 1", "They were converted.", legacy + kGreeting1251 + "\n"},
    };
    for (const EncodingRun& run : runs) {
        TempDir dir;
        dir.write("E.lng", english);
        if (!run.translated.empty()) {
            dir.write("T.lng", run.translated);
        }
        const test::withCurrentDirectory inside(dir.path());
        std::vector<std::string> args = run.options;
        args.insert(args.end(), {"E.lng", "T.lng"});
        std::ostringstream out, err;
        EXPECT_EQ(runSync(args, out, err), run.status) << args[0];
        EXPECT_THAT(out.str(), HasSubstr(run.out)) << args[0];
        EXPECT_THAT(err.str(), HasSubstr(run.err)) << args[0];
        EXPECT_EQ(dir.read("T.lng"), run.written) << args[0];
    }
    std::ostringstream help, ignored;
    EXPECT_EQ(runSync({"--help"}, help, ignored), kSyncNothingPending);
    EXPECT_THAT(help.str(), HasSubstr("  CP932         cp932 (Shift-JIS)\n"));
}

} // namespace
} // namespace parlavo
