#include "sync/check.h"

#include "lang/answerchecks.h"
#include "lang/languagefile.h"
#include "sync/sync.h"

#include <unordered_set>

namespace parlavo {

namespace {

struct CheckLine {
    int line = 0;
    std::string section;
    std::string key;
    std::string problem;
};

std::string formatLines(const std::vector<CheckLine>& lines, std::size_t entries) {
    std::string text;
    for (const CheckLine& line : lines) {
        text += std::to_string(line.line) + '\t' + escapeSyncField(line.section) + '\t' +
                escapeSyncField(line.key) + '\t' + escapeSyncField(line.problem) + '\n';
    }
    return text + std::to_string(lines.size()) + " problems in " + std::to_string(entries) + " entries\n";
}

} // namespace

std::string checkReport(const LoadResult& result, std::size_t& problemCount) {
    std::unordered_set<int> pending;
    for (const PendingEntry& entry : result.work.pending) {
        pending.insert(entry.line);
    }
    // The rewritten file has the English file's lines, so line i holds the translation of line i.
    const LanguageFile& translated = result.rewritten;
    const std::vector<LanguageLine>& english = result.work.english.lines;
    std::vector<CheckLine> lines;
    std::size_t entries = 0;
    for (std::size_t i = 0; i < english.size() && i < translated.lines.size(); ++i) {
        const LanguageLine& source = english[i];
        const LanguageLine& answer = translated.lines[i];
        const int number = static_cast<int>(i + 1);
        if (const std::string_view old = oldSourceOf(result.work, number); !old.empty()) {
            ++entries;
            lines.push_back({number, std::string(source.section()), std::string(source.key()),
                             "English changed, was: " + std::string(old)});
            continue;
        }
        if (source.key().empty() || source.value().empty() || answer.value().empty() ||
            pending.contains(number)) {
            continue;
        }
        const std::vector<AnswerProblem> problems = checkAnswer(source.value(), answer.value());
        entries += problems.empty() ? 0 : 1;
        for (const AnswerProblem& problem : problems) {
            lines.push_back(
                {number, std::string(source.section()), std::string(source.key()), problem.message});
        }
    }
    problemCount = lines.size();
    return formatLines(lines, entries);
}

} // namespace parlavo
