#include "lang/settings.h"

#include "lang/profile.h"
#include "platform/digits.h"
#include "platform/files.h"

#include <limits>

namespace parlavo {

namespace {

constexpr std::uint64_t kSaturated = std::uint64_t{1} << 40; // far beyond any 32-bit value

// Reads digits of the base as far as they go; the result saturates instead of overflowing.
std::uint64_t readDigits(std::string_view text, std::size_t& at, int base) {
    std::uint64_t value = 0;
    for (; at < text.size() && digitValue(text[at]) < base; ++at) {
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digitValue(text[at]));
        if (value > kSaturated) {
            value = kSaturated;
        }
    }
    return value;
}

std::int32_t clampToInt32(bool negative, std::uint64_t magnitude) {
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    if (negative) {
        return magnitude > kMax ? std::numeric_limits<std::int32_t>::min()
                                : -static_cast<std::int32_t>(magnitude);
    }
    return magnitude > kMax ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(magnitude);
}

// "&H1F", "&o17", "&Q17", "&b101": the digits after the letter in that base. at points after "&".
std::optional<std::int32_t> readPrefixedNumber(std::string_view text, std::size_t at) {
    if (at >= text.size()) {
        return std::nullopt;
    }
    int base = 0;
    switch (text[at]) {
    case 'H':
    case 'h':
        base = 16;
        break;
    case 'O':
    case 'o':
    case 'Q':
    case 'q':
        base = 8;
        break;
    case 'B':
    case 'b':
        base = 2;
        break;
    default:
        return std::nullopt;
    }
    ++at;
    return clampToInt32(false, readDigits(text, at, base));
}

// A decimal number with optional sign and fraction, rounded half to even. Done on the digits, so
// 2.5 and 0.1 + 0.4 style inexactness never enters.
std::int32_t readDecimal(std::string_view text, std::size_t at) {
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    std::uint64_t whole = readDigits(text, at, 10);
    if (at < text.size() && text[at] == '.') {
        ++at;
        const int first = at < text.size() && digitValue(text[at]) < 10 ? digitValue(text[at++]) : 0;
        bool moreThanZero = false;
        for (; at < text.size() && digitValue(text[at]) < 10; ++at) {
            moreThanZero = moreThanZero || text[at] != '0';
        }
        const bool roundUp = first > 5 || (first == 5 && (moreThanZero || whole % 2 == 1));
        whole += roundUp ? 1 : 0;
    }
    return clampToInt32(negative, whole);
}

} // namespace

std::string settingsPath() {
    const std::string folder = currentDirectory();
    // Without a known current directory the name stays relative (never the root folder).
    return (folder.empty() ? std::string(".") : folder) + pathSeparator() + std::string(kSettingsFileName);
}

std::string readSetting(std::string_view key) {
    return readProfileString(settingsPath(), kSettingsSection, key);
}

Status writeSetting(std::string_view key, std::string_view value) {
    return writeProfileString(settingsPath(), kSettingsSection, key, value);
}

std::int32_t readNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n')) {
        ++at;
    }
    if (at < text.size() && text[at] == '&') {
        return readPrefixedNumber(text, at + 1).value_or(0);
    }
    return readDecimal(text, at);
}

std::string formatNumber(std::int64_t value) {
    return std::to_string(value);
}

bool settingOn(const std::string& settingsFile, std::string_view key) {
    return settingTextOn(readProfileString(settingsFile, kSettingsSection, key));
}

bool settingTextOn(std::string_view text) {
    return text.empty() || readNumber(text) != 0;
}

DisplaySettings loadDisplaySettings(const IniDocument& file) {
    DisplaySettings settings;
    const std::string font = file.get(kSettingsSection, "Font");
    const std::int32_t size = readNumber(file.get(kSettingsSection, "Size"));
    const std::int32_t color = readNumber(file.get(kSettingsSection, "Color"));
    const std::int32_t highlight = readNumber(file.get(kSettingsSection, "HighlightColor"));
    const std::int32_t background = readNumber(file.get(kSettingsSection, "BGColor"));
    if (!font.empty()) {
        settings.Font = font;
    }
    if (size != 0) {
        settings.Size = size;
    }
    settings.Color = static_cast<std::uint32_t>(color);
    if (highlight != 0) {
        settings.HighlightColor = static_cast<std::uint32_t>(highlight);
    }
    if (background != 0) {
        settings.BGColor = static_cast<std::uint32_t>(background);
    }
    return settings;
}

std::optional<LanguagePaths> defaultLanguagePaths(const std::string& directory) {
    const std::string folder = directory + pathSeparator();
    if (directory.ends_with("lang")) {
        return LanguagePaths{folder + "English.lng", folder + "Translated.lng"};
    }
    if (directory.ends_with("plugins")) {
        return LanguagePaths{folder + "Plugins_English.lng", folder + "Plugins_Translated.lng"};
    }
    return std::nullopt;
}

std::optional<LanguagePaths> defaultLanguagePaths() {
    return defaultLanguagePaths(currentDirectory());
}

} // namespace parlavo
