#include "lang/answers.h"

#include "lang/answermemory.h"
#include "lang/inikeytable.h"
#include "lang/profile.h"
#include "platform/files.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>

namespace parlavo {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlankLine(std::string_view text) {
    return text.find_first_not_of(" \t\v") == std::string_view::npos;
}

// The section a header line opens, by the loader's rules (a byte-order mark on line 1 is skipped).
std::optional<std::string_view> headerName(const LanguageLine& line, std::size_t position) {
    std::string_view text = line.text;
    if (position == 0 && startsWithByteOrderMark(text)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        return text.substr(1, text.size() - 2);
    }
    return std::nullopt;
}

// Where a new key of each section goes: after the last non-blank line of the section's first block.
// The lines above the first header are the first block of the empty section.
char foldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Section names compared without regard to ASCII letter case, as the INI reader does.
struct CaseBlindLess {
    bool operator()(std::string_view a, std::string_view b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return foldCase(x) < foldCase(y); });
    }
};
using SectionPoints = std::map<std::string, std::size_t, CaseBlindLess>;

SectionPoints sectionInsertionPoints(const LanguageFile& file) {
    SectionPoints points;
    std::string_view current;
    bool collecting = true; // only the first block of each section counts
    points[""] = 0;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        if (const auto name = headerName(file.lines[i], i)) {
            current = *name;
            collecting = points.try_emplace(std::string(current), i + 1).second;
        } else if (collecting && !isBlankLine(file.lines[i].text)) {
            points[std::string(current)] = i + 1;
        }
    }
    return points;
}

constexpr std::string_view kBreaksLineStructure =
    "This answer cannot be saved: the line would read back as a section header.";

// A key line with the answer after its first "=", keeping the key exactly as it was written.
std::string withValue(std::string_view keyLine, std::string_view answer) {
    std::string line(keyLine.substr(0, keyLine.find('=') + 1));
    line += answer;
    return line;
}

// The first key line of each (section, key), names compared without regard to ASCII letter case.
class CaseBlindKeyLines {
  public:
    explicit CaseBlindKeyLines(const LanguageFile& file) {
        for (std::size_t i = 0; i < file.lines.size(); ++i) {
            if (file.lines[i].isKeyLine) {
                first_.try_emplace(folded(file.lines[i].section, file.lines[i].key), i);
            }
        }
    }
    std::optional<std::size_t> find(std::string_view section, std::string_view key) const {
        const auto found = first_.find(folded(section, key));
        return found != first_.end() ? std::optional<std::size_t>(found->second) : std::nullopt;
    }

  private:
    static std::string folded(std::string_view section, std::string_view key) {
        std::string text;
        text.reserve(section.size() + key.size() + 1);
        for (const char c : section) {
            text += foldCase(c);
        }
        text += '\0';
        for (const char c : key) {
            text += foldCase(c);
        }
        return text;
    }
    std::unordered_map<std::string, std::size_t> first_;
};

// The answers that need a new line: in an existing section (keyed by the position they are
// inserted before) or in a section new to the file.
struct Additions {
    SectionPoints sectionPoints;
    std::map<std::size_t, std::vector<std::string>> atLine;
    std::vector<std::string> newSectionOrder;
    std::map<std::string, std::vector<std::string>, CaseBlindLess> newSectionLines;
    std::set<std::pair<std::string, std::string>> added;
};

void addKeyLine(const LanguageFile& file, const PendingEntry& entry, std::string_view answer,
                Additions& additions) {
    if (!additions.added.emplace(entry.section, entry.key).second) {
        return; // already added for an earlier entry with the same section and key
    }
    if (additions.sectionPoints.empty()) {
        additions.sectionPoints = sectionInsertionPoints(file);
    }
    std::string keyLine = entry.key + "=" + std::string(answer);
    if (const auto at = additions.sectionPoints.find(entry.section); at != additions.sectionPoints.end()) {
        additions.atLine[at->second].push_back(std::move(keyLine));
        return;
    }
    auto& lines = additions.newSectionLines[entry.section];
    if (lines.empty()) {
        additions.newSectionOrder.push_back(entry.section);
    }
    lines.push_back(std::move(keyLine));
}

