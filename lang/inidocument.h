#pragma once

// The inside of IniDocument, shared by its parsing and editing (profile.cpp) and its reading and
// writing out (profileread.cpp).

#include "lang/inikeytable.h"
#include "lang/inilines.h"
#include "lang/profile.h"
#include "lang/textstore.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace parlavo {

namespace inidoc {

struct Section {
    // The last non-blank line of the section's first block; new keys go after it. A section ""
    // with nothing above the first header has none: its keys go to the top of the file.
    ini::LineId last = ini::kNoLine;
};

} // namespace inidoc

// The file's bytes stay in one buffer and the lines refer into it. An edited line refers to its new
// text instead; an added line is chained after the line it follows. Only a section's first block is
// indexed (of duplicate blocks the first wins); its key lines are in keys by section number.
struct IniDocument::Impl final : KeyTable::Reader {
    std::shared_ptr<const std::string> shared; // the bytes parsed, which never change
    std::string_view bytes;
    TextStore added;
    std::vector<ini::Line> lines;              // the parsed lines in file order, then the added ones
    std::vector<std::string_view> storedTexts; // of lines whose text is not where it was read
    std::size_t parsedCount = 0;
    std::vector<std::string_view> addedKeys; // by added line: the key it was added under
    std::vector<ini::LineId> addedOwners;    // by added line: the parsed line it follows (kNoLine: top)
    // The line added right after a line (added lines chain on, so adding a line never moves
    // another one): by added line, and for the few parsed lines that have one.
    std::vector<ini::LineId> addedNext;
    std::unordered_map<ini::LineId, ini::LineId> parsedNext;
    // Parsed lines whose text or line end changed since parse (in the order changed; repeats
    // allowed); every other parsed line reads as in bytes. When parsedInPlace, each parsed line's
    // start is its place in bytes (an empty line's too), so a run of unchanged lines is one range.
    std::vector<ini::LineId> touched;
    bool parsedInPlace = false;
    ini::LineId top = ini::kNoLine;      // the first line added above the parsed ones
    ini::LineId lastLine = ini::kNoLine; // the file's last line
    ini::LineEnd newLineEnd = ini::kCrLf;
    std::vector<inidoc::Section> sections;
    std::vector<bool> sectionsChanged; // by section number: a key line set since parse
    std::unordered_map<std::string_view, std::uint32_t, CaseBlindHash, CaseBlindEqual> sectionIds;
    std::vector<std::string_view> sectionNames; // by section number
    KeyTable keys{*this};
    bool changed = false;

    Impl() = default;
    Impl(const Impl&) = delete; // the key table reads this object's lines
    Impl& operator=(const Impl&) = delete;

    std::uint32_t sectionOf(ini::LineId line) const override { return lines[line].section; }
    std::string_view textOf(const ini::Line& line) const {
        return line.size == ini::kStoredText ? storedTexts[line.start]
                                             : std::string_view(bytes.data() + line.start, line.size);
    }
    std::string_view textOf(ini::LineId line) const { return textOf(lines[line]); }
    // Fetches the text of the parsed line a few lines after line, which the memory may take long to
    // give, for a walk through the lines in order.
    void fetchTextAhead(ini::LineId line) const {
#if defined(__GNUC__)
        if (constexpr ini::LineId kAhead = 6; line + kAhead < parsedCount) {
            const ini::Line& ahead = lines[line + kAhead];
            if (ahead.start < bytes.size()) {
                __builtin_prefetch(bytes.data() + ahead.start);
            }
        }
#endif
    }
    void setText(ini::Line& line, std::string_view text);
    void touch(ini::LineId line); // notes a parsed line as changed (see touched)
    std::string_view keyOf(ini::LineId line) const override;

    void load(std::size_t lineFeeds); // lineFeeds: the number of LF bytes in bytes
    void chooseLineEnd(const std::size_t (&counts)[std::size(ini::kLineEnds)]);
    std::pair<std::uint32_t, bool> sectionNamed(std::string_view name);
    std::optional<std::uint32_t> sectionId(std::string_view name) const; // of a section that is there
    ini::LineId firstLine() const;
    ini::LineId nextOf(ini::LineId line) const;
    void setNext(ini::LineId line, ini::LineId next);
    // Calls visit with each line in file order: the lines added at the top, then each parsed line
    // with the lines added after it.
    template <typename Visit> void eachInOrder(Visit&& visit) const;
    std::string_view readKey(ini::LineId line) const;
    ini::LineId lookup(std::string_view section, std::string_view key, bool exact) const;
    ini::LineId insertAfter(ini::LineId after, std::string_view text);
    void takeByteOrderMark(ini::Line& line, ini::LineId id);
    ini::LineId followerOf(ini::LineId after, ini::LineId owner) const;
    std::uint32_t addSection(std::string_view name);
    void replaceValue(ini::LineId line, std::string_view value);
    void markChanged(std::uint32_t section);
    void addKey(std::string_view sectionName, std::string_view key, std::string_view value);
    void set(std::string_view section, std::string_view key, std::string_view value, bool exact);
};

template <typename Visit> void IniDocument::Impl::eachInOrder(Visit&& visit) const {
    for (ini::LineId id = top; id != ini::kNoLine; id = nextOf(id)) {
        visit(id);
    }
    // The parsed lines followed by added ones, in file order, met as the parsed lines are walked.
    std::vector<std::pair<ini::LineId, ini::LineId>> followed(parsedNext.begin(), parsedNext.end());
    std::sort(followed.begin(), followed.end());
    auto nextFollowed = followed.begin();
    for (ini::LineId i = 0; i < parsedCount; ++i) {
        visit(i);
        if (nextFollowed != followed.end() && nextFollowed->first == i) {
            for (ini::LineId id = nextFollowed->second; id != ini::kNoLine; id = nextOf(id)) {
                visit(id);
            }
            ++nextFollowed;
        }
    }
}

} // namespace parlavo
