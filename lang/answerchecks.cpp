#include "lang/answerchecks.h"

#include "platform/bytecount.h"

#include <array>
#include <set>
#include <utility>

namespace parlavo {

namespace {

bool isDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

bool isWordChar(char ch) {
    return isDigit(ch) || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_';
}

// The length of the placeholder starting at text[at], 0 when none starts there: %%, %1, %s, %d and
// the other printf letters with flags, width and precision, %n, {0} and {name}.
std::size_t placeholderAt(std::string_view text, std::size_t at) {
    if (text[at] == '{') {
        std::size_t end = at + 1;
        while (end < text.size() && isWordChar(text[end])) {
            ++end;
        }
        return end > at + 1 && end < text.size() && text[end] == '}' ? end - at + 1 : 0;
    }
    if (text[at] != '%' || at + 1 >= text.size()) {
        return 0;
    }
    if (text[at + 1] == '%') {
        return 2;
    }
    constexpr std::string_view kLetters = "sdiuxXfFeEgGcpn";
    std::size_t end = at + 1;
    const auto skip = [&](std::string_view chars) {
        while (end < text.size() && chars.find(text[end]) != std::string_view::npos) {
            ++end;
        }
    };
    skip("0123456789");
    if (end > at + 1 && (end == text.size() || kLetters.find(text[end]) == std::string_view::npos)) {
        return end - at; // %1, %12
    }
    skip("-+#0");
    skip("0123456789");
    if (end < text.size() && text[end] == '.') {
        ++end;
        skip("0123456789");
    }
    return end < text.size() && kLetters.find(text[end]) != std::string_view::npos ? end - at + 1 : 0;
}

std::set<std::string> placeholders(std::string_view text) {
    std::set<std::string> found;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = placeholderAt(text, at);
        if (length > 0) {
            found.emplace(text.substr(at, length));
            at += length;
        } else {
            ++at;
        }
    }
    return found;
}

std::string listed(const std::set<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        text += (text.empty() ? "" : ", ") + item;
    }
    return text;
}

std::string checkPlaceholders(std::string_view english, std::string_view answer) {
    const std::set<std::string> wanted = placeholders(english);
    const std::set<std::string> given = placeholders(answer);
    std::set<std::string> missing;
    std::set<std::string> extra;
    for (const std::string& item : wanted) {
        if (!given.contains(item)) {
            missing.insert(item);
        }
    }
    for (const std::string& item : given) {
        if (!wanted.contains(item)) {
            extra.insert(item);
        }
    }
    std::string message;
    if (!missing.empty()) {
        message = "Missing " + listed(missing) + ".";
    }
    if (!extra.empty()) {
        message +=
            (message.empty() ? "" : " ") + std::string("Not in the English text: ") + listed(extra) + ".";
    }
    return message;
}

// A lone "&" marks the accelerator key; "&&" is a literal ampersand.
bool hasAccelerator(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '&') {
            continue;
        }
        if (at + 1 < text.size() && text[at + 1] == '&') {
            ++at;
            continue;
        }
        if (at + 1 < text.size() && text[at + 1] != ' ') {
            return true;
        }
    }
    return false;
}

std::string checkAccelerator(std::string_view english, std::string_view answer) {
    const bool wanted = hasAccelerator(english);
    if (wanted == hasAccelerator(answer)) {
        return {};
    }
    return wanted ? "Missing the accelerator '&'." : "The English text has no accelerator '&'.";
}

std::string checkEscapes(std::string_view english, std::string_view answer) {
    static constexpr std::array<std::string_view, 5> kEscapes = {"\\n", "\\t", "\\r", "<br>", "<br/>"};
    std::string message;
    for (const std::string_view escape : kEscapes) {
        const std::size_t wanted = countText(english, escape);
        const std::size_t given = countText(answer, escape);
        if (wanted != given) {
            message += (message.empty() ? "" : " ") + std::string("The English text has ") +
                       std::to_string(wanted) + " " + std::string(escape) + ", the answer " +
                       std::to_string(given) + ".";
        }
    }
    return message;
}

std::size_t leadingSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? text.size() : first;
}

std::size_t trailingSpaces(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? text.size() : text.size() - last - 1;
}

std::string checkSpaces(std::string_view english, std::string_view answer) {
    if (english.empty() || answer.empty()) {
        return {};
    }
    std::string message;
    if (leadingSpaces(english) != leadingSpaces(answer)) {
        message = "The English text starts with " + std::to_string(leadingSpaces(english)) +
                  " spaces, the answer with " + std::to_string(leadingSpaces(answer)) + ".";
    }
    if (trailingSpaces(english) != trailingSpaces(answer)) {
        message += (message.empty() ? "" : " ") + std::string("The English text ends with ") +
                   std::to_string(trailingSpaces(english)) + " spaces, the answer with " +
                   std::to_string(trailingSpaces(answer)) + ".";
    }
    return message;
}

