#include "lang/keyindex.h"

namespace parlavo {

namespace {

// The section's length in front keeps every (section, key) pair distinct, whatever bytes they hold.
std::string lookupKey(std::string_view section, std::string_view key) {
    std::string joined = std::to_string(section.size());
    joined += ':';
    joined += section;
    joined += key;
    return joined;
}

} // namespace

KeyLineIndex::KeyLineIndex(const LanguageFile& file) {
    first_.reserve(static_cast<std::size_t>(file.keyCount));
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const LanguageLine& line = file.lines[i];
        if (line.isKeyLine) {
            first_.try_emplace(lookupKey(line.section, line.key), i);
        }
    }
}

std::optional<std::size_t> KeyLineIndex::find(std::string_view section, std::string_view key) const {
    const auto found = first_.find(lookupKey(section, key));
    if (found == first_.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace parlavo
