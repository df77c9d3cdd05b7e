#pragma once

#include "platform/files.h"
#include "platform/status.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// An INI file held in memory, parsed once. Reading matches section and key names without regard
// to ASCII letter case (the first match in file order wins) and returns the value trimmed of
// blanks and of one pair of enclosing quotes. A write changes only the one line it concerns, or
// adds one: a new key goes after the last non-blank line of its section's first block, a new
// section at the end of the file. Every other byte of the file stays as it was, line ends included.
// Lookups and writes go through indexes, so a long file costs no more per call than a short one.
class IniDocument {
  public:
    IniDocument();
    ~IniDocument();
    IniDocument(IniDocument&&) noexcept;
    IniDocument& operator=(IniDocument&&) noexcept;
    IniDocument(const IniDocument&);
    IniDocument& operator=(const IniDocument&);

    static IniDocument parse(std::string_view bytes);
    // The same, keeping the bytes given instead of a copy of them (for a large file just read).
    // lineFeeds: how many LF bytes it holds, when that is known.
    static IniDocument parseOwned(std::string bytes, std::optional<std::size_t> lineFeeds = std::nullopt);
    // The same, sharing bytes that never change (with another document parsed from them).
    static IniDocument parseShared(std::shared_ptr<const std::string> bytes,
                                   std::optional<std::size_t> lineFeeds = std::nullopt);
    std::string serialize() const;
    // The bytes the document was parsed from (without its changes), and the same to share.
    std::string_view parsedBytes() const;
    std::shared_ptr<const std::string> sharedBytes() const;
    // True when no key of the section was set since parse (the section reads as in parsedBytes).
    bool sectionAsRead(std::string_view section) const;
    // The same bytes as serialize, in pieces that refer to the document (valid until it changes):
    // runs of unchanged lines are one piece of the text parsed.
    std::vector<std::string_view> pieces() const;

    // The value, or nothing when the section or key is missing.
    std::optional<std::string> find(std::string_view section, std::string_view key) const;
    // The value, or "" when missing.
    std::string get(std::string_view section, std::string_view key) const;
    // Sets the key's value as written (the caller makes sure the value survives reading back, see
    // valueReadingBackAs). The key must be one plain INI
    // syntax can hold (no "=", no blanks around it, not starting with
    // "[" or ";"); other keys are the caller's to encode, as the answer memory does. A CR or LF in a
    // key or value is written as a space, so no write can split a line or add one.
    void set(std::string_view section, std::string_view key, std::string_view value);

    // Keys compared byte for byte instead (used by the answer memory, whose keys are encoded).
    std::optional<std::string> findExact(std::string_view section, std::string_view rawKey) const;
    void setExact(std::string_view section, std::string_view rawKey, std::string_view rawValue);

    // Each key line of the named section's first block that find and findExact read (the first of
    // its exact key there), in file order: its key and its value as stored (trimmed, without one
    // pair of enclosing quotes). The views stay valid while the document lives.
    // False when no key line can be in section (letter case aside): forEachEntry would visit nothing.
    bool mayHaveEntries(std::string_view section) const;
    void forEachEntry(std::string_view section,
                      const std::function<void(std::string_view key, std::string_view value)>& visit) const;
    // The same, up to kEntriesAtOnce entries at a time (their lookups can then overlap), each key
    // read only when asked for.
    struct Entry {
        std::string_view value;
        std::string_view beforeEquals; // the line's text up to its first "="
        bool firstLine = false;        // the file's first line, whose byte-order mark is no part of the key
        std::string_view key() const;
    };
    static constexpr std::size_t kEntriesAtOnce = 16;
    void forEachEntries(std::string_view section,
                        const std::function<void(std::span<const Entry>)>& visit) const;

    bool changed() const; // true after any set since parse (or since markSaved)
    void markSaved();     // the text has been written: changed() is false again

  private:
    struct Impl;
    explicit IniDocument(std::nullptr_t); // a document with no lines and no index yet
    std::unique_ptr<Impl> impl_;
};

// A file kept parsed for one operation and written once (atomically) at its end.
class ProfileFile {
  public:
    // A missing file opens empty; an unreadable existing file is an error.
    static Result<ProfileFile> open(const std::string& path);

    const std::string& path() const { return path_; }
    IniDocument& document() { return document_; }
    const IniDocument& document() const { return document_; }

    // Writes the file when anything changed; does nothing otherwise.
    Status save();
    // The same in the two steps of an atomic write: prepareSave writes the changed text aside
    // (nothing when nothing changed), commitSave puts it in the file's place. The document must not
    // change in between.
    Status prepareSave(AtomicWrite& write) const;
    Status commitSave(AtomicWrite& write);
    // The file's stamp when it was opened (taken before it was read) or last saved; nothing when the
    // system could not tell it or a save failed.
    const std::optional<FileStamp>& stamp() const { return stamp_; }

  private:
    std::string path_;
    IniDocument document_;
    std::optional<FileStamp> stamp_;
};

// The text to write for value so that reading gives value back: inside a pair of quotes when it has
// blanks at its edges or is itself enclosed in matching quotes, else value as it is.
std::string valueReadingBackAs(std::string_view value);

// Single reads and writes, each opening, changing and closing the file by itself. A value written
// by writeProfileString reads back unchanged.
std::string readProfileString(const std::string& path, std::string_view section, std::string_view key);
Status writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view value);

} // namespace parlavo
