#pragma once

#include "lang/inilines.h"
#include "lang/textstore.h"
#include "platform/byteordermark.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// One line of a language file, as views of the file's text. Key lines carry section, key and value
// (key and value without the spaces around them); header and other lines keep only their raw text.
// Kept small (a text and four offsets in it, the section shared by its lines): a file has many.
class LanguageLine {
  public:
    LanguageLine() = default;
    LanguageLine(std::string_view text, ini::LineEnd end)
        : start_(text.data()), size_(sized(text)), end_(end) {}

    std::string_view text() const { return {start_, size_}; } // the raw line without its line end
    std::string_view section() const { return section_ != nullptr ? *section_ : std::string_view(); }
    std::string_view key() const { return {start_ + keyAt_, keySize_}; }
    std::string_view value() const { return {start_ + valueAt_, valueSize_}; }
    bool isKeyLine() const { return isKeyLine_; }
    ini::LineEnd end() const { return end_; } // the line's own end (none for the last line)

    // Makes this a key line of section (a view that outlives the line) with key and value, both
    // parts of text().
    void setKey(const std::string_view* section, std::string_view key, std::string_view value) {
        isKeyLine_ = true;
        section_ = section;
        keyAt_ = offsetOf(key);
        keySize_ = sized(key);
        setValue(value);
    }
    // A new text whose key part is the old one's, and the value read from it (a part of text).
    void setText(std::string_view text, std::string_view value) {
        start_ = text.data();
        size_ = sized(text);
        setValue(value);
    }
    void setEnd(ini::LineEnd end) { end_ = end; }

  private:
    static std::uint32_t sized(std::string_view text) { return static_cast<std::uint32_t>(text.size()); }
    std::uint32_t offsetOf(std::string_view part) const {
        return part.empty() ? 0 : static_cast<std::uint32_t>(part.data() - start_);
    }
    void setValue(std::string_view value) {
        valueAt_ = offsetOf(value);
        valueSize_ = sized(value);
    }

    const char* start_ = "";
    const std::string_view* section_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t keyAt_ = 0;
    std::uint32_t keySize_ = 0;
    std::uint32_t valueAt_ = 0;
    std::uint32_t valueSize_ = 0;
    bool isKeyLine_ = false;
    ini::LineEnd end_ = ini::kNoEnd;
};

// The largest language file: a line's text and its parts are measured in 32 bits.
inline constexpr std::size_t kLargestLanguageFile = 0xFFFFFFFFu;

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
    std::shared_ptr<std::deque<std::string_view>> sections; // the section names the lines point to
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
