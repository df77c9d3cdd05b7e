#pragma once

#include <string_view>

namespace parlavo {

// The UTF-8 byte-order mark, which some editors put in front of a file's first line.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

inline bool startsWithByteOrderMark(std::string_view bytes) {
    return bytes.starts_with(kByteOrderMark);
}

} // namespace parlavo