// Joins the lines again, each with its own line end, with the additions in their places; an added
// line takes the file's most used line end. New sections go at the end of the file, followed by a
// line end.
std::string assemble(const LanguageFile& file, Additions& additions) {
    const bool endsWithLineEnd = file.lines.back().text.empty();
    const std::size_t sectionsAt = endsWithLineEnd ? file.lines.size() - 1 : file.lines.size();
    for (const std::string& section : additions.newSectionOrder) {
        auto& atEnd = additions.atLine[sectionsAt];
        atEnd.push_back("[" + section + "]");
        const auto& keyLines = additions.newSectionLines[section];
        atEnd.insert(atEnd.end(), keyLines.begin(), keyLines.end());
    }
    std::vector<std::string> lines;
    std::vector<std::string_view> ends; // the end after each line of lines
    lines.reserve(file.lines.size() + 2 * additions.added.size() + 1);
    for (std::size_t i = 0; i <= file.lines.size(); ++i) {
        if (const auto found = additions.atLine.find(i); found != additions.atLine.end()) {
            lines.insert(lines.end(), found->second.begin(), found->second.end());
            ends.insert(ends.end(), found->second.size(), file.lineEnd);
        }
        if (i < file.lines.size()) {
            lines.push_back(file.lines[i].text);
            ends.push_back(ini::kLineEnds[file.lines[i].end]);
        }
    }
    if (!additions.newSectionOrder.empty() && !endsWithLineEnd) {
        lines.emplace_back();
        ends.emplace_back();
    }
    const auto front = additions.atLine.find(0);
    if (front != additions.atLine.end() && !front->second.empty() &&
        startsWithByteOrderMark(file.lines[0].text)) {
        lines[front->second.size()].erase(0, kByteOrderMark.size()); // the mark stays at the very start
        lines[0].insert(0, kByteOrderMark);
    }
    std::string bytes;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            // The file's last line gains a line end when lines are added after it.
            bytes += ends[i - 1].empty() ? std::string_view(file.lineEnd) : ends[i - 1];
        }
        bytes += lines[i];
    }
    return bytes;
}

std::optional<std::string> readTranslatedFile(const std::string& path, Status& status) {
    if (!fileExists(path)) {
        return std::string();
    }
    std::string error;
    std::optional<std::string> bytes = readWholeFile(path, &error);
    if (!bytes) {
        status = Status::failure("Cannot read the translation file " + path + ": " + error);
    }
    return bytes;
}

} // namespace

std::string renderTranslatedFile(const WorkList& work) {
    std::size_t size = 0;
    for (const std::string& line : work.outputLines) {
        size += line.size() + work.english.lineEnd.size();
    }
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : work.outputLines) {
        bytes += line;
        bytes += work.english.lineEnd;
    }
    return bytes;
}

Status writeTranslatedFile(const std::string& translatedPath, const WorkList& work) {
    return writeFileAtomically(translatedPath, renderTranslatedFile(work));
}

std::string backupPathFor(const std::string& translatedPath) {
    return translatedPath + "backup";
}

namespace {

std::size_t translationsIn(const std::string& path) {
    const std::optional<std::string> bytes = readWholeFile(path);
    return bytes ? countTranslations(parseLanguageFile(*bytes)) : 0;
}

// An old backup holding more translations than the file about to replace it moves aside to the
// first free "backup.N", so no translation ever saved becomes unrecoverable.
Status keepRicherBackup(const std::string& translatedPath, const std::string& backupPath) {
    if (!fileExists(backupPath) || translationsIn(backupPath) <= translationsIn(translatedPath)) {
        return Status::success();
    }
    for (int n = 1;; ++n) {
        const std::string kept = backupPath + "." + std::to_string(n);
        std::error_code error;
        if (std::filesystem::symlink_status(kept, error).type() != std::filesystem::file_type::not_found) {
            continue;
        }
        std::filesystem::rename(backupPath, kept, error);
        return error ? Status::failure("Cannot keep the old backup " + backupPath + ": " + error.message())
                     : Status::success();
    }
}

} // namespace

Status backupTranslatedFile(const std::string& translatedPath) {
    if (translatedPath.empty() || !fileExists(translatedPath)) {
        return Status::success();
    }
    const std::string backupPath = backupPathFor(translatedPath);
    if (Status kept = keepRicherBackup(translatedPath, backupPath); !kept.ok()) {
        return kept;
    }
    return copyFileAtomically(translatedPath, backupPath, LinkHandling::Replace);
}