// The closing mark of a text after its trailing spaces: "...", ":", "." or "!", full-width forms
// counted as their ASCII mark; "" for any other ending.
std::string_view endMark(std::string_view text) {
    text = text.substr(0, text.size() - trailingSpaces(text));
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kMarks = {{
        {"...", "..."},
        {"\xE2\x80\xA6", "..."}, // horizontal ellipsis
        {":", ":"},
        {"\xEF\xBC\x9A", ":"}, // full-width colon
        {".", "."},
        {"\xE3\x80\x82", "."}, // ideographic full stop
        {"!", "!"},
        {"\xEF\xBC\x81", "!"}, // full-width exclamation mark
    }};
    for (const auto& [written, mark] : kMarks) {
        if (text.ends_with(written)) {
            return mark;
        }
    }
    return {};
}

std::string checkEndMark(std::string_view english, std::string_view answer) {
    const std::string_view wanted = endMark(english);
    const std::string_view given = endMark(answer);
    if (wanted == given || answer.empty()) {
        return {};
    }
    if (wanted.empty()) {
        return "The English text does not end with '" + std::string(given) + "'.";
    }
    return "The English text ends with '" + std::string(wanted) + "'.";
}

// The first bracket, quote or markup tag left open or closed without opening, "" when balanced.
std::string unbalanced(std::string_view text) {
    std::vector<std::string> open;
    static constexpr std::string_view kOpening = "([{";
    static constexpr std::string_view kClosing = ")]}";
    std::size_t quotes = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char ch = text[at];
        if (ch == '"') {
            ++quotes;
        } else if (kOpening.find(ch) != std::string_view::npos) {
            open.emplace_back(1, ch);
        } else if (const std::size_t which = kClosing.find(ch); which != std::string_view::npos) {
            if (open.empty() || open.back() != std::string(1, kOpening[which])) {
                return std::string(1, ch);
            }
            open.pop_back();
        } else if (ch == '<' && at + 1 < text.size() && (isWordChar(text[at + 1]) || text[at + 1] == '/')) {
            const std::size_t end = text.find('>', at);
            if (end == std::string_view::npos) {
                continue;
            }
            const std::string_view tag = text.substr(at + 1, end - at - 1);
            at = end;
            if (tag.ends_with('/')) {
                continue; // <br/>
            }
            const bool closing = tag.starts_with('/');
            const std::string_view body = closing ? tag.substr(1) : tag;
            std::size_t nameEnd = 0;
            while (nameEnd < body.size() && isWordChar(body[nameEnd])) {
                ++nameEnd;
            }
            const std::string name = "<" + std::string(body.substr(0, nameEnd)) + ">";
            if (name == "<br>") {
                continue;
            }
            if (!closing) {
                open.push_back(name);
            } else if (open.empty() || open.back() != name) {
                return "</" + name.substr(1);
            } else {
                open.pop_back();
            }
        }
    }
    if (!open.empty()) {
        return open.back();
    }
    return quotes % 2 == 1 ? "\"" : "";
}

std::string checkBalance(std::string_view english, std::string_view answer) {
    const std::string inAnswer = unbalanced(answer);
    if (inAnswer.empty() || !unbalanced(english).empty()) {
        return {};
    }
    return "Unbalanced " + inAnswer + " in the answer.";
}

std::string checkEmpty(std::string_view english, std::string_view answer) {
    return answer.empty() && !english.empty() ? "The answer is empty." : "";
}

} // namespace

const std::vector<AnswerRule>& answerRules() {
    static const std::vector<AnswerRule> kRules = {
        {"empty", checkEmpty},
        {"placeholders", checkPlaceholders},
        {"accelerator", checkAccelerator},
        {"escapes", checkEscapes},
        {"spaces", checkSpaces},
        {"end mark", checkEndMark},
        {"balance", checkBalance},
    };
    return kRules;
}

std::vector<AnswerProblem> checkAnswer(std::string_view english, std::string_view answer) {
    std::vector<AnswerProblem> problems;
    if (std::string empty = checkEmpty(english, answer); !empty.empty()) {
        return {{"empty", std::move(empty)}}; // the other rules would only repeat it
    }
    for (const AnswerRule& rule : answerRules()) {
        std::string message = rule.check(english, answer);
        if (!message.empty()) {
            problems.push_back({rule.name, std::move(message)});
        }
    }
    return problems;
}

std::string joinProblems(const std::vector<AnswerProblem>& problems) {
    std::string line;
    for (const AnswerProblem& problem : problems) {
        line += (line.empty() ? "" : " ") + problem.message;
    }
    return line;
}

} // namespace parlavo
