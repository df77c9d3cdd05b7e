#include "lang/answers.h"

#include "lang/answermemory.h"
#include "lang/profile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace parlavo {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

PendingEntry entry(int line, std::string_view section, std::string_view key,
                   std::string_view source = "Source") {
    return PendingEntry(line, section, key, source);
}

std::string recallFrom(const std::string& settingsPath, std::string_view source) {
    const Result<ProfileFile> settings = ProfileFile::open(settingsPath);
    return settings.ok() ? recallAnswer(settings.value.document(), source) : "<unreadable>";
}

TEST(Answers, EveryLineBreakInAnAnswerBecomesOneSpace) {
    EXPECT_EQ(singleLineAnswer("a\r\nb\rc\nd\n\re"), "a b c d  e");
    EXPECT_EQ(singleLineAnswer("plain"), "plain");
}

TEST(Answers, WriteAnswerChangesOnlyTheEntrysLineAndRemembersIt) {
    test::TempDir dir;
    const std::string file = "; c = d\r\n[A]\r\n k =old\r\nlone=a\rb\r\n[B]\r\nk=\r\n";
    const std::string path = dir.write("T.lng", file);
    const std::string settings = dir.file("Parlavo.ini");
    ASSERT_TRUE(
        writeAnswer(path, settings, entry(6, "B", "k"), {"Ouvrir\r\nde suite", "Open", "Ouvrir\r\nde suite"})
            .ok());
    // The file takes the answer in its own encoding, the memory as UTF-8 text.
    ASSERT_TRUE(writeAnswer(path, settings, entry(3, "A", "k"), {"Ferm\xE9", "Close", "Ferm\u00E9"}).ok());
    EXPECT_NE(dir.read("T.lng").find("\r\n k =Ferm\xE9\r\n"), std::string::npos);
    EXPECT_EQ(recallFrom(settings, "Close"), "Ferm\u00E9");
    ASSERT_TRUE(
        writeAnswer(path, settings, entry(3, "A", "k"), {"", "Close", ""}).ok()); // an empty answer too
    // The key keeps its spelling up to the "="; line ends and other lines stay byte for byte.
    EXPECT_EQ(dir.read("T.lng"), "; c = d\r\n[A]\r\n k =\r\nlone=a\rb\r\n[B]\r\nk=Ouvrir de suite\r\n");
    EXPECT_EQ(recallFrom(settings, "Open"), "Ouvrir de suite");
    EXPECT_EQ(recallFrom(settings, "Close"), "");
}

TEST(Answers, EqualKeysInOneSectionEachKeepTheirOwnAnswer) {
    test::TempDir dir;
    const std::string path = dir.write("T.lng", "[Misc]\nrsVersion=\nother=1\nrsVersion=\n");
    const PendingEntry first = entry(2, "Misc", "rsVersion");
    const PendingEntry second = entry(4, "Misc", "rsVersion");
    ASSERT_TRUE(storeAnswers(path, {&second}, "second").ok());
    ASSERT_TRUE(storeAnswers(path, {&first}, "first").ok());
    EXPECT_EQ(dir.read("T.lng"), "[Misc]\nrsVersion=first\nother=1\nrsVersion=second\n");
}

TEST(Answers, FileEditedSinceTheLoadGetsTheAnswerAtTheFirstMatchOrAnAddedLine) {
    test::TempDir dir;
    // The load put A/k on line 2 and B/j on line 5; since then lines were added and B was removed.
    const std::string path = dir.write("T.lng", kBom + "[A]\n; new comment\nk=\nk=dup\n\n[C]\nc=1");
    const PendingEntry moved = entry(2, "A", "k");
    const PendingEntry gone = entry(5, "B", "j");
    const PendingEntry gone2 = entry(6, "B", "j2");
    const PendingEntry newInA = entry(7, "A", "n");
    const PendingEntry top = entry(1, "", "t");
    ASSERT_TRUE(storeAnswers(path, {&moved, &gone, &gone2, &newInA, &top}, "x").ok());
    EXPECT_EQ(dir.read("T.lng"),
              kBom + "t=x\n[A]\n; new comment\nk=x\nk=dup\nn=x\n\n[C]\nc=1\n[B]\nj=x\nj2=x\n");
    // Section and key match without regard to letter case; each line keeps its own end.
    dir.write("T.lng", "[a]\r\n; moved\nK=\r\n");
    ASSERT_TRUE(storeAnswers(path, {&moved, &newInA}, "y").ok());
    EXPECT_EQ(dir.read("T.lng"), "[a]\r\n; moved\nK=y\r\nn=y\r\n");
}