std::string singleLineAnswer(std::string_view answer) {
    std::string single;
    single.reserve(answer.size());
    for (std::size_t i = 0; i < answer.size(); ++i) {
        if (answer[i] == '\r' && i + 1 < answer.size() && answer[i + 1] == '\n') {
            ++i; // CR LF is one line break
        }
        single += (answer[i] == '\r' || answer[i] == '\n') ? ' ' : answer[i];
    }
    return single;
}

Status storeAnswers(const std::string& translatedPath, const std::vector<const PendingEntry*>& entries,
                    std::string_view answer, std::vector<std::size_t>* refused) {
    Status status;
    const std::optional<std::string> bytes = readTranslatedFile(translatedPath, status);
    if (!bytes) {
        return status;
    }
    const std::string single = singleLineAnswer(answer);
    LanguageFile file = parseLanguageFile(*bytes);
    std::optional<CaseBlindKeyLines> index; // built only when a line has moved
    Additions additions;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const PendingEntry& entry = *entries[e];
        const auto own = static_cast<std::size_t>(entry.line - 1);
        const bool stillThere = entry.line >= 1 && own < file.lines.size() && file.lines[own].isKeyLine &&
                                caseBlindEqual(file.lines[own].section, entry.section) &&
                                caseBlindEqual(file.lines[own].key, entry.key);
        std::optional<std::size_t> target = stillThere ? std::optional<std::size_t>(own) : std::nullopt;
        if (!target) {
            if (!index) {
                index.emplace(file);
            }
            target = index->find(entry.section, entry.key);
        }
        const std::string line =
            target ? withValue(file.lines[*target].text, single) : entry.key + "=" + single;
        if (!keyLineReadsBack(line, target ? file.lines[*target].key : entry.key, target == 0)) {
            if (refused == nullptr) {
                return Status::failure(std::string(kBreaksLineStructure));
            }
            refused->push_back(e);
        } else if (target) {
            file.lines[*target].text = line;
        } else {
            addKeyLine(file, entry, single, additions);
        }
    }
    const Status written = writeFileAtomically(translatedPath, assemble(file, additions));
    if (!written.ok()) {
        return Status::failure("Cannot save the answer in " + translatedPath + ": " + written.error);
    }
    return Status::success();
}

Status writeAnswer(const std::string& translatedPath, const std::string& settingsPath,
                   const PendingEntry& entry, std::string_view source, std::string_view answer,
                   AnswerWrite* failedWrite) {
    AnswerWrite ignored = AnswerWrite::None;
    AnswerWrite& failed = failedWrite != nullptr ? *failedWrite : ignored;
    failed = AnswerWrite::TranslatedFile;
    // The answer memory keeps the same single-line text as the file, so both agree.
    const std::string single = singleLineAnswer(answer);
    if (Status stored = storeAnswers(translatedPath, {&entry}, single); !stored.ok()) {
        return stored;
    }
    failed = AnswerWrite::AnswerMemory;
    std::string error;
    std::optional<ProfileFile> settings = ProfileFile::open(settingsPath, &error);
    if (!settings) {
        return Status::failure("Cannot read the settings file " + settingsPath + ": " + error);
    }
    rememberAnswer(settings->document(), source, single);
    if (Status saved = settings->save(); !saved.ok()) {
        return Status::failure("Cannot save the answer memory in " + settingsPath + ": " + saved.error);
    }
    failed = AnswerWrite::None;
    return Status::success();
}

SpreadResult spreadAnswer(const std::string& translatedPath, const std::vector<PendingEntry>& pending,
                          std::size_t current, std::string_view source, std::string_view answer) {
    SpreadResult result;
    std::vector<const PendingEntry*> entries;
    for (std::size_t i = current + 1; i < pending.size(); ++i) {
        if (pending[i].source == source) {
            entries.push_back(&pending[i]);
            result.indexes.push_back(i);
        }
    }
    if (!entries.empty()) {
        std::vector<std::size_t> refused; // their lines would not read back: they stay pending
        result.status = storeAnswers(translatedPath, entries, answer, &refused);
        for (auto at = refused.rbegin(); at != refused.rend(); ++at) {
            result.indexes.erase(result.indexes.begin() + static_cast<std::ptrdiff_t>(*at));
        }
    }
    return result;
}

} // namespace parlavo
