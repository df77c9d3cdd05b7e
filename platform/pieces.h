#pragma once

// Bytes given in pieces (views of texts held elsewhere), as the atomic writes write them out.

#include <cstddef>
#include <span>
#include <string_view>

namespace parlavo::fileparts {

std::size_t sizeOf(std::span<const std::string_view> pieces);

// How many bytes the two texts in pieces begin with alike. Pieces that are the same bytes in memory
// are not compared.
std::size_t samePrefix(std::span<const std::string_view> a, std::span<const std::string_view> b);

// Writes the pieces in order at the file's current place, many at a time.
bool writeAll(int fd, std::span<const std::string_view> pieces);

// Writes the pieces from byte from on (at that place in the file), and cuts the file there when it
// was longer (before: its size until now).
bool writeFrom(int fd, std::span<const std::string_view> pieces, std::size_t from, std::size_t before);

} // namespace parlavo::fileparts
