#include "pass/suggest.h"

#include "lang/answermemory.h"
#include "platform/encoding.h"

namespace parlavo {

void startSuggestions(PassState& state, PassContext& context) {
    state.shownSuggestions.clear();
    state.suggestions.reset();
    const std::string settingsFile = context.settingsFile();
    const IniDocument& settings = currentSettings(state, context);
    if (settingTextOn(settings.get(kSettingsSection, kSuggestionsSetting))) {
        // The kept settings are the file's: while their answer memory reads as the bytes they were
        // parsed from, the index shares those bytes instead of reading the file again.
        state.suggestions = std::make_shared<BackgroundSuggestions>(
            settingsFile, settings.sectionAsRead(kAnswerMemorySection) ? settings.sharedBytes() : nullptr);
    }
}

void showSuggestions(PassState& state, PassContext& context) {
    state.shownSuggestions.clear();
    if (state.suggestions && state.hasCurrentEntry()) {
        // The memory holds UTF-8 text, as the box does.
        state.shownSuggestions = state.suggestions->suggest(
            toUtf8Lossy(state.currentEntry().source(), state.work.encodings.english.name));
    }
    std::string line;
    for (std::size_t i = 0; i < state.shownSuggestions.size(); ++i) {
        const Suggestion& suggestion = state.shownSuggestions[i];
        line += (i == 0 ? "" : "    ") + std::string("Alt+") + std::to_string(i + 1) + ": " +
                suggestion.answer + " (" + std::to_string(suggestion.percent) + "%)";
    }
    context.window.setSuggestions(line);
}

bool pickSuggestion(PassState& state, PassContext& context, std::size_t number) {
    if (!state.hasCurrentEntry() || number >= state.shownSuggestions.size()) {
        return false;
    }
    const std::string answer = state.shownSuggestions[number].answer; // the box notifies re-entrantly
    context.window.setTranslationText(answer);
    context.window.selectAllTranslationAndFocus();
    return true;
}

} // namespace parlavo
