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

SuggestionIndex::SuggestionIndex(const std::vector<MemoryEntry>& entries) {
    for (const MemoryEntry& entry : entries) {
        add(entry.source, entry.answer);
    }
    buildPostings();
}

SuggestionIndex::SuggestionIndex(const IniDocument& settings) {
    settings.forEachEntry(kAnswerMemorySection, [&](std::string_view key, std::string_view value) {
        const std::string answer = decodeMemoryText(value);
        if (!answer.empty()) {
            add(decodeMemoryText(key), answer);
        }
    });
    buildPostings();
}

void SuggestionIndex::add(std::string_view source, std::string_view answer) {
    const auto at = static_cast<std::uint32_t>(texts_.size());
    texts_.append(source).append(answer);
    entries_.push_back({at, static_cast<std::uint32_t>(source.size()),
                        static_cast<std::uint32_t>(at + source.size()),
                        static_cast<std::uint32_t>(answer.size())});
}

// Two passes over the entries: the lists' lengths first, so that every list has its exact room.
void SuggestionIndex::buildPostings() {
    std::vector<std::size_t> sizes;  // by list: its bytes
    std::vector<std::uint32_t> last; // by list: the last entry written
    auto eachGram = [&](auto&& visit) {
        for (std::uint32_t e = 0; e < entries_.size(); ++e) {
            for (const std::uint32_t gram : trigrams(text(entries_[e].source, entries_[e].sourceSize))) {
                visit(gram, e);
            }
        }
    };
    eachGram([&](std::uint32_t gram, std::uint32_t e) {
        const auto [found, added] = gramIds_.try_emplace(gram, static_cast<std::uint32_t>(sizes.size()));
        if (added) {
            sizes.push_back(0);
            last.push_back(0);
        }
        const std::uint32_t list = found->second;
        std::uint32_t distance = e - last[list];
        do {
            ++sizes[list];
            distance >>= 7;
        } while (distance != 0);
        last[list] = e;
    });
    listStarts_.assign(sizes.size() + 1, 0);
    for (std::size_t list = 0; list < sizes.size(); ++list) {
        listStarts_[list + 1] = listStarts_[list] + sizes[list];
    }
    lists_.resize(listStarts_.back());
    std::vector<std::size_t> cursor(listStarts_.begin(), listStarts_.end() - 1);
    std::fill(last.begin(), last.end(), 0);
    eachGram([&](std::uint32_t gram, std::uint32_t e) {
        const std::uint32_t list = gramIds_.at(gram);
        std::uint32_t distance = e - last[list];
        while (distance >= 0x80) {
            lists_[cursor[list]++] = static_cast<std::uint8_t>(distance | 0x80);
            distance >>= 7;
        }
        lists_[cursor[list]++] = static_cast<std::uint8_t>(distance);
        last[list] = e;
    });
}

std::vector<Suggestion> SuggestionIndex::suggest(std::string_view source, std::size_t count) const {
    const std::vector<std::uint32_t> query = trigrams(source);
    std::vector<std::uint32_t> hits(entries_.size(), 0);             // by entry: shared trigrams
    std::vector<std::pair<std::uint32_t, std::uint32_t>> candidates; // entry, shared trigrams
    for (const std::uint32_t gram : query) {
        const auto found = gramIds_.find(gram);
        if (found == gramIds_.end()) {
            continue;
        }
        std::uint32_t entry = 0;
        for (std::size_t at = listStarts_[found->second]; at < listStarts_[found->second + 1];) {
            std::uint32_t distance = 0;
            for (int shift = 0;; shift += 7) {
                const std::uint8_t byte = lists_[at++];
                distance |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
                if ((byte & 0x80) == 0) {
                    break;
                }
            }
            entry += distance;
            if (hits[entry]++ == 0) {
                candidates.emplace_back(entry, 0);
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
        const Entry& entry = entries_[candidates[c].first];
        const std::string_view entrySource = text(entry.source, entry.sourceSize);
        if (entrySource == source) {
            continue;
        }
        const std::vector<std::uint32_t> grams = trigrams(entrySource); // made again: only a few
        const std::size_t total = query.size() + grams.size();
        const int percent =
            static_cast<int>(200 * sharedCount(query, grams) / std::max<std::size_t>(total, 1));
        if (percent >= kLeastSimilarity) {
            best.push_back(
                {std::string(entrySource), std::string(text(entry.answer, entry.answerSize)), percent});
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
                 return std::make_shared<const SuggestionIndex>(settings);
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
