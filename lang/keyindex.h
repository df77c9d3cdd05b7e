#pragma once

#include "lang/languagefile.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace parlavo {

// Finds the first key line of a (section, key) pair in file order, compared byte for byte and
// case-sensitively, without scanning the file for each lookup.
class KeyLineIndex {
  public:
    explicit KeyLineIndex(const LanguageFile& file);

    // The 0-based position of the first key line with that section and key.
    std::optional<std::size_t> find(std::string_view section, std::string_view key) const;

  private:
    std::unordered_map<std::string, std::size_t> first_;
};

} // namespace parlavo
