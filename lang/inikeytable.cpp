#include "lang/inikeytable.h"

#include "lang/hashslots.h"

#include <bit>
#include <cstring>

namespace parlavo {

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;

// Up to eight bytes of text from at, as one word (missing bytes are zero). behind is how many
// bytes of the text lie before at: a short last piece is read as the text's last eight bytes,
// shifted, instead of byte by byte.
std::uint64_t loadWord(const char* at, std::size_t count, std::size_t behind) {
    std::uint64_t word = 0;
    if (count >= 8) {
        std::memcpy(&word, at, 8);
        return word;
    }
    if constexpr (std::endian::native == std::endian::little) {
        if (behind + count >= 8) {
            std::memcpy(&word, at + count - 8, 8);
            return word >> (8 * (8 - count));
        }
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

// Two lanes of sixteen bytes a step, so the multiplications of neighbouring words overlap.
template <typename Fold> std::uint64_t hashWords(std::string_view text, Fold fold) {
    std::uint64_t a = 0x243F6A8885A308D3ull ^ text.size();
    std::uint64_t b = 0x13198A2E03707344ull;
    std::size_t at = 0;
    for (; at + 16 <= text.size(); at += 16) {
        a = (a ^ fold(loadWord(text.data() + at, 8, at))) * 0x9E3779B97F4A7C15ull;
        b = (b ^ fold(loadWord(text.data() + at + 8, 8, at + 8))) * 0xC2B2AE3D27D4EB4Full;
        a ^= a >> 29;
        b ^= b >> 31;
    }
    for (; at < text.size(); at += 8) {
        a = (a ^ fold(loadWord(text.data() + at, text.size() - at, at))) * 0x9E3779B97F4A7C15ull;
        a ^= a >> 29;
    }
    return mix(a ^ std::rotl(b, 23));
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
        if (foldWord(loadWord(a.data() + at, count, at)) != foldWord(loadWord(b.data() + at, count, at))) {
            return false;
        }
    }
    return true;
}

constexpr std::uint64_t kLineBits = 0xFFFFFFFFull;

void KeyTable::reserve(std::size_t keys) {
    const std::size_t size = slotsFor(keys);
    if (size <= slots_.size()) {
        return;
    }
    growSlots(slots_, size);
}

// The first line of the group, or kNoLine with *slot the empty slot where it would go.
KeyTable::LineId KeyTable::find(std::uint64_t hash, std::uint32_t section, std::string_view key,
                                std::size_t* slot) const {
    if (slots_.empty()) {
        return ini::kNoLine;
    }
    const std::size_t size = slots_.size();
    for (std::size_t at = homeSlot(hash, size);; at = nextSlot(at, size)) {
        const std::uint64_t stored = slots_[at];
        if (stored == 0) {
            if (slot != nullptr) {
                *slot = at;
            }
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

void KeyTable::place(const Soon& key) {
    if (slotsFull(count_ + 1, slots_.size())) {
        reserve(count_ == 0 ? 8 : 2 * count_);
    }
    std::size_t slot = 0;
    const LineId group = find(key.hash, key.section, key.key, &slot);
    if (group == ini::kNoLine) {
        slots_[slot] = (key.hash & ~kLineBits) | (std::uint64_t{key.line} + 1);
        ++count_;
    } else {
        later_[group].push_back(key.line);
    }
}

void KeyTable::add(std::uint32_t section, std::string_view key, LineId line) {
    settle();
    place({withSection(caseBlindHash(key), section), section, line, key});
}

void KeyTable::addSoon(std::uint32_t section, std::string_view key, LineId line) {
    if (soonCount_ == kAhead) {
        place(soon_[soonFirst_]);
        soonFirst_ = (soonFirst_ + 1) % kAhead;
        --soonCount_;
    }
    const Soon soon{withSection(caseBlindHash(key), section), section, line, key};
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
    return find(withSection(caseBlindHash(key), section), section, key, nullptr);
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
