#include "pass/helperwords.h"

#include "lang/answermemory.h"
#include "lang/inikeytable.h"
#include "lang/textstore.h"
#include "lang/viewtable.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace parlavo {

namespace {

constexpr std::string_view kNoteKey = "Attention";

bool isIgnoredPunctuation(char c) {
    switch (c) {
    case '.':
    case ',':
    case ':':
    case '(':
    case ')':
    case '!':
    case '[':
    case ']':
        return true;
    default:
        return false;
    }
}

// Calls visit for every field of text split at each single space, empty fields included.
template <typename Visit> void forEachField(std::string_view text, Visit visit) {
    std::size_t start = 0;
    while (true) {
        std::size_t space = text.find(' ', start);
        if (space == std::string_view::npos) {
            visit(text.substr(start));
            return;
        }
        visit(text.substr(start, space - start));
        start = space + 1;
    }
}

bool hasAsciiLetter(std::string_view word) {
    return std::any_of(word.begin(), word.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

bool startsWithPercentAfterSpaces(std::string_view word) {
    std::size_t first = word.find_first_not_of(' ');
    return first != std::string_view::npos && word[first] == '%';
}

bool qualifies(std::string_view word, int count) {
    return !word.empty() && word != "%tab" && count >= 3 && word.size() >= 4 && hasAsciiLetter(word) &&
           !startsWithPercentAfterSpaces(word);
}

struct WordCount {
    std::string_view word;
    int count = 0;
};

// The texts seen so far, known by a 64-bit hash each (8 bytes a text; two texts sharing a hash,
// which is all but impossible, would count as one). A text's slot can be fetched ahead of its turn:
// the table is larger than the caches, and a slot that must come from memory is most of a check.
class SeenTexts {
  public:
    explicit SeenTexts(std::size_t expected) : slots_(std::bit_ceil(2 * expected + 2), 0) {}

    static std::uint64_t hashOf(std::string_view text) { return plainHash(text) | 1; } // 0: a free slot
    void fetch([[maybe_unused]] std::uint64_t hash) const {
#if defined(__GNUC__)
        __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
#endif
    }

    // True when the text of hash was not seen before.
    bool insert(std::uint64_t hash) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            if (slots_[at] == hash) {
                return false;
            }
            if (slots_[at] == 0) {
                slots_[at] = hash;
                return true;
            }
        }
    }

  private:
    std::vector<std::uint64_t> slots_;
};

// Calls visit with each pending entry whose source was not met before it, in order. Each source's
// slot among those seen is fetched a few sources ahead.
template <typename Visit> void forEachDistinctSource(const std::vector<PendingEntry>& pending, Visit visit) {
    SeenTexts seen(pending.size());
    constexpr std::size_t kAhead = 8;
    std::uint64_t ahead[kAhead] = {};
    auto hashAhead = [&](std::size_t i) {
        if (i < pending.size()) {
            ahead[i % kAhead] = SeenTexts::hashOf(pending[i].source());
            seen.fetch(ahead[i % kAhead]);
        }
    };
    for (std::size_t i = 0; i < kAhead; ++i) {
        hashAhead(i);
    }
    for (std::size_t i = 0; i < pending.size(); ++i) {
        const std::uint64_t hash = ahead[i % kAhead];
        hashAhead(i + kAhead);
        if (seen.insert(hash)) {
            visit(pending[i]);
        }
    }
}

// Calls visit with each word of text: the fields between single spaces (empty ones included), each
// without the ignored punctuation. A word is a view of text when it has none (lasting as text
// does), else of a copy made in cleaned (which the next word overwrites).
template <typename Visit>
void forEachWord(std::string_view text, bool lasting, std::string& cleaned, Visit visit) {
    std::size_t start = 0;
    bool punctuated = false;
    auto emit = [&](std::size_t end) {
        const std::string_view field = text.substr(start, end - start);
        if (!punctuated) {
            visit(field, lasting);
            return;
        }
        cleaned.clear();
        for (const char c : field) {
            if (!isIgnoredPunctuation(c)) {
                cleaned += c;
            }
        }
        visit(std::string_view(cleaned), false);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') {
            emit(i);
            start = i + 1;
            punctuated = false;
        } else if (isIgnoredPunctuation(text[i])) {
            punctuated = true;
        }
    }
    emit(text.size());
}

