#pragma once

#include "platform/byteordermark.h"

#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// One line of a language file. Key lines carry section, key and value (key and value without the
// spaces around them); header and other lines keep only their raw text.
struct LanguageLine {
    std::string text; // the raw line without its line end
    std::string section;
    std::string key;
    std::string value;
    bool isKeyLine = false;
};

// A language file in memory: every line in file order (never empty), the number of key lines, and
// the line end the file uses ("\r\n", or "\n" for a file that holds LF but no CR LF at all).
struct LanguageFile {
    std::vector<LanguageLine> lines;
    int keyCount = 0;
    std::string lineEnd = "\r\n";
};

// Splits and classifies bytes by the language-file rules. A file with any CR LF is split at CR LF
// only; a file with LF but no CR LF is split at LF. A UTF-8 byte-order mark at the very start is
// skipped when the first line is classified and kept in that line's text.
LanguageFile parseLanguageFile(std::string_view bytes);

// Reads a language file from disk. A missing or unreadable file reads as an empty file (one empty
// line). Nothing is created or changed on disk.
LanguageFile loadLanguageFile(const std::string& path);

} // namespace parlavo
