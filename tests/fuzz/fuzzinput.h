#pragma once

// What the fuzz targets share: the input cut into the pieces a target needs, and the stop when a
// property breaks (libFuzzer keeps the input as a crash; the replay test fails).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace parlavo::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    bool empty() const { return rest_.empty(); }
    // The next piece: its length is the next two bytes (little-endian), cut to what is left.
    std::string_view piece() {
        std::size_t length = 0;
        for (int shift = 0; shift < 16 && !rest_.empty(); shift += 8) {
            length |= static_cast<std::size_t>(static_cast<unsigned char>(rest_.front())) << shift;
            rest_.remove_prefix(1);
        }
        return take(length);
    }
    std::string_view rest() { return take(rest_.size()); }

  private:
    std::string_view take(std::size_t length) {
        const std::string_view taken = rest_.substr(0, length);
        rest_.remove_prefix(taken.size());
        return taken;
    }
    std::string_view rest_;
};

inline void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", property);
        std::abort();
    }
}

// A line of a text as the INI reader splits it: CR LF, a lone LF and a lone CR each end a line.
struct TextLine {
    std::string_view text;
    std::string_view end; // empty on a last line without a line end
    bool operator==(const TextLine&) const = default;
};

inline std::vector<TextLine> splitTextLines(std::string_view bytes) {
    std::vector<TextLine> lines;
    while (!bytes.empty()) {
        const std::size_t stop = bytes.find_first_of("\r\n");
        if (stop == std::string_view::npos) {
            lines.push_back({bytes, {}});
            break;
        }
        const std::size_t endSize = bytes.substr(stop, 2) == "\r\n" ? 2 : 1;
        lines.push_back({bytes.substr(0, stop), bytes.substr(stop, endSize)});
        bytes.remove_prefix(stop + endSize);
    }
    return lines;
}

} // namespace parlavo::fuzz