TEST(Answers, NoAnswerMakesItsLineReadBackAsAHeader) {
    test::TempDir dir;
    const std::string file = "[S]\r\n[1]=\r\n[2=\r\nb=\r\n";
    const std::string path = dir.write("T.lng", file);
    const Status typed =
        writeAnswer(path, dir.file("Parlavo.ini"), entry(2, "S", "[1]"), {"Un [1]", "One", "Un [1]"});
    EXPECT_EQ(typed.error, "This answer cannot be saved: the line would read back as a section header.");
    EXPECT_EQ(dir.read("T.lng"), file);
    EXPECT_FALSE(std::filesystem::exists(dir.file("Parlavo.ini")));
    const std::vector<PendingEntry> pending = {entry(2, "S", "[1]", "One"), entry(3, "S", "[2", "One"),
                                               entry(4, "S", "b", "One")};
    const SpreadResult spread = spreadAnswer(path, pending, 0, "One", "Un 2]");
    EXPECT_EQ(spread.indexes, (std::vector<std::size_t>{2}));
    EXPECT_EQ(dir.read("T.lng"), "[S]\r\n[1]=\r\n[2=\r\nb=Un 2]\r\n");
    EXPECT_TRUE(keyLineReadsBack("[1]=Un (1)", "[1]", false));
    EXPECT_FALSE(keyLineReadsBack(kBom + "[2=Un 2]", "[2", true));
    // Not bracketed whole, yet a header to the settings' reader, which its key alone is not.
    EXPECT_FALSE(keyLineReadsBack("[2=Un] 2", "[2", false));
}

TEST(Answers, AKeyThatDecidesAloneReadsBackWithEveryValue) {
    const std::vector<std::string> values = {"x", "b]", "]", "[c]", "=", "a=b", " ", "; c", kBom};
    const std::vector<std::pair<std::string, bool>> keys = {
        {"a", true},   {"K_1.b", true}, {"a b", true}, {"a\t", true},  {";a", true}, {"[a", false},
        {" a", false}, {"\ta", false},  {"a ", false}, {"a=b", false}, {"", false}};
    for (const auto& [key, alone] : keys) {
        EXPECT_EQ(anyValueReadsBack(key), alone) << key;
        bool everyValue = true;
        for (const std::string& value : values) {
            everyValue = everyValue && keyLineReadsBack(key + "=" + value, key, false);
        }
        EXPECT_TRUE(!alone || everyValue) << key;
    }
}

TEST(Answers, OwnLineHoldingAnotherKeyOrSectionSendsTheAnswerToItsOwnPair) {
    test::TempDir dir;
    // Edited on disk since the load: A/j was on line 2 and B/j on line 3.
    const std::string path = dir.write("T.lng", "[A]\nk=\nj=\n[B]\nj=\n");
    const PendingEntry inA = entry(2, "A", "j");
    const PendingEntry inB = entry(3, "B", "j");
    ASSERT_TRUE(storeAnswers(path, {&inA, &inB}, "x").ok());
    EXPECT_EQ(dir.read("T.lng"), "[A]\nk=\nj=x\n[B]\nj=x\n");
}

TEST(Answers, MissingTranslatedFileIsCreatedWithTheAnswer) {
    test::TempDir dir;
    const PendingEntry e = entry(2, "A", "k");
    ASSERT_TRUE(storeAnswers(dir.file("T.lng"), {&e}, "v").ok());
    EXPECT_EQ(dir.read("T.lng"), "[A]\r\nk=v\r\n");
}

