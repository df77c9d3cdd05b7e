#include "lang/answermemory.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <unordered_map>

// Hand-picked texts are golden cases (tests/data/ini/answer_memory_hostile); here, random ones.
namespace parlavo {
namespace {

// Every line of the text apart from the section headers given; each must be a key line.
void expectOnlyKeyLines(const std::string& text, std::size_t headers) {
    std::istringstream lines(text);
    std::string line;
    std::size_t headersSeen = 0;
    while (std::getline(lines, line)) {
        ASSERT_TRUE(line.ends_with('\r')) << "a line break inside a key or value: " << line;
        line.pop_back();
        if (line == "[AlreadyTranslated]") {
            ++headersSeen;
            continue;
        }
        ASSERT_FALSE(line.empty());
        EXPECT_NE(line.front(), '[') << line;
        EXPECT_NE(line.front(), ';') << line;
        EXPECT_NE(line.find('='), std::string::npos) << line;
    }
    EXPECT_EQ(headersSeen, headers);
}

TEST(AnswerMemory, RandomTextsRoundTripThroughTheFile) {
    std::mt19937 random(20261206);
    static constexpr char kAlphabet[] = "aA =;#[]\"'\t\v\r\n\\%esc:\xFF\x80";
    const std::string alphabet(kAlphabet, sizeof kAlphabet); // with the final NUL byte
    auto randomText = [&] {
        std::string text(random() % 12, ' ');
        for (char& c : text) {
            c = random() % 4 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
        }
        return text;
    };
    IniDocument settings;
    std::unordered_map<std::string, std::string> last;
    for (int i = 0; i < 3000; ++i) {
        const std::string source = randomText();
        const std::string answer = randomText();
        rememberAnswer(settings, source, answer);
        last[source] = answer;
    }
    const std::string text = settings.serialize();
    const IniDocument reread = IniDocument::parse(text);
    for (const auto& [source, answer] : last) {
        ASSERT_EQ(recallAnswer(reread, source), answer);
    }
    expectOnlyKeyLines(text, 1);
}

} // namespace
} // namespace parlavo
