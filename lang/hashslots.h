#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

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

// Moves the slots into a table of size slots (0 is an empty slot): each is placed by the hash's
// high half it keeps.
inline void growSlots(std::vector<std::uint64_t>& slots, std::size_t size) {
    std::vector<std::uint64_t> old(size, 0);
    old.swap(slots);
    for (const std::uint64_t slot : old) {
        if (slot == 0) {
            continue;
        }
        std::size_t at = homeSlot(slot, size);
        while (slots[at] != 0) {
            at = nextSlot(at, size);
        }
        slots[at] = slot;
    }
}

} // namespace parlavo
