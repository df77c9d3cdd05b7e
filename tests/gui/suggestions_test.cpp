// Suggestions from the answer memory in the real window: shown under the box, Alt+2 takes one.
#include "app_fixture.h"

#include <QLabel>

namespace parlavo::test {
namespace {

using SuggestionLine = AppWindowTest;

TEST_F(SuggestionLine, SimilarRememberedAnswersAreShownAndAltNumberPutsOneInTheBox) {
    writeFile("Parlavo.ini", "[AlreadyTranslated]\r\nOpen the file now=Datei jetzt öffnen\r\n"
                             "Open the folder=Ordner öffnen\r\nCancel=Abbrechen\r\n");
    writeFile("English.lng", "[A]\r\nk1=Quit\r\nk2=Open the file\r\n");
    openAndLoad();
    ASSERT_NE(state.pass.suggestions, nullptr);
    state.pass.suggestions->wait(); // built in the background; the first entry did not wait for it
    auto* line = find<QLabel>("suggestions");
    answer("Beenden");
    ASSERT_EQ(heading(), "[A] - k2");
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(line->text().toStdString(), "Alt+1: Datei jetzt öffnen (86%)    Alt+2: Ordner öffnen (64%)");
    press(Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(translation()->text(), QString::fromUtf8("Ordner öffnen"));
    press(Qt::Key_3, Qt::AltModifier); // no third suggestion: the box stays
    EXPECT_EQ(translation()->text(), QString::fromUtf8("Ordner öffnen"));
    press(Qt::Key_1, Qt::AltModifier);
    press(Qt::Key_Return);
    EXPECT_EQ(translatedValue("A", "k2"), "Datei jetzt öffnen");
}

TEST_F(SuggestionLine, SuggestionsZeroBuildsNoIndexAndShowsNone) {
    writeFile("Parlavo.ini",
              "[Settings]\r\nSuggestions=0\r\n[AlreadyTranslated]\r\nOpen the folder=Ordner\r\n");
    writeFile("English.lng", "[A]\r\nk1=Open the file\r\n");
    openAndLoad();
    EXPECT_EQ(state.pass.suggestions, nullptr);
    EXPECT_FALSE(find<QLabel>("suggestions")->isVisible());
}

} // namespace
} // namespace parlavo::test
