#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// Lines of a legacy-encoded file that an earlier version wrote as UTF-8: they hold non-ASCII text
// that is valid UTF-8. Lines end at CR LF, LF and a lone CR; numbers are 1-based.
std::vector<int> findUtf8Lines(std::string_view bytes);

// Converts those lines of bytes (as findUtf8Lines gave them) from UTF-8 into encoding, keeping every
// other byte. A line the encoding cannot hold stays as it is; returns how many stayed.
std::size_t convertUtf8Lines(std::string& bytes, const std::vector<int>& lines, std::string_view encoding);

} // namespace parlavo
