#include "platform/gui/fileviewwidget.h"
#include "platform/gui/mainwindow.h"
#include "window_recorder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSizeGrip>
#include <QTest>
#include <gtest/gtest.h>

namespace parlavo::test {
namespace {

struct Expected {
    int id;
    const char* name;
    const char* text;
    int x, y, w, h; // dialog units
    int points;     // 0: the window's own font
    bool bold;
};

const Expected kControls[] = {
    {1006, "englishLabel", "English file input:", 15, 4, 100, 10, 9, false},
    {1007, "englishPath", "C:\\Program Files\\Kestrova\\plugins\\Plugins_English.lng", 18, 15, 317, 13, 9,
     false},
    {1005, "englishBrowse", "...", 338, 15, 18, 13, 10, true},
    {1020, "translatedLabel", "Translated file output:", 15, 31, 100, 10, 9, false},
    {1023, "translatedPath", "C:\\Program Files\\Kestrova\\plugins\\Plugins_Translated.lng", 18, 42, 317, 13,
     9, false},
    {1019, "translatedBrowse", "...", 338, 42, 18, 13, 10, true},
    {1008, "fontList", "", 5, 60, 131, -1, 8, false},
    {1009, "sizeBox", "", 137, 61, 32, -1, 9, false},
    {1017, "textColorSwatch", "", 175, 61, 20, 14, 8, false},
    {1016, "highlightSwatch", "", 196, 61, 20, 14, 8, false},
    {1015, "backgroundSwatch", "", 225, 61, 20, 14, 8, false},
    {1002, "loadFiles", "Load Files", 321, 60, 45, 15, 0, false},
    {1013, "fileView", "", 5, 77, 362, 129, -1, false},
    {1014, "heading", "", 6, 209, 370, 12, 10, false},
    {1011, "originalLabel", "Original:", 6, 225, 49, 10, 10, false},
    {1012, "source", "", 58, 224, 306, 13, 10, false},
    {1021, "translationLabel", "Translation:", 6, 240, 49, 10, 10, false},
    {1022, "translation", "", 58, 239, 306, 13, 10, false},
    {1010, "hint", "Enter the translation and press Enter (or click OK)", 62, 254, 162, 9, 0, false},
    {1001, "back", "<- Back", 58, 265, 50, 15, 0, false},
    {1003, "ok", "OK ->", 121, 265, 50, 15, 0, false},
    {1018, "tip", "TIP: The most common words are listed in the [Helper Words] section of Parlavo.ini", 6,
     284, 299, 10, 0, false},
    {1024, "englishEncodingLabel", "", 118, 4, 118, 10, 8, false},
    {1025, "englishEncoding", "", 238, 2, 118, -1, 8, false},
    {1026, "translatedEncodingLabel", "", 118, 31, 118, 10, 8, false},
    {1027, "translatedEncoding", "", 238, 29, 118, -1, 8, false},
};

TEST(MainWindowConstruction, BuildsEveryControlWithItsIdNameTextGeometryAndFont) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Parlavo"));
    EXPECT_FALSE(window.windowIcon().isNull());
    const int dpi = window.logicalDpiY();
    for (const Expected& expected : kControls) {
        SCOPED_TRACE(expected.name);
        QWidget* widget = window.control(expected.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName(), QString::fromLatin1(expected.name));
        EXPECT_EQ(window.controlId(widget), expected.id);
        EXPECT_EQ(window.controlText(expected.id), expected.text);
        EXPECT_FALSE(widget->isHidden());
        const QRect design = window.mapDialogRect(QRect(expected.x, expected.y, expected.w, expected.h));
        EXPECT_EQ(widget->pos(), design.topLeft());
        EXPECT_EQ(widget->width(), design.width());
        if (expected.h >= 0) {
            EXPECT_EQ(widget->height(), design.height());
        }
        if (expected.points > 0) {
            EXPECT_EQ(widget->font().pixelSize(), expected.points * dpi / 72);
            EXPECT_EQ(widget->font().bold(), expected.bold);
            EXPECT_EQ(widget->font().family(), QStringLiteral("Arial"));
        } else if (expected.points == 0) {
            EXPECT_EQ(widget->font().family(), QStringLiteral("MS Sans Serif"));
        }
    }
    EXPECT_NE(qobject_cast<FileViewWidget*>(window.control(1013)), nullptr);
    EXPECT_TRUE(window.controlAs<QLineEdit>(1012)->isReadOnly());
    EXPECT_FALSE(window.controlAs<QComboBox>(1008)->isEditable());
    EXPECT_TRUE(window.controlAs<QComboBox>(1009)->isEditable());
    EXPECT_TRUE(window.controlAs<QPushButton>(1003)->isDefault());
    EXPECT_EQ(window.controlAs<QLabel>(1011)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(window.controlAs<QLabel>(1018)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    QWidget* grip = window.control(1500);
    ASSERT_NE(qobject_cast<QSizeGrip*>(grip), nullptr);
    EXPECT_EQ(grip->objectName(), QStringLiteral("sizeGrip"));
    EXPECT_EQ(grip->geometry().bottomRight(), window.rect().bottomRight());
    EXPECT_EQ(window.size(), window.mapDialogRect(QRect(0, 0, 372, 294)).size());
}

TEST(MainWindowConstruction, TranslationPanelShowsAndHidesItsFourteenControls) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    const int panel[] = {1014, 1011, 1012, 1021, 1022, 1001, 1003, 1010, 1018, 1008, 1009, 1015, 1016, 1017};
    window.hideTranslationPanel();
    for (int id : panel) {
        EXPECT_TRUE(window.control(id)->isHidden()) << id;
    }
    for (int id : {1006, 1007, 1005, 1020, 1023, 1019, 1002, 1013, 1500}) {
        EXPECT_FALSE(window.control(id)->isHidden()) << id;
    }
    window.showTranslationPanel();
    for (int id : panel) {
        EXPECT_FALSE(window.control(id)->isHidden()) << id;
    }
}

TEST(MainWindowMessages, StartSendsInitialisationSizeAndMinimumQueryBeforeShowing) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    bool visibleAtInit = true;
    recorder.react = [&](MainWindow& w, Message& m) {
        if (m.kind == MessageKind::InitDialog) {
            visibleAtInit = w.isVisible();
        }
        if (m.kind == MessageKind::GetMinMaxInfo) {
            m.minTrackWidth = w.frameGeometry().width();
            m.minTrackHeight = w.frameGeometry().height();
        }
        return 0;
    };
    window.start();
    EXPECT_FALSE(visibleAtInit);
    const std::vector<MessageKind> kinds = recorder.kinds();
    ASSERT_GE(kinds.size(), 3u);
    EXPECT_EQ(kinds[0], MessageKind::InitDialog);
    EXPECT_EQ(kinds[1], MessageKind::Size);
    EXPECT_EQ(recorder.messages[1].message.width, window.width());
    EXPECT_EQ(recorder.messages[1].message.height, window.height());
    EXPECT_EQ(recorder.messages[1].message.sizeKind, SizeKind::Restored);
    EXPECT_EQ(kinds[2], MessageKind::GetMinMaxInfo);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.minimumSize(), window.size());