// The words of the distinct pending sources (as UTF-8, without the ignored punctuation, split at each
// single space) with their counts, in order of first appearance. A word is a view of its pending
// source where it can be, else kept once in store.
std::vector<WordCount> countWords(const std::vector<PendingEntry>& pending, std::string_view encoding,
                                  TextStore& store) {
    std::vector<WordCount> words;
    ViewTable<std::uint32_t> index; // each word's place in words (which is its number in index)
    std::string cleaned;
    auto count = [&](std::string_view word, bool lasting) {
        const auto next = static_cast<std::uint32_t>(words.size());
        std::size_t at = 0;
        if (lasting) {
            at = index.add(word, next);
        } else if (const std::uint32_t* const found = index.find(word)) {
            at = *found;
        } else {
            word = store.keep(word);
            at = index.add(word, next);
        }
        if (at == words.size()) {
            words.push_back({word, 0});
        }
        ++words[at].count;
    };
    forEachDistinctSource(pending, [&](const PendingEntry& entry) {
        if (encoding == kUtf8) {
            forEachWord(entry.source(), true, cleaned, count);
        } else {
            forEachWord(toUtf8Lossy(entry.source(), encoding), false, cleaned, count);
        }
    });
    return words;
}

} // namespace

bool helperWordsNoteMissing(const IniDocument& settings) {
    return settings.find(kHelperWordsSection, kNoteKey) != std::optional<std::string>(kHelperWordsNote);
}

std::vector<std::string> collectHelperWords(const std::vector<PendingEntry>& pending, IniDocument& settings,
                                            std::string_view englishEncoding) {
    TextStore store;
    std::vector<WordCount> words = countWords(pending, englishEncoding, store);
    // Most frequent first; words with equal counts keep the order in which they first appeared.
    std::stable_sort(words.begin(), words.end(),
                     [](const WordCount& a, const WordCount& b) { return a.count > b.count; });

    settings.set(kHelperWordsSection, kNoteKey, kHelperWordsNote);
    std::vector<std::string> listed;
    for (const WordCount& entry : words) {
        if (!qualifies(entry.word, entry.count)) {
            continue;
        }
        listed.emplace_back(entry.word);
        // A word the translator has translated keeps its translation. Words that differ only in
        // letter case share one key, which keeps the place of the first one written. A word a plain
        // key line cannot hold ("a=b", ";x", a tab at an edge) is written escaped, as the answer
        // memory writes its keys.
        const std::string key = encodeMemoryKey(entry.word);
        if (settings.get(kHelperWordsSection, key).empty()) {
            settings.set(kHelperWordsSection, key, "");
        }
    }
    return listed;
}

namespace {

// Replaces every occurrence of from in text by to, left to right, without overlaps; the scan
// resumes after each inserted value.
void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::size_t position = text.find(from);
    if (position == std::string::npos) {
        return;
    }
    std::string result;
    result.reserve(text.size());
    std::size_t copied = 0;
    while (position != std::string::npos) {
        result.append(text, copied, position - copied);
        result.append(to);
        copied = position + from.size();
        position = text.find(from, copied);
    }
    result.append(text, copied);
    text = std::move(result);
}

bool isNoteKey(std::string_view field) {
    return field.size() == kNoteKey.size() &&
           std::equal(field.begin(), field.end(), kNoteKey.begin(), [](char a, char b) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(a) == lower(b);
           });
}

} // namespace

std::string applyHelperWords(std::string_view source, const IniDocument& settings) {
    std::string result(source);
    std::string fields(source);
    std::erase_if(fields, isIgnoredPunctuation);
    forEachField(fields, [&](std::string_view field) {
        // The "Attention" key holds the note about the list, not a translation.
        if (field.empty() || isNoteKey(field)) {
            return;
        }
        std::string value = settings.get(kHelperWordsSection, encodeMemoryKey(field));
        if (!value.empty()) {
            replaceAll(result, field, value);
        }
    });
    return result;
}

} // namespace parlavo
