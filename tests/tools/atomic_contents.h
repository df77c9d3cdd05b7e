#pragma once

#include <string>

namespace parlavo::test {

// The two contents the crash-safety test alternates: a few megabytes each, of different sizes, so
// that any mix or cut of them is told apart from both.
inline std::string atomicTestContent(bool newer) {
    const std::string line = newer ? "NEW content, a somewhat longer line number " : "old line ";
    const int lines = newer ? 90000 : 200000;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(lines) * (line.size() + 8));
    for (int i = 0; i < lines; ++i) {
        bytes += line;
        bytes += std::to_string(i);
        bytes += '\n';
    }
    return bytes;
}

} // namespace parlavo::test