TEST(Answers, SpreadGoesToLaterEntriesWithTheSameSourceOnly) {
    test::TempDir dir;
    const std::string path = dir.write("T.lng", "[A]\r\na=\r\nb=\r\nc=\r\nd=\r\ne=\r\n");
    const std::string settings = dir.file("Parlavo.ini");
    const std::vector<PendingEntry> pending = {entry(2, "A", "a", "Open"), entry(3, "A", "b", "Open"),
                                               entry(4, "A", "c", "Open "), entry(5, "A", "d", "Open"),
                                               entry(6, "A", "e", "open")};
    const SpreadResult spread = spreadAnswer(path, pending, 1, "Open", "Ouvrir\nmaintenant");
    ASSERT_TRUE(spread.status.ok());
    EXPECT_EQ(spread.indexes, (std::vector<std::size_t>{3}));
    EXPECT_EQ(dir.read("T.lng"), "[A]\r\na=\r\nb=\r\nc=\r\nd=Ouvrir maintenant\r\ne=\r\n");
    EXPECT_FALSE(std::filesystem::exists(settings)); // the memory is not written again

    const SpreadResult none = spreadAnswer(path, pending, 4, "Open", "x");
    EXPECT_TRUE(none.status.ok());
    EXPECT_TRUE(none.indexes.empty());
}

// How an editor beside the program changes a file; each way leaves all but one part of its stamp
// as it was.
enum class OutsideEdit { NewFileSameSizeAndTime, SameFileSameSizeLaterTime, SameFileAndTimeOtherSize };

void editBeside(const test::TempDir& dir, const std::string& name, const std::string& bytes,
                OutsideEdit how) {
    namespace fs = std::filesystem;
    const std::string path = dir.file(name);
    const fs::file_time_type time = fs::last_write_time(path);
    if (how == OutsideEdit::NewFileSameSizeAndTime) {
        const std::string fresh = dir.write(name + ".new", bytes);
        fs::last_write_time(fresh, time);
        fs::rename(fresh, path);
    } else {
        dir.write(name, bytes);
        fs::last_write_time(
            path, how == OutsideEdit::SameFileSameSizeLaterTime ? time + std::chrono::seconds(1) : time);
    }
}

TEST(Answers, AnEditMadeBesideTheProgramBetweenTwoAnswersIsNeverOverwritten) {
    const std::vector<std::pair<std::string, std::string>> edits = {
        {"T.lng", "[A]\r\na=y\r\nb=\r\n"},
        {"T.lng", "[A]\r\na=yy\r\nb=\r\n"},
        {"Parlavo.ini", "[AlreadyTranslated]\r\nOne=Ux\r\nOpen=x\r\n"},
        {"Parlavo.ini", "[AlreadyTranslated]\r\nOne=Un\r\nOpen=x\r\nTwo=Deux\r\n"},
    };
    for (const auto& [name, edited] : edits) {
        for (const OutsideEdit how :
             {OutsideEdit::NewFileSameSizeAndTime, OutsideEdit::SameFileSameSizeLaterTime,
              OutsideEdit::SameFileAndTimeOtherSize}) {
            test::TempDir dir;
            const std::string path = dir.write("T.lng", "[A]\r\na=\r\nb=\r\n");
            const std::string settings = dir.write("Parlavo.ini", "[AlreadyTranslated]\r\nOne=Un\r\n");
            KeptLanguageFile translated;
            KeptSettingsFile memory;
            ASSERT_TRUE(
                writeAnswer({translated, memory}, path, settings, entry(2, "A", "a"), {"x", "Open", "x"})
                    .ok());
            const bool sameSize = dir.read(name).size() == edited.size();
            if (sameSize == (how == OutsideEdit::SameFileAndTimeOtherSize)) {
                continue; // this edit cannot be made that way
            }
            SCOPED_TRACE(name + " " + edited + " " + std::to_string(static_cast<int>(how)));
            editBeside(dir, name, edited, how);
            ASSERT_TRUE(
                writeAnswer({translated, memory}, path, settings, entry(3, "A", "b"), {"z", "Close", "z"})
                    .ok());
            if (name == "T.lng") {
                EXPECT_EQ(dir.read("T.lng"), edited.substr(0, edited.size() - 2) + "z\r\n");
            } else {
                EXPECT_EQ(dir.read("Parlavo.ini"), edited + "Close=z\r\n");
            }
        }
    }
}

} // namespace
} // namespace parlavo
