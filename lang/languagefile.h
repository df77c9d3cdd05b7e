#pragma once

#include "lang/inilines.h"
#include "lang/textstore.h"
#include "platform/byteordermark.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// One line of a language file, as views of the file's text. Key lines carry section, key and value
// (key and value without the spaces around them); header and other lines keep only their raw text.
// Kept small, for a file has many: the text, the section's name (shared by its lines) with the line
// end and the byte-order-mark flag in its address's low bits, and the position of the key line's
// first '=', from which key and value are read again when asked for.
class LanguageLine {
  public:
    LanguageLine() = default;
    LanguageLine(std::string_view text, ini::LineEnd end) : start_(text.data()), size_(sized(text)) {
        setEnd(end);
    }

    std::string_view text() const { return {start_, size_}; } // the raw line without its line end
    std::string_view section() const {
        const auto* name = reinterpret_cast<const std::string_view*>(tagged_ & ~kTagMask);
        return name != nullptr ? *name : std::string_view();
    }
    std::string_view key() const {
        if (!isKeyLine()) {
            return {};
        }
        std::string_view part(start_, std::min(equals_, size_));
        if ((tagged_ & kMarkBit) != 0) {
            part.remove_prefix(kByteOrderMark.size());
        }
        return withoutSpaces(part);
    }
    std::string_view value() const {
        return equals_ < size_ ? withoutSpaces(text().substr(equals_ + 1)) : std::string_view();
    }
    bool isKeyLine() const { return equals_ != kNotKey; }
    ini::LineEnd end() const { return static_cast<ini::LineEnd>(tagged_ & kEndMask); }

    // Makes this a key line of section (a view that outlives the line) whose first '=' is at equals
    // in text(). markSkipped: the text starts with a byte-order mark that is not part of the key.
    void setKey(const std::string_view* section, std::size_t equals, bool markSkipped) {
        tagged_ =
            reinterpret_cast<std::uintptr_t>(section) | (tagged_ & kEndMask) | (markSkipped ? kMarkBit : 0);
        equals_ = static_cast<std::uint32_t>(equals);
    }
    // A new text for a key line, with the same key part: the value is read from it.
    void setText(std::string_view text) {
        start_ = text.data();
        size_ = sized(text);
        equals_ = static_cast<std::uint32_t>(std::min(text.find('='), text.size()));
    }
    void setEnd(ini::LineEnd end) { tagged_ = (tagged_ & ~kEndMask) | end; }

    // Only the space character is stripped; tabs and every other byte stay.
    static std::string_view withoutSpaces(std::string_view text) {
        while (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        }
        while (!text.empty() && text.back() == ' ') {
            text.remove_suffix(1);
        }
        return text;
    }

  private:
    static constexpr std::uint32_t kNotKey = 0xFFFFFFFF; // beyond any line of the largest file
    static constexpr std::uintptr_t kEndMask = 3;
    static constexpr std::uintptr_t kMarkBit = 4;
    static constexpr std::uintptr_t kTagMask = kEndMask | kMarkBit;
    static_assert(alignof(std::string_view) > kTagMask, "a section's address leaves its low bits free");

    static std::uint32_t sized(std::string_view text) { return static_cast<std::uint32_t>(text.size()); }

    const char* start_ = "";
    std::uintptr_t tagged_ = 0; // the section name's address | mark bit | line end
    std::uint32_t size_ = 0;
    std::uint32_t equals_ = kNotKey;
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
// The same for bytes known to hold lineFeeds LF bytes.
LanguageFile parseLanguageFile(std::string bytes, std::size_t lineFeeds);

// True when a key line with this text (a value put after the key of a line of key) still reads back
// as a key line of key, in its own section: the loader sees no header in it, and the INI reader
// sees a header only where the key part alone already reads as one. firstLine: the file's line 1.
bool keyLineReadsBack(std::string_view text, std::string_view key, bool firstLine);
// True when the line key=value reads back (as keyLineReadsBack finds) for every value, the first
// line's aside: the key neither starts with "[" or a blank nor holds "=" or ends in a space, so the
// key decides alone how the line reads.
bool anyValueReadsBack(std::string_view key);

// Reads a language file from disk. A missing or unreadable file reads as an empty file (one empty
// line). Nothing is created or changed on disk.
LanguageFile loadLanguageFile(const std::string& path);

} // namespace parlavo
