#pragma once

#include "lang/inilines.h"
#include "lang/textstore.h"
#include "platform/byteordermark.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// One line of a language file, as views of the file's text. Key lines carry section, key and value
// (key and value without the spaces around them); header and other lines keep only their raw text.
struct LanguageLine {
    std::string_view text; // the raw line without its line end
    std::string_view section;
    std::string_view key;
    std::string_view value;
    bool isKeyLine = false;
    ini::LineEnd end = ini::kNoEnd; // the line's own end (none for the last line)
};

// A language file in memory: every line in file order (never empty), the number of key lines, and
// the line end the file uses most ("\r\n" on a tie or when it has none), which lines added to it
// and a rewrite after it take. The lines are views of the file's bytes, held once, and of the texts
// of changed lines; copies share both, so a line stays valid as long as any copy of its file.
struct LanguageFile {
    std::vector<LanguageLine> lines;
    int keyCount = 0;
    std::string_view lineEnd = ini::kLineEnds[ini::kCrLf];

    // Gives key line i a new text (its key part unchanged), and the value read from it.
    void setKeyLineText(std::size_t i, std::string_view text);

    std::shared_ptr<const std::string> bytes;
    std::shared_ptr<TextStore> changedTexts;
};

// Splits and classifies bytes by the language-file rules. CR LF, a lone LF and a lone CR each end a
// line, as the host program's reader sees them. A UTF-8 byte-order mark at the very start is
// skipped when the first line is classified and kept in that line's text.
LanguageFile parseLanguageFile(std::string bytes);

// True when a key line with this text (a value put after the key of a line of key) still reads back
// as a key line of key, in its own section: the loader sees no header in it, and the INI reader
// sees a header only where the key part alone already reads as one. firstLine: the file's line 1.
bool keyLineReadsBack(std::string_view text, std::string_view key, bool firstLine);

// Reads a language file from disk. A missing or unreadable file reads as an empty file (one empty
// line). Nothing is created or changed on disk.
LanguageFile loadLanguageFile(const std::string& path);

} // namespace parlavo
