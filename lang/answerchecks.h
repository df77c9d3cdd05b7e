#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// One check of an answer against its English text: a message when the two differ in the rule's
// respect, "" when they agree.
struct AnswerRule {
    std::string_view name;
    std::string (*check)(std::string_view english, std::string_view answer);
};

// The rules in the order their messages are shown.
const std::vector<AnswerRule>& answerRules();

struct AnswerProblem {
    std::string_view rule;
    std::string message;
};

// Every rule's problem with the answer, in rule order; empty when the answer passes them all.
std::vector<AnswerProblem> checkAnswer(std::string_view english, std::string_view answer);
// The messages on one line, separated by a space.
std::string joinProblems(const std::vector<AnswerProblem>& problems);

} // namespace parlavo
