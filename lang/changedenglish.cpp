#include "lang/changedenglish.h"

#include "lang/answermemory.h"
#include "lang/suggestions.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace parlavo {

ChangedEnglishIndex::ChangedEnglishIndex(const IniDocument& settings, const LanguageFile& english) {
    std::unordered_set<std::string_view> current;
    for (const LanguageLine& line : english.lines) {
        if (line.isKeyLine && !line.value.empty()) {
            current.insert(line.value);
        }
    }
    std::unordered_set<std::string> stillUsed; // answers of texts the English file still holds
    for (MemoryEntry& entry : memoryEntries(settings)) {
        if (current.contains(entry.source)) {
            stillUsed.insert(std::move(entry.answer));
        } else {
            oldSourceByAnswer_.try_emplace(std::move(entry.answer), std::move(entry.source));
        }
    }
    for (const std::string& answer : stillUsed) {
        oldSourceByAnswer_.erase(answer); // two keys sharing one translation are no change
    }
}

std::string ChangedEnglishIndex::oldSourceOf(const IniDocument& settings, std::string_view source,
                                             std::string_view translation) const {
    if (translation.empty() || oldSourceByAnswer_.empty()) {
        return {};
    }
    const auto found = oldSourceByAnswer_.find(std::string(translation));
    if (found == oldSourceByAnswer_.end() || !recallAnswer(settings, source).empty()) {
        return {};
    }
    return found->second;
}

namespace {

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> found;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find(' ', start), text.size());
        found.push_back(text.substr(start, end - start));
        at = end;
    }
    return found;
}

constexpr std::size_t kMostWordsCompared = 400; // beyond this, every differing text is one change

// For each word of a: whether it is part of a longest sequence a and b have in common.
std::vector<bool> commonWords(const std::vector<std::string_view>& a,
                              const std::vector<std::string_view>& b) {
    std::vector<std::vector<int>> length(a.size() + 1, std::vector<int>(b.size() + 1, 0));
    for (std::size_t i = a.size(); i-- > 0;) {
        for (std::size_t j = b.size(); j-- > 0;) {
            length[i][j] =
                a[i] == b[j] ? length[i + 1][j + 1] + 1 : std::max(length[i + 1][j], length[i][j + 1]);
        }
    }
    std::vector<bool> kept(a.size(), false);
    for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] == b[j]) {
            kept[i++] = true;
            ++j;
        } else if (length[i + 1][j] >= length[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return kept;
}

} // namespace

std::string markChangedWords(std::string_view oldText, std::string_view newText) {
    const std::vector<std::string_view> oldWords = words(oldText);
    const std::vector<std::string_view> newWords = words(newText);
    std::vector<bool> kept(oldWords.size(), false);
    if (oldWords.size() <= kMostWordsCompared && newWords.size() <= kMostWordsCompared) {
        kept = commonWords(oldWords, newWords);
    }
    std::string marked;
    for (std::size_t i = 0; i < oldWords.size(); ++i) {
        marked += (i == 0 ? "" : " ");
        marked += kept[i] ? std::string(oldWords[i]) : "*" + std::string(oldWords[i]) + "*";
    }
    return marked;
}

} // namespace parlavo
