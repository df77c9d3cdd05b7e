#include "lang/keyindex.h"

#include "lang/inikeytable.h"

namespace parlavo {

namespace {

constexpr std::uint64_t kLineBits = 0xFFFFFFFFull;

std::uint64_t pairHash(std::uint64_t sectionHash, std::string_view key) {
    return sectionHash ^ (plainHash(key) * 0x9E3779B97F4A7C15ull);
}

} // namespace

KeyLineIndex::KeyLineIndex(const LanguageFile& file) : file_(&file) {
    std::size_t keys = 0;
    for (const LanguageLine& line : file.lines) {
        keys += line.isKeyLine ? 1 : 0;
    }
    std::size_t size = 16;
    while (size < 2 * keys) {
        size *= 2;
    }
    slots_.assign(size, 0);
    // Neighbouring lines mostly share their section: its hash is worked out once for each run.
    const std::string* section = nullptr;
    std::uint64_t sectionHash = 0;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const LanguageLine& line = file.lines[i];
        if (!line.isKeyLine) {
            continue;
        }
        if (section == nullptr || line.section != *section) {
            section = &line.section;
            sectionHash = plainHash(line.section);
        }
        const std::uint64_t hash = pairHash(sectionHash, line.key);
        std::uint64_t& slot = slots_[slotOf(hash, line.section, line.key)];
        if (slot == 0) {
            slot = (hash & ~kLineBits) | (i + 1);
        }
    }
}

std::size_t KeyLineIndex::slotOf(std::uint64_t hash, std::string_view section, std::string_view key) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const std::uint64_t slot = slots_[at];
        if (slot == 0) {
            return at;
        }
        if ((slot & ~kLineBits) == (hash & ~kLineBits)) {
            const LanguageLine& line = file_->lines[(slot & kLineBits) - 1];
            if (line.key == key && line.section == section) {
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

} // namespace parlavo
