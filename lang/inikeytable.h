#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace parlavo {

// Hashing bytes as they are, eight at a time.
std::uint64_t plainHash(std::string_view text);

// Hashing and comparing names without regard to ASCII letter case, with no folded copies.
std::uint64_t caseBlindHash(std::string_view text);
bool caseBlindEqual(std::string_view a, std::string_view b);

struct CaseBlindHash {
    std::size_t operator()(std::string_view text) const { return caseBlindHash(text); }
};
struct CaseBlindEqual {
    bool operator()(std::string_view a, std::string_view b) const { return caseBlindEqual(a, b); }
};

// The key lines of an INI file by (section number, key), keys matched without regard to ASCII
// case. Keys that differ only in case form one group, kept in the order they were added. The
// table holds views of the keys: their bytes must stay alive and unchanged while it is used.
// Open addressing over one array, so a table of many keys is a few big blocks, not one per key.
class KeyTable {
  public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    void reserve(std::size_t keys);
    void add(std::uint32_t section, std::string_view key, std::uint32_t line);
    // For many keys at once: addLater only notes the key, settle puts every noted key in the table
    // (fetching the slots ahead, which makes a large table several times faster to fill). Lookups
    // see a noted key only after settle.
    void addLater(std::uint32_t section, std::string_view key, std::uint32_t line);
    void settle();

    // The first entry of the group of key in section, or kNone.
    std::uint32_t findGroup(std::uint32_t section, std::string_view key) const;
    // The next entry of the same group, or kNone.
    std::uint32_t next(std::uint32_t entry) const { return entries_[entry].next; }
    std::uint32_t line(std::uint32_t entry) const { return entries_[entry].line; }

  private:
    struct Entry {
        std::string_view key;
        std::uint32_t section;
        std::uint32_t line;
        std::uint32_t next; // the next entry of the group
        std::uint32_t tail; // in a group's first entry: its last entry
    };
    std::uint32_t find(std::uint64_t hash, std::uint32_t section, std::string_view key,
                       std::size_t* slot) const;
    void grow();
    void place(std::uint32_t entry, std::uint64_t hash);

    std::vector<Entry> entries_;
    // Open addressing: the high half of a group's hash beside its first entry + 1 (0: an empty
    // slot), so a probe reads an entry only when the hashes agree.
    std::vector<std::uint64_t> slots_;
    std::vector<std::uint64_t> noted_; // the hashes of the entries added later, not yet placed
};

} // namespace parlavo
