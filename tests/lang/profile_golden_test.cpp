// Golden cases for the INI writer: tests/data/ini/<case>/ holds input.ini (absent for a new file),
// ops.txt (one operation a line, fields split by tabs) and expected.ini (the exact bytes after the
// operations). Operations:
//   set S K V | setExact S K V | expect S K V | missing S K | remember SOURCE ANSWER | recall SOURCE ANSWER
//   reread    (parse the text written so far again, so that later checks read what a new run would)
// Fields may hold \t \r \n \\ and \xHH.
#include "lang/answermemory.h"
#include "lang/profile.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace parlavo {
namespace {

namespace fs = std::filesystem;

const fs::path kCases = fs::path(PARLAVO_TEST_DATA_DIR) / "ini";

// The tab-separated fields of a line, each with its escapes resolved.
std::vector<std::string> fields(std::string_view line) {
    std::vector<std::string> result(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t') {
            result.emplace_back();
        } else if (line[i] != '\\' || i + 1 == line.size()) {
            result.back() += line[i];
        } else if (line[++i] == 'x' && i + 2 < line.size()) {
            result.back() += static_cast<char>(std::stoi(std::string(line.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            const char code = line[i];
            result.back() += code == 't' ? '\t' : code == 'r' ? '\r' : code == 'n' ? '\n' : code;
        }
    }
    return result;
}

// Runs one operation; returns false for an unknown one.
bool applyOperation(IniDocument& document, const std::vector<std::string>& op) {
    const std::string& name = op[0];
    auto field = [&](std::size_t i) { return i < op.size() ? op[i] : std::string(); };
    if (name == "set") {
        document.set(field(1), field(2), field(3));
    } else if (name == "setExact") {
        document.setExact(field(1), field(2), field(3));
    } else if (name == "expect") {
        EXPECT_EQ(document.find(field(1), field(2)), std::optional<std::string>(field(3)));
    } else if (name == "missing") {
        EXPECT_EQ(document.find(field(1), field(2)), std::nullopt);
    } else if (name == "remember") {
        rememberAnswer(document, field(1), field(2));
    } else if (name == "recall") {
        EXPECT_EQ(recallAnswer(document, field(1)), field(2));
    } else if (name == "entries") { // the section's entries as listed, "key=value" joined by "|"
        std::string listed;
        document.forEachEntry(field(1), [&](std::string_view key, std::string_view value) {
            listed += (listed.empty() ? "" : "|") + std::string(key) + "=" + std::string(value);
        });
        EXPECT_EQ(listed, field(2));
    } else if (name == "reread") {
        document = IniDocument::parse(document.serialize());
    } else {
        return false;
    }
    return true;
}

class IniGolden : public testing::TestWithParam<std::string> {};

TEST_P(IniGolden, OperationsGiveExactlyTheExpectedBytes) {
    const fs::path folder = kCases / GetParam();
    IniDocument document = IniDocument::parse(readWholeFile((folder / "input.ini").string()).valueOr(""));

    std::ifstream ops(folder / "ops.txt", std::ios::binary);
    std::string line;
    int number = 0;
    while (std::getline(ops, line)) {
        ++number;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        SCOPED_TRACE("ops.txt line " + std::to_string(number) + ": " + line);
        ASSERT_TRUE(applyOperation(document, fields(line)));
    }
    const std::string expected = readWholeFile((folder / "expected.ini").string()).valueOr("<missing>");
    EXPECT_EQ(document.serialize(), expected); // the pieces a save writes, joined
}

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(kCases)) {
        if (entry.is_directory()) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Files, IniGolden, testing::ValuesIn(caseNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

} // namespace
} // namespace parlavo
