#include "lang/suggestions.h"

#include "lang/answermemory.h"
#include "lang/inilines.h"
#include "platform/files.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace parlavo {

namespace {

constexpr std::size_t kCandidatesScored = 64; // the best by shared trigrams get an exact score

// Each trigram of the text with a blank before and after it, ASCII letters folded (repeats included).
template <typename Visit> void forEachTrigram(std::string_view text, Visit&& visit) {
    const auto folded = [](char ch) {
        const auto byte = static_cast<std::uint32_t>(static_cast<unsigned char>(ch));
        return byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
    };
    std::uint32_t gram = ' ';
    for (std::size_t i = 0; i <= text.size(); ++i) {
        gram = (gram << 8 | (i < text.size() ? folded(text[i]) : ' ')) & 0xFFFFFF;
        if (i >= 1) { // two characters before this one
            visit(gram);
        }
    }
}

// The text's trigrams, sorted, each once.
std::vector<std::uint32_t> trigrams(std::string_view text) {
    std::vector<std::uint32_t> grams;
    grams.reserve(text.size() + 1);
    forEachTrigram(text, [&](std::uint32_t gram) { grams.push_back(gram); });
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

// The entries (with their counts) sharing the most trigrams, at most most of them, most first and
// the earlier of equals first: a heap of the best so far, over the counts in entry order.
template <typename Count>
std::vector<std::pair<std::uint32_t, std::uint32_t>> mostShared(const std::vector<Count>& hits,
                                                                std::size_t most) {
    using Candidate = std::pair<std::uint32_t, std::uint32_t>; // entry, shared trigrams
    const auto better = [](const Candidate& a, const Candidate& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    };
    std::vector<Candidate> best; // a heap whose top is the worst kept
    if (most == 0) {
        return best;
    }
    best.reserve(most + 1);
    for (std::uint32_t entry = 0; entry < hits.size(); ++entry) {
        const Candidate candidate{entry, hits[entry]};
        if (candidate.second == 0 || (best.size() == most && !better(candidate, best.front()))) {
            continue;
        }
        best.push_back(candidate);
        std::push_heap(best.begin(), best.end(), better);
        if (best.size() > most) {
            std::pop_heap(best.begin(), best.end(), better);
            best.pop_back();
        }
    }
    std::sort_heap(best.begin(), best.end(), better);
    return best;
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

SuggestionIndex::SuggestionIndex(IniDocument settings) {
    const std::string_view bytes = settings.parsedBytes();
    const auto readsAsStored = [bytes](std::string_view text) {
        return !isEscapedMemoryText(text) && text.data() >= bytes.data() &&
               text.data() + text.size() <= bytes.data() + bytes.size();
    };
    texts_ = bytes;
    settings.forEachEntry(kAnswerMemorySection, [&](std::string_view key, std::string_view value) {
        if (readsAsStored(key) && readsAsStored(value)) {
            if (!value.empty()) {
                entries_.push_back(static_cast<std::uint32_t>(key.data() - bytes.data()));
            }
            return;
        }
        const std::string answer = readsAsStored(value) ? std::string(value) : decodeMemoryText(value);
        if (!answer.empty()) {
            add(readsAsStored(key) ? std::string(key) : decodeMemoryText(key), answer);
        }
    });
    settingsBytes_ = settings.sharedBytes(); // where the places were measured
    settings = IniDocument();                // its lines and index are let go of before the lists are built
    buildPostings();
}

namespace {

void appendSize(std::string& into, std::size_t size) {
    for (; size >= 0x80; size >>= 7) {
        into.push_back(static_cast<char>((size & 0x7F) | 0x80));
    }
    into.push_back(static_cast<char>(size));
}

// The text whose size is written at at, and at moved past it.
std::string_view sizedText(std::string_view from, std::size_t& at) {
    std::size_t size = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(from[at++]);
        size |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) {
            break;
        }
    }
    const std::string_view text = from.substr(at, size);
    at += size;
    return text;
}

} // namespace

void SuggestionIndex::add(std::string_view source, std::string_view answer) {
    entries_.push_back(static_cast<std::uint32_t>(texts_.size() + decoded_.size()));
    appendSize(decoded_, source.size());
    decoded_.append(source);
    appendSize(decoded_, answer.size());
    decoded_.append(answer);
}

SuggestionIndex::Texts SuggestionIndex::textsOf(std::uint32_t entry) const {
    if (entry < texts_.size()) { // a key line of the settings, from its key on
        const char* const start = texts_.data() + entry;
        const std::string_view line(
            start,
            static_cast<std::size_t>(ini::findLineBreak(start, texts_.data() + texts_.size()) - start));
        return {ini::classify(line, false).name, ini::valueOf(line).value_or(std::string_view())};
    }
    std::size_t at = entry - texts_.size();
    const std::string_view source = sizedText(decoded_, at);
    return {source, sizedText(decoded_, at)};
}

// The list of a trigram (0: none), by open addressing on the trigram + 1.
std::uint32_t SuggestionIndex::listOf(std::uint32_t gram) const {
    const std::size_t mask = gramSlots_.size() - 1;
    for (std::size_t at = (gram * 0x9E3779B1u) & mask;; at = (at + 1) & mask) {
        const std::uint64_t slot = gramSlots_[at];
        if (slot == 0 || static_cast<std::uint32_t>(slot) == gram + 1) {
            return static_cast<std::uint32_t>(slot >> 32);
        }
    }
}

std::uint32_t SuggestionIndex::addList(std::uint32_t gram, std::uint32_t list) {
    if (2 * (list + 1) > gramSlots_.size()) {
        std::vector<std::uint64_t> old(std::max<std::size_t>(1024, 2 * gramSlots_.size()), 0);
        old.swap(gramSlots_);
        for (const std::uint64_t slot : old) {
            if (slot != 0) {
                addList(static_cast<std::uint32_t>(slot) - 1, static_cast<std::uint32_t>(slot >> 32));
            }
        }
    }
    const std::size_t mask = gramSlots_.size() - 1;
    std::size_t at = (gram * 0x9E3779B1u) & mask;
    while (gramSlots_[at] != 0 && static_cast<std::uint32_t>(gramSlots_[at]) != gram + 1) {
        at = (at + 1) & mask;
    }
    gramSlots_[at] = std::uint64_t{list} << 32 | (gram + 1);
    return list;
}

// Two passes over the entries: the lists' lengths first, so that every list has its exact room.
// Lists are numbered from 1. A trigram met again in the same entry is skipped.
void SuggestionIndex::buildPostings() {
    std::vector<std::size_t> sizes(1, 0);  // by list: its bytes
    std::vector<std::uint32_t> next(1, 0); // by list: the entry after the last one in it
    auto eachNewGram = [&](auto&& visit) {
        for (std::uint32_t e = 0; e < entries_.size(); ++e) {
            forEachTrigram(textsOf(entries_[e]).source, [&](std::uint32_t gram) {
                std::uint32_t list = gramSlots_.empty() ? 0 : listOf(gram);
                if (list == 0) {
                    list = addList(gram, static_cast<std::uint32_t>(sizes.size()));
                    sizes.push_back(0);
                    next.push_back(0);
                }
                if (next[list] != e + 1) {
                    visit(list, e - (next[list] == 0 ? 0 : next[list] - 1));
                    next[list] = e + 1;
                }
            });
        }
    };
    eachNewGram([&](std::uint32_t list, std::uint32_t distance) {
        do {
            ++sizes[list];
            distance >>= 7;
        } while (distance != 0);
    });
    listStarts_.assign(sizes.size() + 1, 0);
    for (std::size_t list = 0; list < sizes.size(); ++list) {
        listStarts_[list + 1] = listStarts_[list] + sizes[list];
    }
    lists_.resize(listStarts_.back());
    std::vector<std::size_t> cursor(listStarts_.begin(), listStarts_.end() - 1);
    std::fill(next.begin(), next.end(), 0);
    eachNewGram([&](std::uint32_t list, std::uint32_t distance) {
        while (distance >= 0x80) {
            lists_[cursor[list]++] = static_cast<std::uint8_t>(distance | 0x80);
            distance >>= 7;
        }
        lists_[cursor[list]++] = static_cast<std::uint8_t>(distance);
    });
}

template <typename Count>
void SuggestionIndex::countShared(const std::vector<std::uint32_t>& query, std::vector<Count>& hits) const {
    for (const std::uint32_t gram : query) {
        const std::uint32_t list = gramSlots_.empty() ? 0 : listOf(gram);
        if (list == 0) {
            continue;
        }
        std::uint32_t entry = 0;
        for (std::size_t at = listStarts_[list]; at < listStarts_[list + 1];) {
            std::uint32_t distance = 0;
            for (int shift = 0;; shift += 7) {
                const std::uint8_t byte = lists_[at++];
                distance |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
                if ((byte & 0x80) == 0) {
                    break;
                }
            }
            entry += distance;
            ++hits[entry];
        }
    }
}

std::vector<Suggestion> SuggestionIndex::suggest(std::string_view source, std::size_t count) const {
    const std::vector<std::uint32_t> query = trigrams(source);
    // By entry, the trigrams it shares with source: at most as many as source has, which mostly fit
    // in two bytes.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> candidates;
    if (query.size() <= std::numeric_limits<std::uint16_t>::max()) {
        std::vector<std::uint16_t> hits(entries_.size(), 0);
        countShared(query, hits);
        candidates = mostShared(hits, kCandidatesScored);
    } else {
        std::vector<std::uint32_t> hits(entries_.size(), 0);
        countShared(query, hits);
        candidates = mostShared(hits, kCandidatesScored);
    }
    const std::size_t kept = candidates.size();
    std::vector<Suggestion> best;
    for (std::size_t c = 0; c < kept; ++c) {
        const Texts entry = textsOf(entries_[candidates[c].first]);
        const std::string_view entrySource = entry.source;
        if (entrySource == source) {
            continue;
        }
        const std::vector<std::uint32_t> grams = trigrams(entrySource); // made again: only a few
        const std::size_t total = query.size() + grams.size();
        const int percent =
            static_cast<int>(200 * sharedCount(query, grams) / std::max<std::size_t>(total, 1));
        if (percent >= kLeastSimilarity) {
            best.push_back({std::string(entrySource), std::string(entry.answer), percent});
        }
    }
    std::stable_sort(best.begin(), best.end(),
                     [](const Suggestion& a, const Suggestion& b) { return a.percent > b.percent; });
    best.resize(std::min(best.size(), count));
    return best;
}

BackgroundSuggestions::BackgroundSuggestions(const std::string& settingsFile,
                                             std::shared_ptr<const std::string> settingsBytes)
    : index_(std::async(std::launch::async, [settingsFile, settingsBytes = std::move(settingsBytes)] {
                 if (settingsBytes) {
                     return std::make_shared<const SuggestionIndex>(IniDocument::parseShared(settingsBytes));
                 }
                 Result<std::string> bytes = readWholeFile(settingsFile);
                 return std::make_shared<const SuggestionIndex>(
                     IniDocument::parseOwned(bytes.ok() ? std::move(bytes.value) : std::string()));
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
