#pragma once

#include "platform/status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parlavo {

inline constexpr std::string_view kSettingsSection = "Settings";
inline constexpr std::string_view kSettingsFileName = "Parlavo.ini";

// The settings file: "Parlavo.ini" in the current working directory, formed anew at every access
// so that a change of folder moves every later read and write.
std::string settingsPath();

// [Settings] of settingsPath(): the key's text, "" when absent.
std::string readSetting(std::string_view key);
Status writeSetting(std::string_view key, std::string_view value);

// The program's number reading: leading blanks, tabs and line feeds skipped; a decimal number with
// optional sign and fraction, or &H (hex), &O / &Q (octal), &B (binary) in either case; anything
// else reads as 0. Rounded half to even into 32 bits; values beyond the 32-bit range read as the
// nearest 32-bit value. Exponents are not read ("1e3" is 1).
std::int32_t readNumber(std::string_view text);
// Decimal, no leading blank, "-" for negative values.
std::string formatNumber(std::int64_t value);

// The switches of the translator's tools: on unless [Settings] gives the key a value reading as 0.
inline constexpr std::string_view kAnswerChecksSetting = "AnswerChecks";
inline constexpr std::string_view kChangedEnglishSetting = "ChangedEnglish";
inline constexpr std::string_view kSuggestionsSetting = "Suggestions";
bool settingOn(const std::string& settingsFile, std::string_view key);
bool settingTextOn(std::string_view text); // the same rule for a value already read

struct DisplaySettings {
    std::string Font = "Arial";
    std::int32_t Size = 8;
    std::uint32_t Color = 0;
    std::uint32_t HighlightColor = 65535;
    std::uint32_t BGColor = 13160660;
};

class IniDocument;

// Reads Font, Size, Color, HighlightColor and BGColor of the settings with their defaults.
DisplaySettings loadDisplaySettings(const IniDocument& settings);

struct LanguagePaths {
    std::string english;
    std::string translated;
};
// For a working directory ending in "lang": its English.lng and Translated.lng; ending in "plugins":
// its Plugins_English.lng and Plugins_Translated.lng; otherwise nothing.
std::optional<LanguagePaths> defaultLanguagePaths(const std::string& directory);
std::optional<LanguagePaths> defaultLanguagePaths();

} // namespace parlavo
