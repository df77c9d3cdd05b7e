#include "lang/selection.h"

#include "lang/answermemory.h"
#include "lang/answers.h"
#include "lang/changedenglish.h"
#include "lang/inikeytable.h"
#include "lang/keyindex.h"
#include "lang/settings.h"
#include "platform/aside.h"
#include "platform/encoding.h"

#include <algorithm>
#include <optional>

namespace parlavo {

namespace {

constexpr std::size_t kNotFromFile = static_cast<std::size_t>(-1);

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Texts that need no translation: nothing in them is an ASCII letter, or they are a lone x or y
// (either case), which the host uses as axis names.
bool needsNoTranslation(std::string_view value) {
    if (value == "x" || value == "X" || value == "y" || value == "Y") {
        return true;
    }
    return std::none_of(value.begin(), value.end(), isAsciiLetter);
}

// Fixed values for the host's file-name lists, which hold file extensions rather than words.
std::string_view fixedExtensionFor(std::string_view key) {
    if (key.find("MainForm.cbActiveDLLSelect.Items") != std::string_view::npos) {
        return ".dll";
    }
    if (key.find("MainForm.pmLatestConfig") != std::string_view::npos ||
        key.find("MainForm.tbLatestConfig") != std::string_view::npos) {
        return ".ini";
    }
    return {};
}

// Text of the English file as the Translated file writes it: converted into its encoding, or kept
// as it is when that encoding cannot hold it (the line is then listed in work.unconvertedLines).
class Recoder {
  public:
    explicit Recoder(WorkList& work)
        : from_(work.encodings.english.name), to_(work.encodings.translated.name), same_(from_ == to_),
          unconverted_(work.unconvertedLines) {}

    // The text in the Translated file's encoding: a view of text itself or of buffer.
    std::string_view convert(std::string_view text, std::string& buffer, int line) {
        if (const std::optional<std::string_view> converted = tryConvert(text, buffer)) {
            return *converted;
        }
        noteUnconverted(line);
        return text;
    }

    // As convert, for a section's name: the lines of a section share its name, which is converted
    // once for them all (a name that cannot be converted is tried, and noted, line by line).
    std::string_view convertSection(std::string_view name, std::string& buffer, int line) {
        if (name.data() == lastSection_.data() && name.size() == lastSection_.size()) {
            return lastConverted_;
        }
        const std::optional<std::string_view> converted = tryConvert(name, buffer);
        if (!converted) {
            noteUnconverted(line);
            return name;
        }
        lastSection_ = name;
        lastConverted_ = *converted;
        return lastConverted_;
    }

    // The English text as UTF-8, or nothing when the English file's encoding cannot read it.
    std::optional<std::string> text(std::string_view bytes) const {
        Result<std::string> decoded = toUtf8(bytes, from_);
        return decoded.ok() ? std::optional<std::string>(std::move(decoded.value)) : std::nullopt;
    }

  private:
    // Nothing when the Translated file's encoding cannot hold the text.
    std::optional<std::string_view> tryConvert(std::string_view text, std::string& buffer) {
        if (same_ || isAscii(text)) {
            return text;
        }
        std::optional<std::string> converted = convertText(text, from_, to_);
        if (!converted) {
            return std::nullopt;
        }
        buffer = std::move(*converted);
        return buffer;
    }

    void noteUnconverted(int line) {
        if (unconverted_.empty() || unconverted_.back() != line) {
            unconverted_.push_back(line);
        }
    }

