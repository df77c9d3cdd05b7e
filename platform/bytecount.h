#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace parlavo {

// How often byte occurs in text, eight bytes at a time: each byte equal to byte becomes 0x80 in
// the word (exactly, with no carries between bytes), and those are added up by one multiplication.
inline std::size_t countByte(std::string_view text, char byte) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t pattern = 0x0101010101010101ull * static_cast<unsigned char>(byte);
    std::size_t count = 0;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, 8);
        word ^= pattern; // the bytes equal to byte are now zero
        const std::uint64_t nonZero = ((word & kLow7) + kLow7) | word;
        const std::uint64_t flags = (~nonZero & ~kLow7) >> 7; // one 1 per matching byte
        count += static_cast<std::size_t>((flags * 0x0101010101010101ull) >> 56);
    }
    for (; at < text.size(); ++at) {
        count += text[at] == byte ? 1 : 0;
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
