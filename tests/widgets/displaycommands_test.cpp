// The font, size and colour controls and the "..." buttons in the real window: every change reaches
// the file view and Parlavo.ini at once.
#include "../gui/app_fixture.h"
#include "store_folder.h"

#include "lang/profile.h"
#include "lang/settings.h"
#include "widgets/colourchooser.h"
#include "widgets/filedialog.h"

#include <QComboBox>
#include <QDir>
#include <QTest>
#include <QTextCursor>
#include <algorithm>
#include <filesystem>

namespace parlavo::test {
namespace {

constexpr char kEnglish[] = "[Main]\r\nHello=Hello\r\nBye=Goodbye\r\n";
constexpr char kTranslated[] = "[Main]\r\nHello=Hallo\r\n";

class DisplayCommands : public AppWindowTest {
  protected:
    void TearDown() override {
        setColourDialogHook({});
        setFileDialogHook({});
        AppWindowTest::TearDown();
    }

    // A pass with one pending entry ("Bye"): the display controls are shown during a pass.
    void startPass() {
        writeFile("English.lng", kEnglish);
        writeFile("Translated.lng", kTranslated);
        openAndLoad();
    }

    // The colour dialog answers with the colour; it records what it was asked with.
    void answerColourDialog(std::optional<std::uint32_t> colour, std::uint32_t customSlot1 = 0) {
        setColourDialogHook(
            [this, colour, customSlot1](QWidget*, std::uint32_t initial, CustomColours& custom) {
                askedInitial = initial;
                askedCustom = custom;
                if (customSlot1 != 0) {
                    custom[0] = customSlot1;
                }
                return colour;
            });
    }

    void reopenWindow() {
        closeWindowIfOpen();
        state = AppState{};
        state.clock = &clock;
        openWindow();
    }

    static QColor centreOf(QWidget* widget) {
        const QImage image = widget->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    }

    QPushButton* swatch(const char* name) const { return find<QPushButton>(name); }
    QComboBox* fontList() const { return find<QComboBox>("fontList"); }
    QComboBox* sizeBox() const { return find<QComboBox>("sizeBox"); }

    // The character format inside the view's text, where the text starts.
    QTextCharFormat formatAt(const QString& text) {
        const QTextCursor found = view()->document()->find(text);
        EXPECT_FALSE(found.isNull()) << text.toStdString();
        return test::formatAt(*view(), found.selectionStart());
    }

    void chooseFace(const char* face) {
        const int index = fontList()->findText(QString::fromLatin1(face), Qt::MatchExactly);
        ASSERT_GE(index, 0) << face;
        fontList()->setCurrentIndex(index);
    }

    void typeSize(const QString& text) {
        sizeBox()->lineEdit()->setFocus();
        sizeBox()->lineEdit()->selectAll();
        QTest::keyClicks(sizeBox()->lineEdit(), text);
    }