    std::string from_;
    std::string to_;
    bool same_;
    std::vector<int>& unconverted_;
    std::string_view lastSection_;   // the name convertSection last converted
    std::string_view lastConverted_; // what it gave: a view of the name or of the caller's buffer
};

// The translation an English key line gets: from the Translated file unless marked for update,
// else from the answer memory, else by the rules for texts that need none. Empty means pending.
// A text that is not the Translated file's own is kept in made. section and key are the line's as
// the Translated file writes them; next is where that file's next key line is likely to be (the line
// after the last found); from is the Translated file's line the translation was taken from
// (kNotFromFile when it was not). Texts that need no translation are added to toRemember, for the
// answer memory (the settings are only read meanwhile).
std::string_view findTranslation(const LanguageLine& english, std::string_view section, std::string_view key,
                                 const WorkList& work, const KeyLineIndex& index, std::size_t& next,
                                 const IniDocument& settings, Recoder& recoder, std::string& made,
                                 std::size_t& from, std::vector<std::string>& toRemember) {
    std::string_view t;
    from = kNotFromFile;
    if (const auto found = index.findFrom(next, section, key)) {
        t = work.translated.lines[*found].value();
        next = *found + 1;
        from = *found;
    }
    if (t.find(kUpdateNeededMarker) != std::string_view::npos) {
        t = {};
    }
    if (t.empty()) {
        from = kNotFromFile;
        made = reuseAnswer(settings, english.value(), work.encodings.english, work.encodings.translated)
                   .value_or(std::string());
        if (made.find_first_of("\r\n") != std::string::npos) {
            made = singleLineAnswer(made); // as a typed answer: no line break in a value
        }
        t = made;
    }
    if (t.empty() && needsNoTranslation(english.value())) {
        // Taken over as it is; a text the Translated file's encoding cannot hold stays pending.
        if (std::optional<std::string> converted =
                convertText(english.value(), work.encodings.english.name, work.encodings.translated.name)) {
            made = std::move(*converted);
            t = made;
        }
        // Remembered as text; bytes the English file's encoding cannot read as they are.
        toRemember.push_back(recoder.text(english.value()).value_or(std::string(english.value())));
    }
    if (t.empty()) {
        t = fixedExtensionFor(english.key());
    }
    return t;
}

} // namespace

std::string_view inTranslatedEncoding(WorkList& work, std::string_view name) {
    if (work.encodings.english.name == work.encodings.translated.name || isAscii(name)) {
        return name;
    }
    const std::optional<std::string> converted =
        convertText(name, work.encodings.english.name, work.encodings.translated.name);
    return converted ? work.texts->keep(*converted) : name;
}

namespace {

// The text as a pending entry keeps it: a view of text, or of the work list's text store when
// text is a view of buffer (a conversion's result).
std::string_view keptText(WorkList& work, std::string_view text, const std::string& buffer) {
    return text.data() == buffer.data() ? work.texts->keep(text) : text;
}

// A line the host program reads as a comment (";TODO: key=value") is no translation.
bool isTranslation(const LanguageLine& line) {
    const std::string_view value = line.value();
    return line.isKeyLine() && !value.empty() && !line.key().starts_with(';') &&
           value.find(kUpdateNeededMarker) == std::string::npos;
}

// The part of a rewritten key line before "=": the key, except that a first key which itself begins
// with a byte-order mark keeps the blanks that led it in the English line, so that the mark is not
// taken for the file's own.
std::string_view keyPart(const LanguageLine& line, std::string_view key, bool mark, bool first) {
    if (first && !mark && startsWithByteOrderMark(line.key())) {
        return std::string_view(line.text()).substr(0, line.text().find('='));
    }
    return key;
}

// Appends the key line of the rewrite (with a byte-order mark in front when mark) to output, or
// nothing when it would not read back as its own key (the translation then is not used).
bool appendKeyLine(std::string_view key, std::string_view written, std::string_view t, bool mark, bool first,
                   std::string& output) {
    const std::size_t start = output.size();
    output.append(mark ? kByteOrderMark : std::string_view()).append(written).append(1, '=').append(t);
    const bool keyAlone = !first && written.data() == key.data() && written.size() == key.size();
    if (t.empty() || (keyAlone && anyValueReadsBack(key)) ||
        keyLineReadsBack(std::string_view(output).substr(start), key, first)) {
        return true;
    }
    output.resize(start);
    return false;
}

// The entries whose kept translation was made for an older English text, put in among the pending
// ones in English file order.
void addChangedEntries(WorkList& work, const IniDocument& settings, const AnswerUses& uses,
                       const std::vector<KeptTranslation>& translations) {
    std::vector<PendingEntry> changed; // each translation stays and is offered for confirming
    for (const AnswerUses::OldSource& old : uses.oldSourcesOf(settings, work.english, translations)) {
        const std::uint32_t at = translations[old.kept].englishLine;
        const LanguageLine& line = work.english.lines[at];
        const int number = static_cast<int>(at + 1);
        changed.emplace_back(number, inTranslatedEncoding(work, line.section()),
                             inTranslatedEncoding(work, line.key()), line.value());
        work.changedSources.push_back({number, work.texts->keep(old.text)});
    }
    if (changed.empty()) {
        return;
    }
    std::vector<PendingEntry> merged;
    merged.reserve(work.pending.size() + changed.size());
    std::merge(std::make_move_iterator(work.pending.begin()), std::make_move_iterator(work.pending.end()),
               std::make_move_iterator(changed.begin()), std::make_move_iterator(changed.end()),
               std::back_inserter(merged),
               [](const PendingEntry& a, const PendingEntry& b) { return a.line < b.line; });
    work.pending = std::move(merged);
}

// Counts the Translated file's translations and those the rewrite does not carry over.
void countDropped(WorkList& work, const std::vector<bool>& carried, const std::vector<bool>& translations) {
    work.translations = 0;
    work.dropped = 0;
    for (std::size_t i = 0; i < carried.size(); ++i) {
        const bool counts = translations[i];
        work.translations += counts ? 1 : 0;
        work.dropped += counts && !carried[i] ? 1 : 0;
    }
}

// The rewrite is handed to its sink (when it has one) in parts of about this size.
constexpr std::size_t kOutputPart = std::size_t{32} << 10;

// handed: how much of output the sink has.
void handOnOutput(WorkList& work, std::size_t& handed, std::size_t atLeast) {
    if (work.outputSink && work.output.size() - handed >= atLeast) {
        work.outputSink(std::string_view(work.output).substr(handed));
        handed = work.keepOutput ? work.output.size() : 0;
        if (!work.keepOutput) {
            work.output.clear();
        }
    }
}

} // namespace

std::size_t countTranslations(const LanguageFile& file) {
    return static_cast<std::size_t>(std::count_if(file.lines.begin(), file.lines.end(), isTranslation));
}

std::vector<bool> translationLines(const LanguageFile& file) {
    std::vector<bool> translations(file.lines.size());
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        translations[i] = isTranslation(file.lines[i]);
    }
    return translations;
}