    // A minimised window reports so, and a restored one its size again (the layout reads both).
    window.showMinimized();
    ASSERT_EQ(recorder.messages.back().message.kind, MessageKind::Size);
    EXPECT_EQ(recorder.messages.back().message.sizeKind, SizeKind::Minimized);
    window.showNormal();
    ASSERT_EQ(recorder.messages.back().message.kind, MessageKind::Size);
    EXPECT_EQ(recorder.messages.back().message.sizeKind, SizeKind::Restored);
    EXPECT_EQ(recorder.messages.back().message.width, window.width());
    window.endDialog(0);
}

TEST(MainWindowMessages, EditsNotifyEveryChangeWithTheNewTextAlreadyInPlace) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    window.setControlText(1022, "Datei");
    auto changes = recorder.commands(1022, notify::EditChange);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].text, "Datei");

    window.setControlText(1022, "Datei"); // the same text again still notifies
    EXPECT_EQ(recorder.commands(1022, notify::EditChange).size(), 2u);

    auto* box = window.controlAs<QLineEdit>(1022);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, "n");
    changes = recorder.commands(1022, notify::EditChange);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[2].text, "Datein");
    EXPECT_EQ(window.controlText(1022), "Datein");

    // A translation longer than the box can be typed: the box scrolls.
    const QString longer(400, u'w');
    QTest::keyClicks(box, longer);
    EXPECT_EQ(window.controlText(1022), "Datein" + longer.toStdString());
}

TEST(MainWindowMessages, ControlTextKeepsExactBytesUntilTheUserEdits) {
    WindowRecorder recorder;
    MainWindow& window = recorder.window;
    const std::string latin1 = "caf\xE9 \x93quoted\x94"; // not UTF-8
    const std::string mixed = "\xC3\xA9t\xE9 \xFF end";  // valid and invalid sequences together
    window.setControlText(1012, latin1);
    window.setControlText(1022, mixed);
    window.setControlText(1014, latin1);
    EXPECT_EQ(window.controlText(1012), latin1);
    EXPECT_EQ(window.controlText(1022), mixed);
    EXPECT_EQ(window.controlText(1014), latin1);
    // Shown byte by byte as Windows-1252 where the bytes are not UTF-8.
    EXPECT_EQ(window.controlAs<QLineEdit>(1012)->text(), QStringLiteral("caf\u00E9 \u201Cquoted\u201D"));
    EXPECT_EQ(window.controlAs<QLineEdit>(1022)->text(), QStringLiteral("\u00E9t\u00E9 \u00FF end"));

    auto* box = window.controlAs<QLineEdit>(1022);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, "!");
    EXPECT_EQ(window.controlText(1022), "\xC3\xA9t\xC3\xA9 \xC3\xBF end!"); // typed text is UTF-8
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(window.controlText(1022), "\xC3\xA9t\xC3\xA9 \xC3\xBF end"); // edited: no longer the old bytes

    const std::string huge(40000, 'x'); // beyond a line edit's usual limit of 32767 characters
    window.setControlText(1012, huge);
    window.setControlText(1007, huge);
    EXPECT_EQ(window.controlText(1012), huge);
    EXPECT_EQ(window.controlAs<QLineEdit>(1007)->text().size(), 40000);

    window.setControlText(0, "Parlavo \xE9");
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Parlavo \u00E9"));
    EXPECT_EQ(window.controlText(0), "Parlavo \xE9");
}

} // namespace
} // namespace parlavo::test
