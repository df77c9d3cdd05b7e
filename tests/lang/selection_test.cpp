#include "lang/selection.h"

#include "lang/answermemory.h"
#include "lang/answers.h"

#include <gtest/gtest.h>

namespace parlavo {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

WorkList select(std::string_view english, std::string_view translated, IniDocument& settings) {
    WorkList work;
    work.english = parseLanguageFile(english);
    work.translated = parseLanguageFile(translated);
    selectPendingEntries(work, settings);
    return work;
}

std::string rewrite(std::string_view english, std::string_view translated) {
    IniDocument settings;
    return renderTranslatedFile(select(english, translated, settings));
}

std::vector<std::string> pendingKeys(const WorkList& work) {
    std::vector<std::string> keys;
    for (const PendingEntry& entry : work.pending) {
        keys.push_back(entry.section + "/" + entry.key);
    }
    return keys;
}

using Keys = std::vector<std::string>;

TEST(Selection, TranslatedFileTakesTheEnglishShape) {
    const std::string english =
        "; English\r\n[A]\r\n  one =  First \r\ntwo=Second\r\n= stray\r\n\r\n[B]\r\none=Other\r\n";
    const std::string translated = "[B]\r\none=Andere\r\n[A]\r\nextra=drop me\r\n one = Erste\r\n"
                                   "one=Zweite Erste\r\nTwo=Zweite\r\n[b]\r\n";
    // Spaces around "=" go, the first duplicate wins, keys match by exact case and section.
    EXPECT_EQ(rewrite(english, translated),
              "; English\r\n[A]\r\none=Erste\r\ntwo=\r\n= stray\r\n\r\n[B]\r\none=Andere\r\n\r\n");
}

TEST(Selection, KeyInAnotherSectionOrCaseIsNotFound) {
    IniDocument settings;
    const WorkList work =
        select("[A]\nk=Open\nK2=Close\n[B]\nk=Open\n", "[C]\nk=Ouvrir\n[A]\nk2=Fermer\n", settings);
    EXPECT_EQ(pendingKeys(work), (Keys{"A/k", "A/K2", "B/k"}));
    EXPECT_EQ(work.pending[2].line, 5);
}

TEST(Selection, EmptyEnglishValueIsNeverPending) {
    IniDocument settings;
    const WorkList work = select("[A]\r\nk=\r\nj =  \r\n", "[A]\r\nk=old\r\nj=old\r\n", settings);
    EXPECT_TRUE(work.pending.empty());
    EXPECT_EQ(work.outputLines, (std::vector<std::string>{"[A]", "k=", "j=", ""}));
}

TEST(Selection, UpdateNeededMarkerMakesEntryPendingAgain) {
    IniDocument settings;
    const WorkList work = select("[A]\r\nk=Open\r\nm=Save\r\n",
                                 "[A]\r\nk=Ouvrir UPDATE NEEDED\r\nm=Sauver update needed\r\n", settings);
    EXPECT_EQ(pendingKeys(work), (Keys{"A/k"}));
    EXPECT_EQ(work.outputLines[1], "k=");
    EXPECT_EQ(work.outputLines[2], "m=Sauver update needed"); // the marker is case-sensitive
}

TEST(Selection, AnswerMemoryFillsWhatTheTranslatedFileLacks) {
    IniDocument settings;
    rememberAnswer(settings, "Open", "Ouvrir");
    rememberAnswer(settings, "Save", "Remembered");
    const WorkList work = select("[A]\nk=Open\nm=Save\nn=Quit\n", "[A]\nm=Sauver\n", settings);
    EXPECT_EQ(work.outputLines, (std::vector<std::string>{"[A]", "k=Ouvrir", "m=Sauver", "n=", ""}));
    EXPECT_EQ(pendingKeys(work), (Keys{"A/n"}));
    EXPECT_EQ(renderTranslatedFile(work), "[A]\nk=Ouvrir\nm=Sauver\nn=\n\n"); // LF file stays LF
}

// Mixed line ends, a line break or a header-making text from the memory: the rewrite still reads back
// as one line per English line, each key at its line, and counts the translations it drops.
TEST(Selection, RewriteReadsBackLineForLineAndCountsDroppedTranslations) {
    IniDocument settings;
    rememberAnswer(settings, "Open", "Ou\nvrir");
    rememberAnswer(settings, "One (1)", "Un [1]");
    const WorkList work =
        select("[S]\r\nA=Open\r\n[1]=One (1)\nB=Save\rC=Close\r",
               "[S]\nB=Sauver\r\nC=Fermer\rGone=Parti\nD=\nE=x UPDATE NEEDED\n;TODO: F=f", settings);
    const std::string rewritten = renderTranslatedFile(work);
    EXPECT_EQ(rewritten, "[S]\r\nA=Ou vrir\r\n[1]=\r\nB=Sauver\r\nC=Fermer\r\n\r\n");
    EXPECT_EQ(pendingKeys(work), (Keys{"S/[1]"}));
    const LanguageFile reread = parseLanguageFile(rewritten);
    ASSERT_EQ(reread.lines.size(), work.english.lines.size() + 1);
    for (std::size_t i = 0; i < work.english.lines.size(); ++i) {
        EXPECT_EQ(reread.lines[i].section + "/" + reread.lines[i].key,
                  work.english.lines[i].section + "/" + work.english.lines[i].key);
    }
    EXPECT_EQ(work.translations, 3u);
    EXPECT_EQ(work.dropped, 1u);
}

TEST(Selection, TextsWithoutLettersAndLoneXOrYAreTakenOverAndRemembered) {
    IniDocument settings;
    const WorkList work =
        select("[A]\r\nnum=1.5 %\r\nx=x\r\nX=X\r\ny=Y\r\nxy=xy\r\nacc=\xE9\xE8\r\n", "", settings);
    EXPECT_EQ(pendingKeys(work), (Keys{"A/xy"}));
    EXPECT_EQ(work.outputLines[1], "num=1.5 %");
    EXPECT_EQ(work.outputLines[4], "y=Y");
    EXPECT_EQ(work.outputLines[6], "acc=\xE9\xE8");
    EXPECT_EQ(recallAnswer(settings, "1.5 %"), "1.5 %");
    EXPECT_EQ(recallAnswer(settings, "x"), "x");
    EXPECT_EQ(recallAnswer(settings, "\xE9\xE8"), "\xE9\xE8");
    EXPECT_EQ(recallAnswer(settings, "xy"), "");
}

TEST(Selection, FileExtensionKeysGetFixedValuesThatAreNotRemembered) {
    IniDocument settings;
    const WorkList work =
        select("[M]\nMainForm.cbActiveDLLSelect.Items[0]=Plug-in\nMainForm.pmLatestConfig3=Recent\n"
               "a.MainForm.tbLatestConfig=Last\nmainform.pmLatestConfig=Lower\n",
               "", settings);
    EXPECT_EQ(work.outputLines[1], "MainForm.cbActiveDLLSelect.Items[0]=.dll");
    EXPECT_EQ(work.outputLines[2], "MainForm.pmLatestConfig3=.ini");
    EXPECT_EQ(work.outputLines[3], "a.MainForm.tbLatestConfig=.ini");
    EXPECT_EQ(pendingKeys(work), (Keys{"M/mainform.pmLatestConfig"}));
    EXPECT_EQ(recallAnswer(settings, "Plug-in"), "");
    EXPECT_EQ(recallAnswer(settings, "Recent"), "");
}

TEST(Selection, ByteOrderMarksDoNotMoveSectionsAndTheEnglishMarkIsKept) {
    // A marked Translated file still matches an unmarked English file, and the other way round.
    EXPECT_EQ(rewrite("[Text]\nk=Open\n", kBom + "[Text]\nk=Ouvrir\n"), "[Text]\nk=Ouvrir\n\n");
    EXPECT_EQ(rewrite(kBom + "[Text]\r\nk=Open", "[Text]\r\nk=Ouvrir"), kBom + "[Text]\r\nk=Ouvrir\r\n");
    // A key line behind the mark keeps the mark in front of the rewritten line.
    EXPECT_EQ(rewrite(kBom + " k = Open\n", kBom + "k=Ouvrir\n"), kBom + "k=Ouvrir\n\n");
    EXPECT_EQ(rewrite(kBom + " k = Open\n", ""), kBom + "k=\n\n");
}

} // namespace
} // namespace parlavo
