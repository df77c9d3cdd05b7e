#include "pass/suggest.h"

#include "platform/encoding.h"

namespace parlavo {

void startSuggestions(PassState& state, PassContext& context) {
    state.shownSuggestions.clear();
    state.suggestions.reset();
    const std::string settingsFile = context.settingsFile();
    if (settingTextOn(currentSettings(state, context).get(kSettingsSection, kSuggestionsSetting))) {
        state.suggestions = std::make_shared<BackgroundSuggestions>(settingsFile);
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
