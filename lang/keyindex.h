#pragma once

#include "lang/languagefile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace parlavo {

// Finds the first key line of a (section, key) pair in file order, compared byte for byte and
// case-sensitively, without scanning the file for each lookup. The index refers to the file's
// lines: the file must outlive it, and its lines keep their sections and keys while it is used.
class KeyLineIndex {
  public:
    explicit KeyLineIndex(const LanguageFile& file);

    // The 0-based position of the first key line with that section and key.
    std::optional<std::size_t> find(std::string_view section, std::string_view key) const;
    // The same, looking first at the first key line at or after hint (within a few lines): when
    // both files keep the same order, that is where the next key is, and no hashing is needed.
    std::optional<std::size_t> findFrom(std::size_t hint, std::string_view section,
                                        std::string_view key) const;

  private:
    // The slot of the pair: where its first line is, or the empty slot where it would go.
    std::size_t slotOf(std::uint64_t hash, std::string_view section, std::string_view key) const;

    const LanguageFile* file_;
    // Open addressing: the high half of the pair's hash beside the line's position + 1 (0: empty).
    std::vector<std::uint64_t> slots_;
    std::vector<bool> first_; // by line: the first key line of its pair
};

} // namespace parlavo