void selectPendingEntries(WorkList& work, IniDocument& settings, const PreparedAnswerUses& prepared,
                          const KeyLineIndex* translatedIndex, const std::vector<bool>* translations) {
    std::optional<KeyLineIndex> madeIndex;
    const KeyLineIndex& index =
        translatedIndex != nullptr ? *translatedIndex : madeIndex.emplace(work.translated);
    const std::vector<LanguageLine>& lines = work.english.lines;
    work.pending.clear();
    work.changedSources.clear();
    // Room for about the keys the Translated file lacks, the usual number of pending entries.
    work.pending.reserve(
        static_cast<std::size_t>(std::max(0, work.english.keyCount - work.translated.keyCount)));
    work.output.clear();
    const std::size_t whole =
        work.english.bytes ? work.english.bytes->size() + work.english.bytes->size() / 4 : 0;
    work.output.reserve(work.outputSink && !work.keepOutput ? std::min(whole, 2 * kOutputPart) : whole);
    std::size_t handed = 0;
    work.unconvertedLines.clear();
    Recoder recoder(work);
    // A byte-order mark is UTF-8's: a Translated file in another encoding gets none.
    const bool keepMark = work.encodings.translated.name == kUtf8;
    std::vector<bool> carried(work.translated.lines.size(), false);
    std::string made, sectionBuffer, keyBuffer, textBuffer;
    std::size_t next = 0;
    // What the answer memory says of the translations is found on a second thread meanwhile.
    const bool findChanged = changedEnglishWanted(settings);
    Aside<AnswerUses> uses;
    if (findChanged && !prepared) {
        uses = Aside<AnswerUses>([&] {
            AnswerUses made(work.english, work.translated);
            made.readMemory(settings);
            return made;
        });
    }
    std::vector<std::string> toRemember;
    std::vector<KeptTranslation> keptTranslations; // English lines given a translation from the file
    if (findChanged) {                             // at most one for each key of the Translated file
        keptTranslations.reserve(static_cast<std::size_t>(std::max(0, work.translated.keyCount)));
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        handOnOutput(work, handed, kOutputPart);
        const LanguageLine& line = lines[i];
        const int number = static_cast<int>(i + 1);
        const bool mark = i == 0 && startsWithByteOrderMark(line.text());
        const std::string_view englishKey = line.key();
        const std::string_view value = line.value();
        if (englishKey.empty()) {
            std::string_view text = line.text();
            text.remove_prefix(mark && !keepMark ? kByteOrderMark.size() : 0);
            work.output.append(recoder.convert(text, textBuffer, number)).append(work.english.lineEnd);
            continue;
        }
        const std::string_view section = recoder.convertSection(line.section(), sectionBuffer, number);
        const std::string_view key = recoder.convert(englishKey, keyBuffer, number);
        std::string_view t;
        std::size_t from = kNotFromFile;
        if (!value.empty()) {
            t = findTranslation(line, section, key, work, index, next, settings, recoder, made, from,
                                toRemember);
        }
        const std::string_view written = keyPart(line, key, mark, i == 0);
        if (!appendKeyLine(key, written, t, mark && keepMark, i == 0, work.output)) {
            t = {};
            from = kNotFromFile;
            appendKeyLine(key, written, t, mark && keepMark, i == 0, work.output);
        }
        work.output.append(work.english.lineEnd);
        if (from != kNotFromFile) {
            carried[from] = true;
        }
        if (!value.empty() && t.empty()) {
            work.pending.emplace_back(number, keptText(work, section, sectionBuffer),
                                      keptText(work, key, keyBuffer), value);
        } else if (findChanged && from != kNotFromFile) {
            keptTranslations.push_back({static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(i)});
        }
    }
    handOnOutput(work, handed, 1);
    std::optional<AnswerUses> madeHere;
    const AnswerUses* answerUses = nullptr;
    if (findChanged) { // after this the settings are no longer read on the other thread
        answerUses = prepared ? &prepared() : &madeHere.emplace(uses.get());
    }
    for (const std::string& text : toRemember) {
        rememberAnswerText(settings, text, text);
    }
    if (answerUses != nullptr) {
        addChangedEntries(work, settings, *answerUses, keptTranslations);
    }
    countDropped(work, carried, translations != nullptr ? *translations : translationLines(work.translated));
}

std::string_view oldSourceOf(const WorkList& work, int line) {
    const auto found =
        std::lower_bound(work.changedSources.begin(), work.changedSources.end(), line,
                         [](const ChangedSource& changed, int at) { return changed.line < at; });
    return found != work.changedSources.end() && found->line == line ? found->oldSource : std::string_view();
}

std::optional<std::size_t> entryLineIn(const LanguageFile& file, const PendingEntry& entry,
                                       std::optional<KeyLineIndex>& index) {
    const auto own = static_cast<std::size_t>(entry.line - 1);
    if (entry.line >= 1 && own < file.lines.size()) {
        const LanguageLine& line = file.lines[own];
        if (line.isKeyLine() && caseBlindEqual(line.section(), entry.section()) &&
            caseBlindEqual(line.key(), entry.key())) {
            return own;
        }
    }
    if (!index) {
        index.emplace(file);
    }
    if (const std::optional<std::size_t> exact = index->find(entry.section(), entry.key())) {
        return exact;
    }
    // Names that differ only in letter case are one name to the host's reader.
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const LanguageLine& line = file.lines[i];
        if (line.isKeyLine() && caseBlindEqual(line.section(), entry.section()) &&
            caseBlindEqual(line.key(), entry.key())) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace parlavo
