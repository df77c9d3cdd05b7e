#pragma once

#include "lang/profile.h"

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace parlavo {

struct MemoryEntry {
    std::string source;
    std::string answer;
};
// Every English text of the answer memory with its answer (as recallAnswer gives it), in file order.
std::vector<MemoryEntry> memoryEntries(const IniDocument& settings);

struct Suggestion {
    std::string source;
    std::string answer;
    int percent = 0; // similarity of the English texts
};

inline constexpr std::size_t kSuggestionCount = 3;
inline constexpr int kLeastSimilarity = 50; // percent

// Remembered answers whose English text is like a given one: the texts' character trigrams
// (ASCII letters folded) compared by the Dice coefficient, found through an inverted index. The texts
// are kept in one buffer and each trigram's list of entries as differences of a few bytes each.
class SuggestionIndex {
  public:
    explicit SuggestionIndex(const std::vector<MemoryEntry>& entries);
    // The settings' answer memory. Its texts stay where they are in the settings' bytes, which the
    // index keeps; the rest of the settings is let go of before the lists are built.
    explicit SuggestionIndex(IniDocument settings);
    // Up to count answers whose English text is most similar to source but not equal to it, at
    // least kLeastSimilarity percent alike, best first.
    std::vector<Suggestion> suggest(std::string_view source, std::size_t count = kSuggestionCount) const;

  private:
    struct Texts {
        std::string_view source;
        std::string_view answer;
    };
    // An entry is where its texts are. Below texts_.size(): the start of its key in the settings'
    // bytes, whose line is read again when asked for (four bytes an entry, for a memory may be
    // large). From there on: its place in decoded_, where the source and the answer follow their
    // sizes (texts that do not read as they are stored, and entries given as texts).
    Texts textsOf(std::uint32_t entry) const;
    // Adds to each entry's count the trigrams of query (sorted, each once) it has.
    template <typename Count>
    void countShared(const std::vector<std::uint32_t>& query, std::vector<Count>& hits) const;
    void add(std::string_view source, std::string_view answer);
    void buildPostings();

    std::shared_ptr<const std::string> settingsBytes_;
    std::string_view texts_; // the settings' bytes
    std::string decoded_;
    std::vector<std::uint32_t> entries_;
    std::uint32_t listOf(std::uint32_t gram) const;
    std::uint32_t addList(std::uint32_t gram, std::uint32_t list);
    std::vector<std::uint64_t> gramSlots_; // trigram + 1 beside its list (from 1); 0: an empty slot
    std::vector<std::size_t> listStarts_;  // by list, and the end of the last
    std::vector<std::uint8_t> lists_;      // entry numbers ascending, each as a varint of its distance
};

// The index built on its own thread from the settings file, so that a load shows its first entry
// at once; until it is ready there are no suggestions. Given the file's bytes as read (an answer
// memory that reads as they do), the index shares them instead of reading the file again.
class BackgroundSuggestions {
  public:
    explicit BackgroundSuggestions(const std::string& settingsFile,
                                   std::shared_ptr<const std::string> settingsBytes = nullptr);
    std::vector<Suggestion> suggest(std::string_view source) const;
    void wait() const; // until the index is built (tests, benchmarks)

  private:
    std::shared_future<std::shared_ptr<const SuggestionIndex>> index_;
};

} // namespace parlavo
