#include "pass/answerwarning.h"

#include "lang/answerchecks.h"

namespace parlavo {

bool warnBeforeConfirming(PassState& state, PassContext& context) {
    if (!state.hasCurrentEntry() ||
        !settingTextOn(currentSettings(state, context).get(kSettingsSection, kAnswerChecksSetting))) {
        return false;
    }
    const std::string answer = context.window.translationText();
    if (state.warnedAnswer && *state.warnedAnswer == answer) {
        return false; // confirmed again with the warning on screen
    }
    const std::vector<AnswerProblem> problems = checkAnswer(context.window.sourceText(), answer);
    if (problems.empty()) {
        return false;
    }
    state.warnedAnswer = answer;
    context.window.setWarning(joinProblems(problems));
    return true;
}

void clearWarningUnlessShownFor(PassState& state, PassContext& context, const std::string& text) {
    if (state.warnedAnswer && *state.warnedAnswer != text) {
        clearWarning(state, context);
    }
}

void clearWarning(PassState& state, PassContext& context) {
    state.warnedAnswer.reset();
    context.window.setWarning({});
}

} // namespace parlavo
