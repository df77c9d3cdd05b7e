#pragma once

#include "lang/inilines.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace parlavo {

// Hashing bytes as they are, sixteen at a time.
std::uint64_t plainHash(std::string_view text);
// A hash of a text's size and its first and last eight bytes only: cheap, and for texts of one
// kind (answers, file lines) nearly as telling as the whole.
std::uint64_t edgeHash(std::string_view text);

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
// table holds line numbers only; it reads a line's section and key through the Reader (which must
// know them from when the line is added), so a table of many keys is one array, and the keys are
// never copied.
class KeyTable {
  public:
    using LineId = ini::LineId;

    class Reader {
      public:
        virtual std::uint32_t sectionOf(LineId line) const = 0;
        virtual std::string_view keyOf(LineId line) const = 0; // the key the line was added under

      protected:
        ~Reader() = default;
    };

    explicit KeyTable(const Reader& reader) : reader_(&reader) {}

    void reserve(std::size_t keys);
    void add(std::uint32_t section, std::string_view key, LineId line);
    // For many keys at once: addSoon may put a key in the table a few calls later (fetching its
    // slot ahead meanwhile, which makes a large table several times faster to fill); settle puts
    // in the rest. Lookups see a key only once it is in.
    void addSoon(std::uint32_t section, std::string_view key, LineId line);
    void settle();

    // The first line of the group of key in section, or kNoLine.
    LineId findGroup(std::uint32_t section, std::string_view key) const;
    // The group's other lines in the order they were added (none: an empty list).
    const std::vector<LineId>& laterLines(LineId first) const;
    // Every line that is not the first of its group (there are few), in no particular order.
    std::vector<LineId> allLaterLines() const;

  private:
    struct Soon {
        std::uint64_t hash;
        LineId line;
    };
    LineId find(std::uint64_t hash, std::uint32_t section, std::string_view key) const;
    void place(const Soon& soon);

    const Reader* reader_;
    std::size_t count_ = 0; // groups in the table
    // Open addressing: the high half of a group's hash beside its first line + 1 (0: an empty
    // slot), so a probe reads a line only when the hashes agree.
    std::vector<std::uint64_t> slots_;
    std::unordered_map<LineId, std::vector<LineId>> later_; // groups of more than one line
    static constexpr std::size_t kAhead = 16;
    Soon soon_[kAhead];
    std::size_t soonCount_ = 0;
    std::size_t soonFirst_ = 0;
    std::uint32_t soonSection_ = 0xFFFFFFFFu; // the section of the last key added soon
    std::uint64_t soonSectionHash_ = 0;       // and its part of the hash
};

} // namespace parlavo
