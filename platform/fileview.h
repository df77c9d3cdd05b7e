#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace parlavo {

// Character attributes the file view decorations use; an unset field is left as it is.
struct ViewFormat {
    std::optional<int> points;
    std::optional<bool> bold;
    std::optional<std::uint32_t> background; // COLORREF, 0x00BBGGRR
};

// The read-only view of the Translated file. It holds the file line for line and is addressed by
// file line (0-based) and byte column within that line, so a key is always found by its entry's
// line, never by a text search. The implementation maps file lines to its own positions (a lone CR
// or LF inside a value may break a line on screen) and keeps that map right after a replacement.
class FileView {
  public:
    virtual ~FileView() = default;
    // The whole file as UTF-8 text, split into lines at lineEnd ("\r\n" or "\n"); columns count
    // bytes of that text. The view may keep bytes instead of a copy of what it shows.
    virtual void setContent(std::shared_ptr<const std::string> bytes, std::string_view lineEnd) = 0;
    void setContent(std::string_view bytes, std::string_view lineEnd) {
        setContent(std::make_shared<const std::string>(bytes), lineEnd);
    }
    virtual int lineCount() const = 0;
    virtual std::string lineText(int line) const = 0;
    virtual void formatRange(int line, int column, int length, const ViewFormat& format) = 0;
    virtual void selectRange(int line, int column, int length) = 0;
    // Replaces the bytes from column to the end of the line by text.
    virtual void replaceToLineEnd(int line, int column, std::string_view text) = 0;
    virtual void setRedraw(bool on) = 0;
    // Decorates lines as they come into sight: decorate(first, last) is called (with first <= last)
    // for the lines about to be seen that it has not decorated yet, now and whenever the view scrolls,
    // so a large file costs no more than a screenful. Replaces an earlier decorator; a new content
    // drops it.
    virtual void setDecorator(std::function<void(int first, int last)> decorate) = 0;
};

} // namespace parlavo
