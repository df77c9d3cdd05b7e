#include "lang/answers.h"
#include "lang/languagefile.h"
#include "pass/navigation.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace parlavo {

namespace {

// Where the key starts on a view line that holds it: the rewritten file writes every key line as
// the key, "=" and the value, at the start of the line (behind the byte-order mark the first line
// of the file may keep). Nothing when the line does not hold the key (the view has other content).
std::optional<int> keyColumn(const FileView& view, int line, std::string_view key) {
    if (key.empty() || line < 0 || line >= view.lineCount()) {
        return std::nullopt;
    }
    const std::string text = view.lineText(line);
    const std::size_t column = (line == 0 && startsWithByteOrderMark(text)) ? kByteOrderMark.size() : 0;
    if (text.size() <= column + key.size() || text.compare(column, key.size(), key) != 0 ||
        text[column + key.size()] != '=') {
        return std::nullopt;
    }
    return static_cast<int>(column);
}

int viewLineOf(const PendingEntry& entry) {
    return entry.line - 1;
}

// The view shows text decoded from the files, so English names are compared as decoded text (keys
// are ASCII in almost every file, which converts at no cost).
std::string shownEnglish(const PassState& state, std::string_view bytes) {
    return toUtf8Lossy(bytes, state.work.encodings.english.name);
}

// An entry's key as the view shows it: its English line's key, decoded as the English file is (the
// entry's own copy of a pending key is already in the Translated file's encoding).
std::string shownKey(const PassState& state, const PendingEntry& entry) {
    const std::vector<LanguageLine>& lines = state.work.english.lines;
    const auto line = static_cast<std::size_t>(viewLineOf(entry));
    return shownEnglish(state, line < lines.size() ? lines[line].key() : entry.key());
}

} // namespace

void showTranslatedFile(const PassState& state, PassContext& context,
                        std::shared_ptr<const std::string> bytes) {
    const std::string_view encoding = state.work.encodings.translated.name;
    if (!isUtf8Already(*bytes, encoding)) { // a file already in UTF-8 is shown as it is, not copied
        bytes = std::make_shared<const std::string>(toUtf8Lossy(*bytes, encoding));
    }
    context.window.fileView().setContent(std::move(bytes), state.work.english.lineEnd);
    formatFileView(state, context);
}

namespace {

// What a decorated line looks like: a header larger, a key bold, and the key of a pending entry
// highlighted too.
struct Looks {
    int headerPoints = 0;
    std::uint32_t highlight = 0;
    std::shared_ptr<const std::vector<bool>> pending; // by file line
};

// The decorations of the view's lines first to last (file lines, 0-based).
void decorateLines(const PassState& state, FileView& view, const Looks& looks, int first, int last) {
    const std::vector<LanguageLine>& lines = state.work.english.lines;
    const int count = std::min({static_cast<int>(lines.size()), view.lineCount(), last + 1});
    ViewFormat larger;
    larger.points = looks.headerPoints;
    for (int i = std::max(first, 0); i < count; ++i) {
        const LanguageLine& line = lines[static_cast<std::size_t>(i)];
        if (!line.key().empty()) {
            const std::string key = shownEnglish(state, line.key());
            if (const auto column = keyColumn(view, i, key)) {
                ViewFormat format;
                format.bold = true;
                if ((*looks.pending)[static_cast<std::size_t>(i)]) {
                    format.background = looks.highlight;
                }
                view.formatRange(i, *column, static_cast<int>(key.size()), format);
            }
        } else if (const std::string text = shownEnglish(state, line.text());
                   !text.empty() && view.lineText(i) == text) {
            view.formatRange(i, 0, static_cast<int>(text.size()), larger);
        }
    }
}

} // namespace

// The lines are decorated as they come into sight: the view calls back for them, so a large file
// costs no more than what is seen of it. The pass state outlives the view's content (a new load
// shows a new content with a new decorator).
void formatFileView(const PassState& state, PassContext& context) {
    FileView& view = context.window.fileView();
    auto pending = std::make_shared<std::vector<bool>>(state.work.english.lines.size(), false);
    for (const PendingEntry& entry : state.work.pending) {
        const int line = viewLineOf(entry);
        if (line >= 0 && static_cast<std::size_t>(line) < pending->size()) {
            (*pending)[static_cast<std::size_t>(line)] = true;
        }
    }
    const Looks looks{context.display.Size + 4, context.display.HighlightColor, std::move(pending)};
    view.setDecorator(
        [&state, &view, looks](int first, int last) { decorateLines(state, view, looks, first, last); });
}

void selectCurrentKey(const PassState& state, PassContext& context) {
    if (!state.hasCurrentEntry()) {
        return;
    }
    const PendingEntry& entry = state.currentEntry();
    FileView& view = context.window.fileView();
    const int line = viewLineOf(entry);
    const std::string key = shownKey(state, entry);
    if (const auto column = keyColumn(view, line, key)) {
        view.selectRange(line, *column, static_cast<int>(key.size()));
    }
}

void showValueInView(const PassState& state, PassContext& context, const PendingEntry& entry,
                     std::string_view text) {
    FileView& view = context.window.fileView();
    const int line = viewLineOf(entry);
    const std::string key = shownKey(state, entry);
    const auto column = keyColumn(view, line, key);
    if (!column) {
        return;
    }
    // The view keeps one file line per line, so a pasted line break is shown as the file holds it.
    const std::string value = singleLineAnswer(text);
    view.setRedraw(false);
    view.replaceToLineEnd(line, *column + static_cast<int>(key.size()) + 1, value);
    view.setRedraw(true);
}

} // namespace parlavo
