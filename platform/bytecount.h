#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace parlavo {

// How often byte occurs in text. Counted in blocks of 255 bytes into a one-byte counter, which
// compilers turn into vector code (several times faster than std::count on large files).
inline std::size_t countByte(std::string_view text, char byte) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t blockEnd = std::min(text.size(), at + 255);
        unsigned char inBlock = 0;
        for (; at < blockEnd; ++at) {
            inBlock += text[at] == byte ? 1 : 0;
        }
        count += inBlock;
    }
    return count;
}

// How often token occurs in text, counting occurrences that do not overlap.
inline std::size_t countText(std::string_view text, std::string_view token) {
    std::size_t count = 0;
    for (std::size_t at = text.find(token); at != std::string_view::npos;
         at = text.find(token, at + token.size())) {
        ++count;
    }
    return count;
}

} // namespace parlavo
