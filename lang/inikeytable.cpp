#include "lang/inikeytable.h"

#include <cstring>

namespace parlavo {

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;

// Up to eight bytes of text from at, as one word (missing bytes are zero).
std::uint64_t loadWord(const char* at, std::size_t count) {
    std::uint64_t word = 0;
    if (count >= 8) {
        std::memcpy(&word, at, 8);
        return word;
    }
    for (std::size_t i = 0; i < count; ++i) {
        word |= std::uint64_t{static_cast<unsigned char>(at[i])} << (8 * i);
    }
    return word;
}

// Each byte 'A'..'Z' of the word becomes its lower-case letter; every other byte stays as it is.
std::uint64_t foldWord(std::uint64_t word) {
    const std::uint64_t low7 = word & (0x7F * kOnes);
    const std::uint64_t atLeastA = low7 + (0x80 - 'A') * kOnes;
    const std::uint64_t aboveZ = low7 + (0x80 - 'Z' - 1) * kOnes;
    const std::uint64_t upper = atLeastA & ~aboveZ & ~word & (0x80 * kOnes);
    return word | (upper >> 2);
}

std::uint64_t mix(std::uint64_t value) {
    value ^= value >> 33;
    value *= 0xFF51AFD7ED558CCDull;
    value ^= value >> 33;
    value *= 0xC4CEB9FE1A85EC53ull;
    value ^= value >> 33;
    return value;
}

std::uint64_t withSection(std::uint64_t keyHash, std::uint32_t section) {
    return keyHash ^ mix(section + 0x9E3779B97F4A7C15ull);
}

template <typename Fold> std::uint64_t hashWords(std::string_view text, Fold fold) {
    std::uint64_t hash = 0x243F6A8885A308D3ull ^ text.size();
    for (std::size_t at = 0; at < text.size(); at += 8) {
        hash = (hash ^ fold(loadWord(text.data() + at, text.size() - at))) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 29;
    }
    return mix(hash);
}

} // namespace

std::uint64_t plainHash(std::string_view text) {
    return hashWords(text, [](std::uint64_t word) { return word; });
}

std::uint64_t caseBlindHash(std::string_view text) {
    return hashWords(text, foldWord);
}

bool caseBlindEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t at = 0; at < a.size(); at += 8) {
        const std::size_t count = a.size() - at;
        if (foldWord(loadWord(a.data() + at, count)) != foldWord(loadWord(b.data() + at, count))) {
            return false;
        }
    }
    return true;
}

constexpr std::uint64_t kEntryBits = 0xFFFFFFFFull;

void KeyTable::reserve(std::size_t keys) {
    entries_.reserve(keys);
    std::size_t size = 16;
    while (size < 2 * keys) {
        size *= 2;
    }
    if (size <= slots_.size()) {
        return;
    }
    std::vector<std::uint64_t> old(size, 0);
    old.swap(slots_);
    // The groups keep their entries and chains; only their slots move.
    const std::size_t mask = slots_.size() - 1;
    for (const std::uint64_t slot : old) {
        if (slot == 0) {
            continue;
        }
        const Entry& first = entries_[(slot & kEntryBits) - 1];
        std::size_t at = withSection(caseBlindHash(first.key), first.section) & mask;
        while (slots_[at] != 0) {
            at = (at + 1) & mask;
        }
        slots_[at] = slot;
    }
}

// The first entry of the group, or kNone with *slot the empty slot where it would go.
std::uint32_t KeyTable::find(std::uint64_t hash, std::uint32_t section, std::string_view key,
                             std::size_t* slot) const {
    if (slots_.empty()) {
        return kNone;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const std::uint64_t stored = slots_[at];
        if (stored == 0) {
            if (slot != nullptr) {
                *slot = at;
            }
            return kNone;
        }
        if ((stored & ~kEntryBits) == (hash & ~kEntryBits)) {
            const auto index = static_cast<std::uint32_t>((stored & kEntryBits) - 1);
            const Entry& entry = entries_[index];
            if (entry.section == section && caseBlindEqual(entry.key, key)) {
                return index;
            }
        }
    }
}

void KeyTable::grow() {
    reserve(entries_.empty() ? 8 : entries_.size() * 2);
}

void KeyTable::add(std::uint32_t section, std::string_view key, std::uint32_t line) {
    settle();
    if (2 * (entries_.size() + 1) > slots_.size()) {
        grow();
    }
    const auto added = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back({key, section, line, kNone, added});
    place(added, withSection(caseBlindHash(key), section));
}

// Puts an entry that is already in entries_ in its slot, or at the end of its group.
void KeyTable::place(std::uint32_t entry, std::uint64_t hash) {
    const Entry& added = entries_[entry];
    std::size_t slot = 0;
    const std::uint32_t group = find(hash, added.section, added.key, &slot);
    if (group == kNone) {
        slots_[slot] = (hash & ~kEntryBits) | (std::uint64_t{entry} + 1);
    } else {
        entries_[entries_[group].tail].next = entry;
        entries_[group].tail = entry;
    }
}

void KeyTable::addLater(std::uint32_t section, std::string_view key, std::uint32_t line) {
    const auto added = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back({key, section, line, kNone, added});
    noted_.push_back(withSection(caseBlindHash(key), section));
}

void KeyTable::settle() {
    if (noted_.empty()) {
        return;
    }
    const std::size_t first = entries_.size() - noted_.size();
    if (2 * entries_.size() > slots_.size()) {
        reserve(entries_.size()); // moves the slots of the entries placed so far only
    }
    constexpr std::size_t kAhead = 8;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = 0; i < noted_.size(); ++i) {
#if defined(__GNUC__)
        if (i + kAhead < noted_.size()) {
            __builtin_prefetch(&slots_[noted_[i + kAhead] & mask]);
        }
#endif
        place(static_cast<std::uint32_t>(first + i), noted_[i]);
    }
    noted_.clear();
}

std::uint32_t KeyTable::findGroup(std::uint32_t section, std::string_view key) const {
    // Keys noted for later are not found before settle.
    return find(withSection(caseBlindHash(key), section), section, key, nullptr);
}

} // namespace parlavo
