#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace parlavo {

// The slots of the open-addressing tables of hashes. A table may have any number of slots and
// keeps at most two thirds of them in use (probes stay short, and a table is sized to what it holds
// rather than to the next power of two). A probe starts where the hash's high half, scaled to the
// table, points, and goes on slot by slot. The high half is also what a slot keeps to compare, so a
// table grows by moving its slots, without hashing its texts again.
inline std::size_t slotsFor(std::size_t entries) {
    constexpr std::size_t kFewest = 16;
    return std::max(kFewest, entries + entries / 2 + 1);
}

inline bool slotsFull(std::size_t entries, std::size_t slots) {
    return 3 * entries > 2 * slots;
}

inline std::size_t homeSlot(std::uint64_t hash, std::size_t slots) {
    return static_cast<std::size_t>(((hash >> 32) * slots) >> 32);
}

inline std::size_t nextSlot(std::size_t at, std::size_t slots) {
    return at + 1 == slots ? 0 : at + 1;
}

} // namespace parlavo
