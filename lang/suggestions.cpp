#include "lang/suggestions.h"

#include "lang/answermemory.h"
#include "platform/files.h"

#include <algorithm>
#include <chrono>

namespace parlavo {

namespace {

constexpr std::size_t kCandidatesScored = 64; // the best by shared trigrams get an exact score

std::vector<std::uint32_t> trigrams(std::string_view text) {
    std::string padded = " ";
    for (const char ch : text) {
        padded += ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    padded += ' ';
    std::vector<std::uint32_t> grams;
    for (std::size_t i = 0; i + 3 <= padded.size(); ++i) {
        const auto byte = [&](std::size_t at) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(padded[at]));
        };
        grams.push_back(byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2));
    }
    std::sort(grams.begin(), grams.end());
    grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
    return grams;
}

std::size_t sharedCount(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    std::size_t shared = 0;
    for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] == b[j]) {
            ++shared, ++i, ++j;
        } else if (a[i] < b[j]) {
            ++i;
        } else {
            ++j;
        }
    }
    return shared;
}

} // namespace

std::vector<MemoryEntry> memoryEntries(const IniDocument& settings) {
    std::vector<MemoryEntry> entries;
    settings.forEachEntry(kAnswerMemorySection, [&](std::string_view key, std::string_view value) {
        std::string answer = decodeMemoryText(value);
        if (!answer.empty()) {
            entries.push_back({decodeMemoryText(key), std::move(answer)});
        }
    });
    return entries;
}

SuggestionIndex::SuggestionIndex(std::vector<MemoryEntry> entries) : entries_(std::move(entries)) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        for (const std::uint32_t gram : trigrams(entries_[i].source)) {
            postings_[gram].push_back(static_cast<std::uint32_t>(i));
        }
    }
}

std::vector<Suggestion> SuggestionIndex::suggest(std::string_view source, std::size_t count) const {
    const std::vector<std::uint32_t> query = trigrams(source);
    std::vector<std::uint32_t> hits(entries_.size(), 0);             // by entry: shared trigrams
    std::vector<std::pair<std::uint32_t, std::uint32_t>> candidates; // entry, shared trigrams
    for (const std::uint32_t gram : query) {
        const auto found = postings_.find(gram);
        if (found != postings_.end()) {
            for (const std::uint32_t entry : found->second) {
                if (hits[entry]++ == 0) {
                    candidates.emplace_back(entry, 0);
                }
            }
        }
    }
    for (auto& [entry, shared] : candidates) {
        shared = hits[entry];
    }
    const std::size_t kept = std::min(candidates.size(), kCandidatesScored);
    std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(kept),
                      candidates.end(), [](const auto& a, const auto& b) {
                          return a.second != b.second ? a.second > b.second : a.first < b.first;
                      });
    std::vector<Suggestion> best;
    for (std::size_t c = 0; c < kept; ++c) {
        const std::uint32_t entry = candidates[c].first;
        if (entries_[entry].source == source) {
            continue;
        }
        const std::vector<std::uint32_t> grams = trigrams(entries_[entry].source); // made again: only a few
        const std::size_t total = query.size() + grams.size();
        const int percent =
            static_cast<int>(200 * sharedCount(query, grams) / std::max<std::size_t>(total, 1));
        if (percent >= kLeastSimilarity) {
            best.push_back({entries_[entry].source, entries_[entry].answer, percent});
        }
    }
    std::stable_sort(best.begin(), best.end(),
                     [](const Suggestion& a, const Suggestion& b) { return a.percent > b.percent; });
    best.resize(std::min(best.size(), count));
    return best;
}

BackgroundSuggestions::BackgroundSuggestions(const std::string& settingsFile)
    : index_(std::async(std::launch::async, [settingsFile] {
                 Result<std::string> bytes = readWholeFile(settingsFile);
                 const IniDocument settings =
                     IniDocument::parseOwned(bytes.ok() ? std::move(bytes.value) : std::string());
                 return std::make_shared<const SuggestionIndex>(memoryEntries(settings));
             }).share()) {}

std::vector<Suggestion> BackgroundSuggestions::suggest(std::string_view source) const {
    if (index_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return {};
    }
    return index_.get()->suggest(source);
}

void BackgroundSuggestions::wait() const {
    index_.wait();
}

} // namespace parlavo
