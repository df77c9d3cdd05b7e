#pragma once

// Generated file pairs for the benchmarks: an English file, a Translated file and a settings file
// with an answer memory, shaped like a host program's real language files.

#include "platform/status.h"

#include <string>

namespace parlavo::bench {

inline constexpr const char* kEnglishName = "English.lng";
inline constexpr const char* kTranslatedName = "Translated.lng";
inline constexpr const char* kSettingsName = "Parlavo.ini";

// Utf8: both language files in UTF-8. Legacy: the English file in Windows-1252 and the Translated
// file in Windows-1251 (each declares its code page); the settings file is UTF-8 in both.
enum class PairEncoding { Utf8, Legacy };

struct Pair {
    std::string english;
    std::string translated;
    std::string settings;
};

// A pair of keyCount English keys in sections of varying length, with CR LF line ends, blank lines
// between groups of keys, comments, texts made of a small vocabulary (some words far more common
// than others, some whole texts repeated), a few duplicate keys and a few obsolete translations.
// About 10% of the keys lack a translation (missing or empty), about 2% are marked "UPDATE NEEDED";
// the answer memory holds 2.5 times as many entries as keys, among them half of the untranslated
// texts. The same keyCount and encoding always give the same bytes.
Pair makePair(int keyCount, PairEncoding encoding);

// Writes the three files into folder (which must exist) under the names above.
Status writePair(const Pair& pair, const std::string& folder);

} // namespace parlavo::bench
