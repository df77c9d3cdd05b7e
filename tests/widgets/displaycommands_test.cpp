// The font, size and colour controls and the "..." buttons in the real window: every change reaches
// the file view and Parlavo.ini at once.
#include "../gui/app_fixture.h"

#include "lang/profile.h"
#include "widgets/colourchooser.h"
#include "widgets/filedialog.h"

#include <QComboBox>
#include <QSettings>
#include <QTest>
#include <algorithm>

namespace parlavo::test {
namespace {

constexpr char kEnglish[] = "[Main]\r\nHello=Hello\r\nBye=Goodbye\r\n";
constexpr char kTranslated[] = "[Main]\r\nHello=Hallo\r\n";

// The custom colours go to a store of the test's own, so that tests running side by side never see
// each other's colours.
class DisplayCommands : public AppWindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(store.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store.path());
        AppWindowTest::SetUp();
    }
    void TearDown() override {
        setColourDialogHook({});
        setFileDialogHook({});
        AppWindowTest::TearDown();
        const QString shared = QString::fromUtf8(PARLAVO_TEST_HOME) + QStringLiteral("/config");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, shared);
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
                custom[0] = customSlot1 != 0 ? customSlot1 : custom[0];
                return colour;
            });
    }

    void reopenWindow() {
        closeWindowIfOpen();
        state = AppState{};
        state.clock = &clock;
        openWindow();
    }

    QComboBox* sizeBox() const { return find<QComboBox>("sizeBox"); }

    // The character format inside the view's text, where the text starts.
    QTextCharFormat formatAt(const QString& text) {
        const QStringList rows = view()->toPlainText().split(u'\n');
        for (int row = 0; row < rows.size(); ++row) {
            if (const qsizetype unit = rows[row].indexOf(text); unit >= 0) {
                return view()->formatAt({row, static_cast<int>(unit)});
            }
        }
        ADD_FAILURE() << text.toStdString() << " is not in the view";
        return {};
    }

    void typeSize(const QString& text) {
        sizeBox()->lineEdit()->setFocus();
        sizeBox()->lineEdit()->selectAll();
        QTest::keyClicks(sizeBox()->lineEdit(), text);
    }

    QTemporaryDir store;
    std::uint32_t askedInitial = 0;
    CustomColours askedCustom{};
};

TEST_F(DisplayCommands, ColourPicksAreAppliedSavedAndRestoredAtTheNextStartAndCancelChangesNothing) {
    startPass();
    const std::string settings = readFile("Parlavo.ini");
    answerColourDialog(std::nullopt, 0xABCDEFu);
    click(find<QPushButton>("highlightSwatch"));
    EXPECT_EQ(readFile("Parlavo.ini"), settings);
    EXPECT_EQ(readCustomColoursText(), "");
    EXPECT_EQ(window().controlText(ctl::HighlightSwatch), "65535");

    answerColourDialog(0x0000FFu, 0x123456u);
    click(find<QPushButton>("textColorSwatch"));
    EXPECT_EQ(askedInitial, 0u); // black, the default text colour
    EXPECT_EQ(setting("Color"), "255");
    EXPECT_EQ(formatAt("Hallo").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(readCustomColoursText().substr(0, 15), "ColorA=123456\r\n");

    answerColourDialog(0xFF0000u);
    click(find<QPushButton>("backgroundSwatch"));
    EXPECT_EQ(askedInitial, 13160660u);
    EXPECT_EQ(askedCustom[0], 0x123456u); // the custom colours kept from the last pick
    EXPECT_EQ(setting("BGColor"), "16711680");
    answerColourDialog(0x00FF00u);
    click(find<QPushButton>("highlightSwatch"));
    EXPECT_EQ(setting("HighlightColor"), "65280");
    EXPECT_EQ(formatAt("Bye=").background().color(), QColor(0, 255, 0)); // the pending key

    reopenWindow();
    EXPECT_EQ(window().controlText(ctl::HighlightSwatch), "65280");
    EXPECT_EQ(view()->palette().color(QPalette::Base), QColor(0, 0, 255));
    EXPECT_EQ(view()->formatAt({}).foreground().color(), QColor(255, 0, 0));
}

TEST_F(DisplayCommands, EveryKeystrokeInTheSizeBoxIsAppliedAndWritten) {
    writeFile("Parlavo.ini", "[Settings]\r\nFont=DejaVu Sans\r\n");
    startPass();
    ASSERT_EQ(sizeBox()->count(), 17);
    typeSize(QStringLiteral("1"));
    EXPECT_EQ(setting("Size"), "1");
    QTest::keyClick(sizeBox()->lineEdit(), Qt::Key_2);
    EXPECT_EQ(setting("Size"), "12");
    EXPECT_EQ(formatAt("Hello=").fontPointSize(), 12.0);
    // Text that is no number is stored as 0, but the view keeps a size it can show its text at.
    typeSize(QStringLiteral("abc"));
    EXPECT_EQ(setting("Size"), "0");
    EXPECT_EQ(formatAt("Hello=").fontPointSize(), 12.0);

    sizeBox()->setCurrentIndex(sizeBox()->findText(QStringLiteral("20")));
    EXPECT_EQ(setting("Size"), "20");
    EXPECT_EQ(formatAt("Hello=").fontPointSize(), 20.0);
    reopenWindow();
    EXPECT_EQ(window().controlText(ctl::SizeBox), "20");
}

TEST_F(DisplayCommands, BrowseIntoAnotherFolderMovesTheSettingsFileWhoseFailedSavesAreReportedOnce) {
    startPass();
    const std::string before = window().controlText(ctl::TranslatedPath);
    setFileDialogHook([](const FileDialogRequest&) { return std::nullopt; });
    click(find<QPushButton>("translatedBrowse"));
    EXPECT_EQ(window().controlText(ctl::TranslatedPath), before);
    EXPECT_FALSE(loadButton()->isEnabled());

    const std::string other = folder() + "/other";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(other)));
    setFileDialogHook(
        [&](const FileDialogRequest&) { return std::optional<std::string>(other + "/English.lng"); });
    click(find<QPushButton>("englishBrowse"));
    EXPECT_EQ(window().controlText(ctl::EnglishPath), other + "/English.lng");
    EXPECT_TRUE(loadButton()->isEnabled());
    // The next setting goes to the settings file of the new folder.
    answerColourDialog(0x0000FFu);
    click(find<QPushButton>("textColorSwatch"));
    EXPECT_EQ(readProfileString(other + "/Parlavo.ini", "Settings", "Color"), "255");
    EXPECT_EQ(setting("Color"), "");

    // A settings file that cannot be saved is reported once, not at every keystroke.
    std::filesystem::remove(other + "/Parlavo.ini");
    std::filesystem::create_directory(other + "/Parlavo.ini"); // no write can replace a folder
    typeSize(QStringLiteral("1"));
    QTest::keyClick(sizeBox()->lineEdit(), Qt::Key_2);
    const std::vector<ShownMessage> shown = messages();
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                            [](const ShownMessage& message) { return message.icon == MessageIcon::Warning; }),
              1);
}

} // namespace
} // namespace parlavo::test
