#include "lang/keyindex.h"

#include "lang/hashslots.h"
#include "lang/inikeytable.h"

namespace parlavo {

namespace {

constexpr std::uint64_t kLineBits = 0xFFFFFFFFull;

std::uint64_t pairHash(std::uint64_t sectionHash, std::string_view key) {
    return sectionHash ^ (plainHash(key) * 0x9E3779B97F4A7C15ull);
}

} // namespace

KeyLineIndex::KeyLineIndex(const LanguageFile& file) : file_(&file), first_(file.lines.size(), false) {
    // The hashes first (neighbouring lines mostly share their section: its hash is worked out once
    // for each run of them), then the slots, fetched a few keys ahead.
    std::vector<std::pair<std::uint64_t, std::size_t>> keys;
    keys.reserve(static_cast<std::size_t>(file.keyCount));
    std::string_view section; // lines of one block view the same header text
    std::uint64_t sectionHash = plainHash(section);
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const LanguageLine& line = file.lines[i];
        if (!line.isKeyLine()) {
            continue;
        }
        if (line.section().data() != section.data() || line.section().size() != section.size()) {
            section = line.section();
            sectionHash = plainHash(section);
        }
        keys.emplace_back(pairHash(sectionHash, line.key()), i);
    }
    const std::size_t size = slotsFor(keys.size());
    slots_.assign(size, 0);
    constexpr std::size_t kAhead = 8;
    for (std::size_t k = 0; k < keys.size(); ++k) {
#if defined(__GNUC__)
        if (k + kAhead < keys.size()) {
            __builtin_prefetch(&slots_[homeSlot(keys[k + kAhead].first, size)]);
        }
#endif
        const auto [hash, i] = keys[k];
        const LanguageLine& line = file.lines[i];
        std::uint64_t& slot = slots_[slotOf(hash, line.section(), line.key())];
        if (slot == 0) {
            slot = (hash & ~kLineBits) | (i + 1);
            first_[i] = true;
        }
    }
}

std::size_t KeyLineIndex::slotOf(std::uint64_t hash, std::string_view section, std::string_view key) const {
    const std::size_t size = slots_.size();
    for (std::size_t at = homeSlot(hash, size);; at = nextSlot(at, size)) {
        const std::uint64_t slot = slots_[at];
        if (slot == 0) {
            return at;
        }
        if ((slot & ~kLineBits) == (hash & ~kLineBits)) {
            const LanguageLine& line = file_->lines[(slot & kLineBits) - 1];
            if (line.key() == key && line.section() == section) {
                return at;
            }
        }
    }
}

std::optional<std::size_t> KeyLineIndex::find(std::string_view section, std::string_view key) const {
    const std::uint64_t slot = slots_[slotOf(pairHash(plainHash(section), key), section, key)];
    if (slot == 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>((slot & kLineBits) - 1);
}

std::optional<std::size_t> KeyLineIndex::findFrom(std::size_t hint, std::string_view section,
                                                  std::string_view key) const {
    constexpr std::size_t kLook = 4;
    for (std::size_t i = hint; i < file_->lines.size() && i < hint + kLook; ++i) {
        const LanguageLine& line = file_->lines[i];
        if (line.isKeyLine()) {
            if (first_[i] && line.key() == key && line.section() == section) {
                return i;
            }
            break;
        }
    }
    return find(section, key);
}

} // namespace parlavo