    StoreFolder store;
    std::uint32_t askedInitial = 0;
    CustomColours askedCustom{};
};

TEST_F(DisplayCommands, ColourPicksAreAppliedSavedAndRestoredAtTheNextStart) {
    startPass();
    answerColourDialog(0x0000FFu, 0x123456u);
    click(swatch("textColorSwatch"));
    EXPECT_EQ(askedInitial, 0u); // black, the default text colour
    EXPECT_EQ(setting("Color"), "255");
    EXPECT_EQ(window().controlText(1017), "255");
    EXPECT_EQ(formatAt("Hallo").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(centreOf(swatch("textColorSwatch")), QColor(255, 0, 0)); // the button shows it
    EXPECT_EQ(readCustomColoursText().substr(0, 15), "ColorA=123456\r\n");

    answerColourDialog(0xFF0000u);
    click(swatch("backgroundSwatch"));
    EXPECT_EQ(askedInitial, 13160660u);
    EXPECT_EQ(askedCustom[0], 0x123456u); // the custom colours kept from the last pick
    EXPECT_EQ(setting("BGColor"), "16711680");
    EXPECT_EQ(view()->palette().color(QPalette::Base), QColor(0, 0, 255));

    answerColourDialog(0x00FF00u);
    click(swatch("highlightSwatch"));
    EXPECT_EQ(setting("HighlightColor"), "65280");
    EXPECT_EQ(formatAt("Bye=").background().color(), QColor(0, 255, 0)); // the pending key

    reopenWindow();
    EXPECT_EQ(window().controlText(1017), "255");
    EXPECT_EQ(window().controlText(1016), "65280");
    EXPECT_EQ(window().controlText(1015), "16711680");
    EXPECT_EQ(view()->palette().color(QPalette::Base), QColor(0, 0, 255));
    EXPECT_EQ(view()->currentCharFormat().foreground().color(), QColor(255, 0, 0));
}

TEST_F(DisplayCommands, SameColourAgainWritesNothingAndCancelChangesNothing) {
    startPass();
    answerColourDialog(0x0000FFu);
    click(swatch("textColorSwatch"));
    ASSERT_EQ(setting("Color"), "255");
    // Edited by hand meanwhile: a write of the colour would show.
    std::string edited = readFile("Parlavo.ini");
    const std::size_t at = edited.find("Color=255");
    ASSERT_NE(at, std::string::npos);
    edited.replace(at, 9, "Color=7");
    writeFile("Parlavo.ini", edited);
    const std::string settings = readFile("Parlavo.ini");

    // The same colour again: the custom colours are still kept, the settings file is not touched.
    answerColourDialog(0x0000FFu, 0x777777u);
    click(swatch("textColorSwatch"));
    EXPECT_EQ(askedInitial, 255u);
    EXPECT_EQ(readFile("Parlavo.ini"), settings);
    EXPECT_EQ(readCustomColoursText().substr(0, 15), "ColorA=777777\r\n");
    const std::string customColours = readCustomColoursText();

    answerColourDialog(std::nullopt, 0xABCDEFu);
    click(swatch("highlightSwatch"));
    click(swatch("textColorSwatch"));
    EXPECT_EQ(readFile("Parlavo.ini"), settings);
    EXPECT_EQ(readCustomColoursText(), customColours);
    EXPECT_EQ(window().controlText(1016), "65535");
    EXPECT_EQ(window().controlText(1017), "255");
    EXPECT_EQ(state.display.HighlightColor, 65535u);
}

TEST_F(DisplayCommands, FontChangeReformatsTheViewAndKeepsTheTypedSize) {
    startPass();
    chooseFace("DejaVu Serif");
    EXPECT_EQ(setting("Font"), "DejaVu Serif");
    EXPECT_EQ(state.display.Font, "DejaVu Serif");
    // The closed list shows the chosen face's name: the field holds text pixels, not only its fill.
    const QImage field = fontList()->grab().toImage();
    const QColor fill = field.pixelColor(field.width() / 2, field.height() / 2);
    int textPixels = 0;
    for (int x = 0; x < field.width() / 2; ++x) {
        textPixels += field.pixelColor(x, field.height() / 2) != fill ? 1 : 0;
    }
    EXPECT_GT(textPixels, 3);
    const QTextCharFormat key = formatAt("Hello=");
    EXPECT_TRUE(key.fontFamilies().toStringList().contains(QStringLiteral("DejaVu Serif")));
    EXPECT_EQ(key.fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt("[Main]").fontPointSize(), 12.0); // lines without a key: size + 4
    ASSERT_EQ(sizeBox()->count(), 17);
    EXPECT_EQ(sizeBox()->currentText(), QStringLiteral("8"));
    EXPECT_EQ(sizeBox()->currentIndex(), 0);

    typeSize(QStringLiteral("13"));
    ASSERT_EQ(setting("Size"), "13");
    chooseFace("Liberation Mono");
    EXPECT_EQ(setting("Font"), "Liberation Mono");
    EXPECT_EQ(sizeBox()->currentText(), QStringLiteral("13"));
    EXPECT_EQ(sizeBox()->currentIndex(), -1);
    EXPECT_EQ(state.display.Size, 13);
    EXPECT_EQ(setting("Size"), "13");
    EXPECT_TRUE(formatAt("Bye=").fontFamilies().toStringList().contains(QStringLiteral("Liberation Mono")));
}

TEST_F(DisplayCommands, EveryKeystrokeInTheSizeBoxIsAppliedAndWritten) {
    writeFile("Parlavo.ini", "[Settings]\r\nFont=DejaVu Sans\r\n");
    startPass();
    ASSERT_EQ(sizeBox()->count(), 17);
    sizeBox()->lineEdit()->setFocus();
    sizeBox()->lineEdit()->selectAll();
    QTest::keyClick(sizeBox()->lineEdit(), Qt::Key_Delete);
    EXPECT_EQ(setting("Size"), "0"); // an empty box reads as 0
    QTest::keyClick(sizeBox()->lineEdit(), Qt::Key_1);
    EXPECT_EQ(setting("Size"), "1");
    EXPECT_EQ(formatAt("Hello=").fontPointSize(), 1.0);
    QTest::keyClick(sizeBox()->lineEdit(), Qt::Key_2);
    EXPECT_EQ(setting("Size"), "12");
    EXPECT_EQ(formatAt("Hello=").fontPointSize(), 12.0);
    EXPECT_EQ(formatAt("[Main]").fontPointSize(), 16.0);

    // Text that is no number is stored as 0, but the view keeps a size it can show its text at.
    typeSize(QStringLiteral("abc"));
    EXPECT_EQ(setting("Size"), "0");
    EXPECT_EQ(formatAt("Hello=").fontPointSize(), 12.0);
    typeSize(QStringLiteral("10.5"));
    EXPECT_EQ(setting("Size"), "10");

    sizeBox()->setCurrentIndex(sizeBox()->findText(QStringLiteral("20")));
    EXPECT_EQ(setting("Size"), "20");
    EXPECT_EQ(formatAt("Hello=").fontPointSize(), 20.0);
    reopenWindow();
    EXPECT_EQ(window().controlText(1009), "20");
}

TEST_F(DisplayCommands, SettingsThatCannotBeSavedAreReportedOnceNotPerKeystroke) {
    startPass();
    std::filesystem::remove(file("Parlavo.ini"));
    std::filesystem::create_directory(file("Parlavo.ini")); // no write can replace a folder
    sizeBox()->lineEdit()->setFocus();
    QTest::keyClick(sizeBox()->lineEdit(), Qt::Key_1);
    QTest::keyClick(sizeBox()->lineEdit(), Qt::Key_2);
    const std::vector<ShownMessage> shown = messages();
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                            [](const ShownMessage& message) { return message.icon == MessageIcon::Warning; }),
              1);
}

TEST_F(DisplayCommands, FaceMissingFromTheSystemIsStillAskedForAndKept) {
    writeFile("Parlavo.ini", "[Settings]\r\nFont=No Such Face\r\n");
    startPass();
    EXPECT_EQ(fontList()->currentIndex(), -1);
    EXPECT_EQ(sizeBox()->count(), 0);
    EXPECT_EQ(window().controlText(1009), "8");
    EXPECT_TRUE(formatAt("Hello=").fontFamilies().toStringList().contains(QStringLiteral("No Such Face")));
    // A notification of the list while nothing is selected (focus, for instance) keeps the face.
    fontList()->setFocus();
    Message focus;
    focus.kind = MessageKind::Command;
    focus.controlId = 1008;
    focus.code = notify::ComboSelChange;
    window().sendMessage(focus);
    EXPECT_EQ(setting("Font"), "No Such Face");
    EXPECT_EQ(state.display.Font, "No Such Face");
}

TEST_F(DisplayCommands, BrowseIntoAnotherFolderMovesTheSettingsFileAndCancelKeepsTheBox) {
    startPass();
    ASSERT_FALSE(loadButton()->isEnabled());
    const std::string before = window().controlText(1023);
    FileDialogRequest asked;
    setFileDialogHook([&](const FileDialogRequest& request) {
        asked = request;
        return std::nullopt;
    });
    click(find<QPushButton>("translatedBrowse"));
    EXPECT_EQ(asked.title, "Select the output translated file (or enter a new filename)");
    EXPECT_EQ(asked.fileName, before);
    EXPECT_EQ(asked.initialDir, folder());
    EXPECT_TRUE(asked.allowNewFile);
    EXPECT_EQ(window().controlText(1023), before);
    EXPECT_EQ(std::filesystem::current_path().string(), folder());
    EXPECT_FALSE(loadButton()->isEnabled());

    const std::string other = folder() + "/other";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(other)));
    const std::string chosen = other + "/English.lng";
    setFileDialogHook([&](const FileDialogRequest& request) {
        asked = request;
        return std::optional<std::string>(chosen);
    });
    click(find<QPushButton>("englishBrowse"));
    EXPECT_EQ(asked.title, "Select the input English file");
    EXPECT_FALSE(asked.allowNewFile);
    EXPECT_EQ(window().controlText(1007), chosen);
    EXPECT_TRUE(loadButton()->isEnabled());
    EXPECT_EQ(settingsPath(), other + "/Parlavo.ini");

    // The next setting goes to the settings file of the new folder.
    answerColourDialog(0x0000FFu);
    click(swatch("textColorSwatch"));
    EXPECT_EQ(readProfileString(other + "/Parlavo.ini", "Settings", "Color"), "255");
    EXPECT_EQ(setting("Color"), "");
}

} // namespace
} // namespace parlavo::test
