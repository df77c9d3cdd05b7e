#include "pass/search.h"

#include "lang/languagefile.h"
#include "platform/encoding.h"
#include "platform/files.h"

#include <algorithm>

namespace parlavo {

namespace {

char lowerAscii(char ch) {
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool containsCaseBlind(std::string_view text, std::string_view query) {
    const auto found = std::search(text.begin(), text.end(), query.begin(), query.end(),
                                   [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
    return found != text.end();
}

// The typed query (UTF-8) as bytes of a file's encoding; "" when the encoding cannot hold it.
std::string queryIn(std::string_view query, const std::string& encoding) {
    Encoded encoded = fromUtf8(query, encoding);
    return encoded.ok() ? std::move(encoded.bytes) : std::string();
}

bool matches(std::string_view text, std::string_view query) {
    return !query.empty() && containsCaseBlind(text, query);
}

} // namespace

std::optional<int> findEntryLine(PassState& state, std::string_view query, int afterLine) {
    if (query.empty()) {
        return std::nullopt;
    }
    const std::vector<LanguageLine>& english = state.work.english.lines;
    const std::string inEnglish = queryIn(query, state.work.encodings.english.name);
    const std::string inTranslated = queryIn(query, state.work.encodings.translated.name);
    // The Translated file has the English file's lines since the load; answers go to their own line.
    static const LanguageFile unreadable = parseLanguageFile({});
    KeptLanguageFile& kept = state.kept.translated;
    const LanguageFile& translated = kept.refresh(state.translatedPath).ok() ? kept.file() : unreadable;
    const std::size_t count = english.size();
    const std::size_t start = std::min(static_cast<std::size_t>(std::max(afterLine, 0)), count);
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t i = (start + step) % count;
        const LanguageLine& line = english[i];
        if (line.key().empty()) {
            continue;
        }
        const bool translationMatches = i < translated.lines.size() &&
                                        translated.lines[i].key() == line.key() &&
                                        matches(translated.lines[i].value(), inTranslated);
        if (matches(line.key(), inEnglish) || matches(line.value(), inEnglish) || translationMatches) {
            return static_cast<int>(i + 1);
        }
    }
    return std::nullopt;
}

bool reviseMatchingEntry(PassState& state, PassContext& context, std::string_view query, bool next) {
    const bool again = next && query == state.searchQuery;
    const std::optional<int> line = findEntryLine(state, query, again ? state.searchLine : 0);
    if (!line) {
        return false;
    }
    state.searchQuery = query;
    state.searchLine = *line;
    const LanguageLine& found = state.work.english.lines[static_cast<std::size_t>(*line - 1)];
    state.revising = PendingEntry(*line, inTranslatedEncoding(state.work, found.section()),
                                  inTranslatedEncoding(state.work, found.key()), found.value());
    context.window.showTranslationPanel();
    showEntry(state, context);
    selectCurrentKey(state, context);
    return true;
}

bool endRevision(PassState& state, PassContext& context) {
    if (!state.revising) {
        return false;
    }
    state.revising.reset();
    if (state.hasCurrentEntry()) {
        showEntry(state, context);
        selectCurrentKey(state, context);
    } else {
        context.window.hideTranslationPanel(); // the pass had ended before the revision
    }
    return true;
}

} // namespace parlavo
