#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace parlavo {

// Line breaks can never enter a line: they would split it and change the file's structure.
inline char withoutLineBreak(char c) {
    return c == '\r' || c == '\n' ? ' ' : c;
}

// The text of new and edited lines, in blocks that never move, so views of it stay valid.
class TextStore {
  public:
    // The parts joined, each CR or LF written as a space (a line's text holds neither anyway).
    std::string_view join(std::initializer_list<std::string_view> parts) {
        std::size_t size = 0;
        for (std::string_view part : parts) {
            size += part.size();
        }
        char* const start = allocate(size);
        char* at = start;
        for (std::string_view part : parts) {
            at = std::transform(part.begin(), part.end(), at, withoutLineBreak);
        }
        return {start, size};
    }
    std::string_view keep(std::string_view text) {
        char* const start = allocate(text.size());
        std::copy(text.begin(), text.end(), start);
        return {start, text.size()};
    }

  private:
    char* allocate(std::size_t size) {
        constexpr std::size_t kBlock = 64 * 1024;
        if (size > left_) {
            if (size > kBlock / 4) { // a long text gets a block of its own
                blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
                return blocks_.back().get();
            }
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlock));
            free_ = blocks_.back().get();
            left_ = kBlock;
        }
        char* const at = free_;
        free_ += size;
        left_ -= size;
        return at;
    }

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr;
    std::size_t left_ = 0;
};

} // namespace parlavo
