#pragma once

// How the INI reader sees one line, shared by the document and its key table.

#include "platform/byteordermark.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace parlavo::ini {

using LineId = std::uint32_t;
inline constexpr LineId kNoLine = 0xFFFFFFFFu;

enum LineEnd : std::uint8_t { kNoEnd, kCrLf, kLf, kCr };
inline constexpr std::string_view kLineEnds[] = {"", "\r\n", "\n", "\r"};

// One line: where its text is (without the line end). A key line of a section's first block knows
// its section's number. The text is size bytes of the file at start, or, when size is kStoredText,
// the document's stored text number start (new and edited texts).
struct Line {
    std::uint32_t start = 0;
    std::uint32_t size = 0;
    std::uint32_t section : 30 = 0;
    std::uint32_t end : 2 = kNoEnd;
};
inline constexpr std::uint32_t kStoredText = 0xFFFFFFFFu;

inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

inline std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

enum class LineKind { Blank, Comment, Header, Key };

struct Classified {
    LineKind kind = LineKind::Blank;
    std::string_view name; // section name of a header, key of a key line
};

namespace detail {

// The line as the rules read it: without a byte-order mark in front of the file's first line, trimmed.
inline std::string_view readable(std::string_view text, bool firstLine) {
    if (firstLine && startsWithByteOrderMark(text)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return trim(text);
}

// The kind of a readable line, with a header's name (a key line's key is left to the caller).
inline Classified kindOf(std::string_view readable) {
    if (readable.empty()) {
        return {LineKind::Blank, {}};
    }
    if (readable.front() == ';') {
        return {LineKind::Comment, {}};
    }
    if (readable.front() == '[') {
        const std::size_t close = readable.rfind(']');
        if (close != std::string_view::npos) {
            return {LineKind::Header, trim(readable.substr(1, close - 1))};
        }
    }
    return {LineKind::Key, {}};
}

} // namespace detail

// How a line reads. A UTF-8 byte-order mark in front of the file's first line is looked past.
inline Classified classify(std::string_view text, bool firstLine) {
    const std::string_view readable = detail::readable(text, firstLine);
    Classified what = detail::kindOf(readable);
    if (what.kind == LineKind::Key) {
        what.name = trim(readable.substr(0, readable.find('=')));
    }
    return what;
}

// Whether the line reads as a section header (classify's Header), found without reading a key.
inline bool readsAsHeader(std::string_view text, bool firstLine) {
    return detail::kindOf(detail::readable(text, firstLine)).kind == LineKind::Header;
}

// The key of a key line whose first "=" is at equals (as classify reads it): all before it, trimmed,
// a byte-order mark in front of the file's first line looked past.
inline std::string_view keyBefore(std::string_view text, std::size_t equals, bool firstLine) {
    std::string_view key = text.substr(0, equals);
    if (firstLine && startsWithByteOrderMark(key)) {
        key.remove_prefix(kByteOrderMark.size());
    }
    return trim(key);
}

// The same as classify for a line whose first "=" is known to be at equals (npos: it has none).
inline Classified classify(std::string_view text, bool firstLine, std::size_t equals) {
    const std::string_view readable = detail::readable(text, firstLine);
    Classified what = detail::kindOf(readable);
    if (what.kind == LineKind::Key) {
        what.name = equals == std::string_view::npos ? readable : keyBefore(text, equals, firstLine);
    }
    return what;
}

// The value of a key line whose first "=" is at equals: all after it, trimmed, without one pair of
// enclosing quotes.
inline std::string_view valueAfter(std::string_view text, std::size_t equals) {
    std::string_view value = trim(text.substr(equals + 1));
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\'')) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// The place of text's first "=" (npos when it has none), sixteen bytes at a time with SSE2.
inline std::size_t firstEquals(std::string_view text) {
    std::size_t at = 0;
#if defined(__SSE2__)
    const __m128i sign = _mm_set1_epi8('=');
    for (; text.size() - at >= 16; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        const auto signs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, sign)));
        if (signs != 0) {
            return at + static_cast<std::size_t>(std::countr_zero(signs));
        }
    }
#endif
    for (; at < text.size(); ++at) {
        if (text[at] == '=') {
            return at;
        }
    }
    return std::string_view::npos;
}

// The same for any line; nothing when it has no "=".
inline std::optional<std::string_view> valueOf(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return valueAfter(text, equals);
}

#if defined(__SSE2__)
namespace detail {

inline __m128i sixteenAt(const char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// The places of the CRs and LFs among sixteen bytes, a bit each.
inline unsigned lineBreaksIn(__m128i bytes) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                                                                _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')))));
}

} // namespace detail
#endif

// The first CR or LF at or after from (end when there is none), looked for sixteen bytes at a time
// with SSE2, else eight at a time.
inline const char* findLineBreak(const char* from, const char* end) {
#if defined(__SSE2__)
    for (; end - from >= 16; from += 16) {
        const unsigned found = detail::lineBreaksIn(detail::sixteenAt(from));
        if (found != 0) {
            return from + std::countr_zero(found);
        }
    }
#else
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kHighs = 0x8080808080808080ull;
        for (; end - from >= 8; from += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, from, 8);
            const std::uint64_t cr = word ^ (kOnes * '\r');
            const std::uint64_t lf = word ^ (kOnes * '\n');
            // The lowest flagged byte is the first zero byte of cr or lf, exactly.
            const std::uint64_t found = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs;
            if (found != 0) {
                return from + std::countr_zero(found) / 8;
            }
        }
    }
#endif
    while (from < end && *from != '\r' && *from != '\n') {
        ++from;
    }
    return from;
}

// The same, noting in equals the first "=" before the line break (nullptr when there is none):
// both are found in one pass over the line.
inline const char* findLineBreak(const char* from, const char* end, const char*& equals) {
    equals = nullptr;
#if defined(__SSE2__)
    const __m128i sign = _mm_set1_epi8('=');
    for (; end - from >= 16; from += 16) {
        const __m128i bytes = detail::sixteenAt(from);
        const unsigned breaks = detail::lineBreaksIn(bytes);
        const int breakAt = breaks != 0 ? std::countr_zero(breaks) : 16; // 16: none in the block
        if (equals == nullptr) {
            // Only the signs before the line break belong to the line.
            const auto signs =
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, sign))) & ((1u << breakAt) - 1);
            equals = signs != 0 ? from + std::countr_zero(signs) : nullptr;
        }
        if (breakAt < 16) {
            return from + breakAt;
        }
    }
    for (; from < end && *from != '\r' && *from != '\n'; ++from) {
        if (*from == '=' && equals == nullptr) {
            equals = from;
        }
    }
    return from;
#else
    const char* const stop = findLineBreak(from, end);
    equals = static_cast<const char*>(std::memchr(from, '=', static_cast<std::size_t>(stop - from)));
    return stop;
#endif
}

} // namespace parlavo::ini
