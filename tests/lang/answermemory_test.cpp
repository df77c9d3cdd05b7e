#include "lang/answermemory.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <unordered_map>
#include <vector>

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

TEST(AnswerMemory, OrdinaryTextsAreStoredPlainly) {
    IniDocument settings;
    rememberAnswer(settings, "Open file", "Ouvrir un fichier");
    rememberAnswer(settings, "#include \"x\" [1]; 'y'", "a=b; c");
    rememberAnswer(settings, "Caf\xC3\xA9 \xFF", "");
    EXPECT_EQ(settings.serialize(), "[AlreadyTranslated]\r\n"
                                    "Open file=Ouvrir un fichier\r\n"
                                    "#include \"x\" [1]; 'y'=a=b; c\r\n"
                                    "Caf\xC3\xA9 \xFF=\r\n");
}

TEST(AnswerMemory, GivesTheLastAnswerForExactlyTheSameText) {
    IniDocument settings = IniDocument::parse("[alreadytranslated]\nOpen=Ouvrir\n");
    EXPECT_EQ(recallAnswer(settings, "Open"), "Ouvrir");
    EXPECT_EQ(recallAnswer(settings, "open"), "");
    EXPECT_EQ(recallAnswer(settings, "OPEN"), "");
    rememberAnswer(settings, "open", "ouvrir");
    rememberAnswer(settings, "Open", "Ouvre");
    rememberAnswer(settings, "Open", "Ouvrir ici");
    EXPECT_EQ(recallAnswer(settings, "Open"), "Ouvrir ici");
    EXPECT_EQ(recallAnswer(settings, "open"), "ouvrir");
    EXPECT_EQ(settings.serialize(), "[alreadytranslated]\nOpen=Ouvrir ici\nopen=ouvrir\n");
}

TEST(AnswerMemory, HostileTextsKeepTheFileStructureAndComeBackExactly) {
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"[none]", "[aucun]"},
        {"[AlreadyTranslated]", "x"},
        {";comment", ";commentaire"},
        {"a=b", "=c="},
        {" lead", "  deux"},
        {"trail ", "fin\t"},
        {"\tboth\v", "\v"},
        {"\"quoted\"", "\"cit\xC3\xA9\""},
        {"'single'", "'x'"},
        {"line\nbreak", "ligne\r\ncass\xC3\xA9"
                        "e"},
        {"cr\ronly", "\r"},
        {"\n", "\n\n"},
        {"", "vide"},
        {"%esc:looks escaped", "%esc:%41"},
        {"100%", "50%=moiti\xC3\xA9"},
        {"back\\slash\\", "\\n"},
        {std::string("nul\0byte", 8), std::string("\0", 1)},
        {"\xFF\xFE\x80", "\xC3\x28"},
    };
    IniDocument settings = IniDocument::parse("[Settings]\r\nFont=Arial\r\n");
    for (const auto& [source, answer] : pairs) {
        rememberAnswer(settings, source, answer);
    }
    const std::string text = settings.serialize();
    const IniDocument reread = IniDocument::parse(text);
    for (const auto& [source, answer] : pairs) {
        EXPECT_EQ(recallAnswer(reread, source), answer) << "source: " << source;
    }
    EXPECT_EQ(reread.find("Settings", "Font"), "Arial");
    EXPECT_EQ(reread.find("none", ""), std::nullopt);
    expectOnlyKeyLines(text.substr(text.find("[AlreadyTranslated]")), 1);
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

TEST(AnswerMemory, EncodingsDecodeBackAndEscapedFormsAreUnambiguous) {
    for (const std::string text : {"plain", " lead", "a=b", "%esc:", "%esc:%20", "x%", "%4", "50%41"}) {
        EXPECT_EQ(decodeMemoryText(encodeMemoryKey(text)), text);
        EXPECT_EQ(decodeMemoryText(encodeMemoryValue(text)), text);
    }
    EXPECT_EQ(encodeMemoryKey("plain"), "plain");
    EXPECT_EQ(encodeMemoryKey("50%41"), "50%41");
    EXPECT_EQ(encodeMemoryKey("%esc:x"), "%esc:%25esc:x");
    // Hand-written escapes with lower-case digits, and a stray "%", read as meant.
    EXPECT_EQ(decodeMemoryText("%esc:a%3db%"), "a=b%");
}

} // namespace
} // namespace parlavo
