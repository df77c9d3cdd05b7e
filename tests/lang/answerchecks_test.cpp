#include "lang/answerchecks.h"

#include <gtest/gtest.h>

namespace parlavo::test {
namespace {

// English lines of the innosetup corpus with real answers (which pass) and broken ones.
TEST(AnswerChecks, EachRuleNamesWhatTheAnswerLacksAgainstItsEnglishText) {
    struct Case {
        const char* english;
        const char* answer;
        const char* problems; // the warning line, "" when the answer passes
    };
    const Case cases[] = {
        {"%1.%n%nError %2: %3", "%1.%n%nFehler %2: %3", ""},
        {"%1.%n%nError %2: %3", "%2 : %1.%n%nErreur %3", ""}, // order may change
        {"%1.%n%nError %2: %3", "%1.%n%nFehler: %3", "Missing %2."},
        {"Setup - %1", "Setup - %1 %s", "Not in the English text: %s."},
        {"%1.%n%nError %2: %3", "%1. Fehler %2: %3", "Missing %n."},
        {"Done {0} of {total}", "{total} erledigt", "Missing {0}."},
        {"100%% done", "100% fertig", "Missing %%."},
        {"&Next >", "&Weiter >", ""},
        {"< &Back", "< Zurück", "Missing the accelerator '&'."},
        {"Folder Exists", "&Ordner existiert", "The English text has no accelerator '&'."},
        {"Tom && Jerry", "Tom && Jerry", ""},
        {"&About Setup...", "&Über das Setup ...", ""},
        {"&Browse...", "&Durchsuchen", "The English text ends with '...'."},
        {"Select Destination Location", "Ziel-Ordner wählen.", "The English text does not end with '.'."},
        {"Select the folder:", "选择文件夹：", ""},
        {"Line one\\nLine two", "Zeile eins Zeile zwei", "The English text has 1 \\n, the answer 0."},
        {"A<br>B\\tC", "A B\\tC", "The English text has 1 <br>, the answer 0."},
        {" Name", "Name", "The English text starts with 1 spaces, the answer with 0."},
        {"Name ", "Name  ", "The English text ends with 1 spaces, the answer with 2."},
        {"Click <b>Next</b> (or Enter)", "Klicken Sie <b>Weiter</b> (oder Enter)", ""},
        {"Click <b>Next</b>", "Klicken Sie <b>Weiter", "Unbalanced <b> in the answer."},
        {"Click (Next)", "Klicken Sie (Weiter", "Unbalanced ( in the answer."},
        {"Click \"OK\"", "Klicken Sie \"OK", "Unbalanced \" in the answer."},
        {"Setup - %1", "", "The answer is empty."},
        {"", "", ""},
        {"Missing %1:", "Fehlt", "Missing %1. The English text ends with ':'."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(joinProblems(checkAnswer(c.english, c.answer)), c.problems)
            << "English: " << c.english << "\nAnswer: " << c.answer;
    }
}

} // namespace
} // namespace parlavo::test
