#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace parlavo {

// How often byte occurs in text. With SSE2, sixteen bytes at a time: each matching byte adds one
// to its lane's counter, and the counters are summed before they can overflow. Otherwise eight at a
// time: each byte equal to byte becomes 0x80 in the word (exactly, with no carries between bytes),
// and those are added up by one multiplication.
inline std::size_t countByte(std::string_view text, char byte) {
    std::size_t count = 0;
    std::size_t at = 0;
#if defined(__SSE2__) && defined(__x86_64__)
    constexpr std::size_t kMostSteps = 255; // a lane's counter is one byte
    const __m128i wanted = _mm_set1_epi8(byte);
    while (text.size() - at >= 16) {
        __m128i lanes = _mm_setzero_si128();
        const std::size_t steps = std::min(kMostSteps, (text.size() - at) / 16);
        for (std::size_t step = 0; step < steps; ++step, at += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(bytes, wanted)); // a match is -1
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si64(sums) +
                                          _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#else
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t pattern = 0x0101010101010101ull * static_cast<unsigned char>(byte);
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, 8);
        word ^= pattern; // the bytes equal to byte are now zero
        const std::uint64_t nonZero = ((word & kLow7) + kLow7) | word;
        const std::uint64_t flags = (~nonZero & ~kLow7) >> 7; // one 1 per matching byte
        count += static_cast<std::size_t>((flags * 0x0101010101010101ull) >> 56);
    }
#endif
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
