#include "lang/inikeytable.h"

#include "lang/hashslots.h"

#include <bit>
#include <cstring>

namespace parlavo {

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;

std::uint64_t load8(const char* at) {
    std::uint64_t word = 0;
    std::memcpy(&word, at, 8);
    return word;
}

std::uint64_t load4(const char* at) {
    std::uint32_t word = 0;
    std::memcpy(&word, at, 4);
    return word;
}

// A text of at most eight bytes as one word, in at most two loads: four bytes from each end (they
// may overlap), or the first, middle and last byte of a shorter text, which are all of its bytes.
std::uint64_t loadShort(const char* at, std::size_t count) {
    if (count >= 4) {
        return load4(at) | (load4(at + count - 4) << 32);
    }
    if (count == 0) {
        return 0;
    }
    const auto byte = [&](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(at[i])}; };
    return byte(0) | (byte(count / 2) << 8) | (byte(count - 1) << 16);
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

// Two lanes of sixteen bytes a step, so the multiplications of neighbouring words overlap. The last
// step reads the text's last sixteen bytes (overlapping the step before; the length is in the
// seed), and a text of up to sixteen bytes is one step, so no byte is read on its own.
template <typename Fold> std::uint64_t hashWords(std::string_view text, Fold fold) {
    std::uint64_t a = 0x243F6A8885A308D3ull ^ text.size();
    std::uint64_t b = 0x13198A2E03707344ull;
    const auto step = [&](std::uint64_t low, std::uint64_t high) {
        a = (a ^ fold(low)) * 0x9E3779B97F4A7C15ull;
        b = (b ^ fold(high)) * 0xC2B2AE3D27D4EB4Full;
        a ^= a >> 29;
        b ^= b >> 31;
    };
    const char* const at = text.data();
    const std::size_t size = text.size();
    if (size > 16) {
        for (std::size_t i = 0; i + 16 < size; i += 16) {
            step(load8(at + i), load8(at + i + 8));
        }
        step(load8(at + size - 16), load8(at + size - 8));
    } else if (size > 8) {
        step(load8(at), load8(at + size - 8));
    } else {
        step(loadShort(at, size), 0);
    }
    return mix(a ^ std::rotl(b, 23));
}

bool sameFolded(std::uint64_t a, std::uint64_t b) {
    return a == b || foldWord(a) == foldWord(b);
}

} // namespace

std::uint64_t plainHash(std::string_view text) {
    return hashWords(text, [](std::uint64_t word) { return word; });
}

std::uint64_t edgeHash(std::string_view text) {
    const char* const at = text.data();
    const std::size_t size = text.size();
    const std::uint64_t first = size >= 8 ? load8(at) : loadShort(at, size);
    const std::uint64_t last = size >= 8 ? load8(at + size - 8) : 0;
    return mix((first * 0x9E3779B97F4A7C15ull) ^ std::rotl(last * 0xC2B2AE3D27D4EB4Full, 29) ^ size);
}

// Every byte with its 0x20 bit set: a letter's two cases become one, and texts that differ only in
// letter case hash alike (a few other bytes meet too, which the comparison then tells apart).
std::uint64_t caseBlindHash(std::string_view text) {
    return hashWords(text, [](std::uint64_t word) { return word | (0x20 * kOnes); });
}

bool caseBlindEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    const std::size_t size = a.size();
    if (size < 8) {
        return sameFolded(loadShort(a.data(), size), loadShort(b.data(), size));
    }
    for (std::size_t at = 0; at + 8 < size; at += 8) {
        if (!sameFolded(load8(a.data() + at), load8(b.data() + at))) {
            return false;
        }
    }
    return sameFolded(load8(a.data() + size - 8), load8(b.data() + size - 8));
}

constexpr std::uint64_t kLineBits = 0xFFFFFFFFull;

void KeyTable::reserve(std::size_t keys) {
    const std::size_t size = slotsFor(keys);
    if (size <= slots_.size()) {
        return;
    }
    growSlots(slots_, size);
}

// The first line of the group, or kNoLine.
KeyTable::LineId KeyTable::find(std::uint64_t hash, std::uint32_t section, std::string_view key) const {
    if (slots_.empty()) {
        return ini::kNoLine;
    }
    const std::size_t size = slots_.size();
    for (std::size_t at = homeSlot(hash, size);; at = nextSlot(at, size)) {
        const std::uint64_t stored = slots_[at];
        if (stored == 0) {
            return ini::kNoLine;
        }
        if ((stored & ~kLineBits) == (hash & ~kLineBits)) {
            const auto line = static_cast<LineId>((stored & kLineBits) - 1);
            if (reader_->sectionOf(line) == section && caseBlindEqual(reader_->keyOf(line), key)) {
                return line;
            }
        }
    }
}

// The line starts a group, or joins the group of its key; the two lines' keys are read only when
// their hashes agree.
void KeyTable::place(const Soon& soon) {
    if (slotsFull(count_ + 1, slots_.size())) {
        reserve(count_ == 0 ? 8 : 2 * count_);
    }
    const std::size_t size = slots_.size();
    for (std::size_t at = homeSlot(soon.hash, size);; at = nextSlot(at, size)) {
        const std::uint64_t stored = slots_[at];
        if (stored == 0) {
            slots_[at] = (soon.hash & ~kLineBits) | (std::uint64_t{soon.line} + 1);
            ++count_;
            return;
        }
        const auto group = static_cast<LineId>((stored & kLineBits) - 1);
        if ((stored & ~kLineBits) == (soon.hash & ~kLineBits) &&
            reader_->sectionOf(group) == reader_->sectionOf(soon.line) &&
            caseBlindEqual(reader_->keyOf(group), reader_->keyOf(soon.line))) {
            later_[group].push_back(soon.line);
            return;
        }
    }
}

void KeyTable::add(std::uint32_t section, std::string_view key, LineId line) {
    settle();
    place({withSection(caseBlindHash(key), section), line});
}

void KeyTable::addSoon(std::uint32_t section, std::string_view key, LineId line) {
    if (soonCount_ == kAhead) {
        place(soon_[soonFirst_]);
        soonFirst_ = (soonFirst_ + 1) % kAhead;
        --soonCount_;
    }
    if (section != soonSection_) { // neighbouring keys mostly share their section
        soonSection_ = section;
        soonSectionHash_ = withSection(0, section);
    }
    const Soon soon{caseBlindHash(key) ^ soonSectionHash_, line};
#if defined(__GNUC__)
    if (!slots_.empty()) {
        __builtin_prefetch(&slots_[homeSlot(soon.hash, slots_.size())]);
    }
#endif
    soon_[(soonFirst_ + soonCount_) % kAhead] = soon;
    ++soonCount_;
}

void KeyTable::settle() {
    for (; soonCount_ > 0; --soonCount_) {
        place(soon_[soonFirst_]);
        soonFirst_ = (soonFirst_ + 1) % kAhead;
    }
}

KeyTable::LineId KeyTable::findGroup(std::uint32_t section, std::string_view key) const {
    return find(withSection(caseBlindHash(key), section), section, key);
}

const std::vector<KeyTable::LineId>& KeyTable::laterLines(LineId first) const {
    static const std::vector<LineId> kNone;
    const auto found = later_.find(first);
    return found != later_.end() ? found->second : kNone;
}

std::vector<KeyTable::LineId> KeyTable::allLaterLines() const {
    std::vector<LineId> lines;
    for (const auto& [first, later] : later_) {
        lines.insert(lines.end(), later.begin(), later.end());
    }
    return lines;
}

} // namespace parlavo
