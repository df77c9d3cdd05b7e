#include "lang/selection.h"

#include "lang/answermemory.h"
#include "lang/answers.h"

#include <gtest/gtest.h>

namespace parlavo {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

WorkList select(std::string_view english, std::string_view translated, IniDocument& settings) {
    WorkList work;
    work.english = parseLanguageFile(std::string(english));
    work.translated = parseLanguageFile(std::string(translated));
    selectPendingEntries(work, settings);
    return work;
}

// "SECTION/KEY@LINE" of each pending entry, space-separated.
std::string pendingText(const WorkList& work) {
    std::string text;
    for (const PendingEntry& entry : work.pending) {
        text.append(text.empty() ? "" : " ").append(entry.section()).append("/").append(entry.key());
        text += "@" + std::to_string(entry.line);
    }
    return text;
}

TEST(Selection, RewriteTakesTheEnglishShapeWithTheTranslationsThatStillHold) {
    const struct {
        const char* name;
        std::string english, translated, memory; // memory: the [AlreadyTranslated] lines
        std::string rewritten, pending;
    } cases[] = {
        // Spaces around "=" go, the first duplicate wins, keys match by exact case and section.
        {"shape", "; English\r\n[A]\r\n  one =  First \r\ntwo=Second\r\n= stray\r\n\r\n[B]\r\none=Other\r\n",
         "[B]\r\none=Andere\r\n[A]\r\nextra=drop me\r\n one = Erste\r\none=Zweite "
         "Erste\r\nTwo=Zweite\r\n[b]\r\n",
         "", "; English\r\n[A]\r\none=Erste\r\ntwo=\r\n= stray\r\n\r\n[B]\r\none=Andere\r\n\r\n", "A/two@4"},
        {"other section or case", "[A]\nk=Open\nK2=Close\n[B]\nk=Open\n", "[C]\nk=Ouvrir\n[A]\nk2=Fermer\n",
         "", "[A]\nk=\nK2=\n[B]\nk=\n\n", "A/k@2 A/K2@3 B/k@5"},
        {"empty English value", "[A]\r\nk=\r\nj =  \r\n", "[A]\r\nk=old\r\nj=old\r\n", "",
         "[A]\r\nk=\r\nj=\r\n\r\n", ""},
        // The marker counts anywhere in the value, in capitals only.
        {"update needed", "[A]\r\nk=Open\r\nm=Save\r\nn=Quit\r\n",
         "[A]\r\nk=Ouvrir UPDATE NEEDED\r\nm=Sauver update needed\r\nn=UPDATE NEEDED: Quitter\r\n", "",
         "[A]\r\nk=\r\nm=Sauver update needed\r\nn=\r\n\r\n", "A/k@2 A/n@4"},
        {"answer memory", "[A]\nk=Open\nm=Save\nn=Quit\n", "[A]\nm=Sauver\n",
         "Open=Ouvrir\nSave=Remembered\n", "[A]\nk=Ouvrir\nm=Sauver\nn=\n\n", "A/n@4"},
        {"no letters, lone x or y",
         "[A]\r\nnum=1.5 %\r\nx=x\r\nX=X\r\ny=y\r\nY=Y\r\nxy=xy\r\nacc=\xE9\xE8\r\n", "", "",
         "[A]\r\nnum=1.5 %\r\nx=x\r\nX=X\r\ny=y\r\nY=Y\r\nxy=\r\nacc=\xE9\xE8\r\n\r\n", "A/xy@7"},
        {"file extension lists",
         "[M]\nMainForm.cbActiveDLLSelect.Items[0]=Plug-in\nMainForm.pmLatestConfig3=Recent\n"
         "a.MainForm.tbLatestConfig=Last\nmainform.pmLatestConfig=Lower\n",
         "", "",
         "[M]\nMainForm.cbActiveDLLSelect.Items[0]=.dll\nMainForm.pmLatestConfig3=.ini\n"
         "a.MainForm.tbLatestConfig=.ini\nmainform.pmLatestConfig=\n\n",
         "M/mainform.pmLatestConfig@5"},
        // A marked Translated file matches an unmarked English file and the other way round; a key
        // line behind the mark keeps the mark in front of the rewritten line.
        {"mark on the Translated file", "[Text]\nk=Open\n", kBom + "[Text]\nk=Ouvrir\n", "",
         "[Text]\nk=Ouvrir\n\n", ""},
        {"mark on the English file", kBom + "[Text]\r\nk=Open", "[Text]\r\nk=Ouvrir", "",
         kBom + "[Text]\r\nk=Ouvrir\r\n", ""},
        {"mark before a key", kBom + " k = Open\n", kBom + "k=Ouvrir\n", "", kBom + "k=Ouvrir\n\n", ""},
        {"no keys", "; only\r\n[A]\r\n\r\nno key here\r\n", "[A]\r\nk=v\r\n", "",
         "; only\r\n[A]\r\n\r\nno key here\r\n\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IniDocument settings = IniDocument::parse("[AlreadyTranslated]\n" + c.memory);
        const WorkList work = select(c.english, c.translated, settings);
        EXPECT_EQ(renderTranslatedFile(work), c.rewritten);
        EXPECT_EQ(pendingText(work), c.pending);
    }
}

TEST(Selection, TextsTakenOverAreRememberedButFixedExtensionsAreNot) {
    IniDocument settings;
    select("[A]\r\nnum=1.5 %\r\nx=x\r\nxy=xy\r\nMainForm.pmLatestConfig3=Recent\r\n", "", settings);
    EXPECT_EQ(recallAnswer(settings, "1.5 %"), "1.5 %");
    EXPECT_EQ(recallAnswer(settings, "x"), "x");
    EXPECT_EQ(recallAnswer(settings, "xy"), "");
    EXPECT_EQ(recallAnswer(settings, "Recent"), "");
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
    EXPECT_EQ(pendingText(work), "S/[1]@3");
    const LanguageFile reread = parseLanguageFile(rewritten);
    ASSERT_EQ(reread.lines.size(), work.english.lines.size() + 1);
    for (std::size_t i = 0; i < work.english.lines.size(); ++i) {
        EXPECT_EQ(std::string(reread.lines[i].section()) + "/" + std::string(reread.lines[i].key()),
                  std::string(work.english.lines[i].section()) + "/" +
                      std::string(work.english.lines[i].key()));
    }
    EXPECT_EQ(work.translations, 3u);
    EXPECT_EQ(work.dropped, 1u);
}

} // namespace
} // namespace parlavo
