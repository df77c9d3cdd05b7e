// The main window as a whole: position kept between runs, closing, resizing, and the file view's
// formats as the translator sees them.
#include "app_fixture.h"

#include "app/settings.h"
#include "platform/gui/fileviewwidget.h"

#include <QTest>
#include <QTextCursor>
#include <filesystem>
#include <map>

namespace parlavo::test {
namespace {

using MainWindowRun = AppWindowTest;

TEST_F(MainWindowRun, StoredPositionIsRestoredOnlyWhenBothCoordinatesArePositive) {
    openWindow();
    const QPoint built = window().pos();
    EXPECT_EQ(title(), "Parlavo v1.11");
    closeWindowIfOpen();

    const std::map<std::string, bool> settings = {
        {"[Settings]\r\nx=40\r\ny=30\r\n", true},
        {"[Settings]\r\nx=0\r\ny=30\r\n", false},
        {"[Settings]\r\nx=40\r\ny=-3\r\n", false},
        {"[Settings]\r\nx=-32000\r\ny=-32000\r\n", false},
        {"[Settings]\r\nx=40\r\n", false},
        {"[Settings]\r\nx=abc\r\ny=30\r\n", false},
        {"[Settings]\r\nx= 40.5\r\ny=&H1E\r\n", true}, // 40.5 reads as 40 (half to even), &H1E as 30
    };
    for (const auto& [text, restored] : settings) {
        SCOPED_TRACE(text);
        writeFile("Parlavo.ini", text);
        openWindow();
        const QPoint expected = restored ? window().mapDialogRect(QRect(40, 30, 0, 0)).topLeft() : built;
        EXPECT_EQ(window().pos(), expected);
        closeWindowIfOpen();
    }
}

TEST_F(MainWindowRun, EscapeClosesTheWindowAndStoresItsPositionInDialogUnits) {
    openWindow();
    window().move(window().mapDialogRect(QRect(57, 23, 0, 0)).topLeft());
    const QPoint units = window().pixelsToUnits(window().pos());
    press(Qt::Key_Escape);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(setting("x"), formatNumber(units.x()));
    EXPECT_EQ(setting("y"), formatNumber(units.y()));
    EXPECT_EQ(readNumber(setting("x")), 57);
    EXPECT_EQ(readNumber(setting("y")), 23);

    // The next run opens where this one was closed.
    closeWindowIfOpen();
    openWindow();
    EXPECT_EQ(window().pos(), window().mapDialogRect(QRect(57, 23, 0, 0)).topLeft());
}

TEST_F(MainWindowRun, TheCloseBoxAlsoStoresThePositionAndUnconfirmedTextIsLost) {
    writeFile("English.lng", "[A]\r\nk1=One\r\nk2=Two\r\n");
    openWindow();
    click(loadButton());
    answer("Uno");
    type("Dos");
    window().move(window().mapDialogRect(QRect(12, 34, 0, 0)).topLeft());
    window().close();
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(setting("x"), "12");
    EXPECT_EQ(setting("y"), "34");
    EXPECT_EQ(readFile("Translated.lng"), "[A]\r\nk1=Uno\r\nk2=\r\n\r\n");
}

// Geometry of the controls that follow the window's edges, in pixels.
std::map<std::string, QRect> geometryOf(AppWindowTest& test, MainWindow& window) {
    std::map<std::string, QRect> result;
    for (const char* name :
         {"englishPath", "englishBrowse", "translatedPath", "translatedBrowse", "fontList", "loadFiles",
          "fileView", "heading", "source", "translation", "hint", "back", "ok", "tip", "sizeGrip"}) {
        QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        result[name] = widget ? widget->geometry() : QRect();
    }
    (void)test;
    return result;
}

// Equal within a pixel: growth is measured in dialog units of the outer size.
void expectNear(const QRect& actual, const QRect& expected, const char* name) {
    EXPECT_NEAR(actual.x(), expected.x(), 1) << name;
    EXPECT_NEAR(actual.y(), expected.y(), 1) << name;
    EXPECT_NEAR(actual.width(), expected.width(), 1) << name;
    EXPECT_NEAR(actual.height(), expected.height(), 1) << name;
}

TEST_F(MainWindowRun, ControlsFollowTheEdgesWhenTheWindowIsResized) {
    openWindow();
    const QSize design = window().size();
    EXPECT_EQ(window().minimumSize(), design); // never smaller than built
    const std::map<std::string, QRect> before = geometryOf(*this, window());
    auto units = [this](int x, int y, int w, int h) { return window().mapDialogRect(QRect(x, y, w, h)); };
    expectNear(before.at("englishPath"), units(18, 15, 317, 13), "englishPath at design size");

    for (const QSize grow : {QSize(10, 20), QSize(20, 10)}) {
        SCOPED_TRACE(grow.width());
        const int dx = units(0, 0, grow.width(), 0).width();
        const int dy = units(0, 0, 0, grow.height()).height();
        window().resize(design + QSize(dx, dy));
        const std::map<std::string, QRect> after = geometryOf(*this, window());
        expectNear(after.at("englishPath"), before.at("englishPath").adjusted(0, 0, dx, 0), "englishPath");
        expectNear(after.at("translatedPath"), before.at("translatedPath").adjusted(0, 0, dx, 0),
                   "translatedPath");
        expectNear(after.at("englishBrowse"), before.at("englishBrowse").translated(dx, 0), "englishBrowse");
        expectNear(after.at("loadFiles"), before.at("loadFiles").translated(dx, 0), "loadFiles");
        expectNear(after.at("fileView"), before.at("fileView").adjusted(0, 0, dx, dy), "fileView");
        expectNear(after.at("heading"), before.at("heading").adjusted(0, dy, dx, dy), "heading");
        expectNear(after.at("source"), before.at("source").adjusted(0, dy, dx, dy), "source");
        expectNear(after.at("translation"), before.at("translation").adjusted(0, dy, dx, dy), "translation");
        expectNear(after.at("back"), before.at("back").translated(0, dy), "back");
        expectNear(after.at("ok"), before.at("ok").translated(0, dy), "ok");
        expectNear(after.at("hint"), before.at("hint").translated(0, dy), "hint");
        expectNear(after.at("tip"), before.at("tip").translated(0, dy), "tip");
        expectNear(after.at("sizeGrip"), before.at("sizeGrip").translated(dx, dy), "sizeGrip");
        EXPECT_EQ(after.at("fontList"), before.at("fontList")); // the pickers stay at the top left
    }

    window().resize(design);
    EXPECT_EQ(geometryOf(*this, window()), before);

    window().resize(design - QSize(50, 50)); // below the minimum: refused
    EXPECT_EQ(window().size(), design);

    window().showMinimized();
    window().showNormal();
    EXPECT_EQ(window().size(), design);
    EXPECT_EQ(geometryOf(*this, window()), before);
}

// The character format of the file view at a document position.
QTextCharFormat formatAt(FileViewWidget& view, int position) {
    QTextCursor cursor(view.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

TEST_F(MainWindowRun, TheViewShowsHeadersLargeKeysBoldAndPendingKeysHighlighted) {
    writeFile("English.lng", "; Texts\r\n[Menu]\r\nOpen=Open\r\nSave=Save\r\n[Dialogs]\r\nTitle=Title\r\n"
                             "Open=Open a file\r\n");
    writeFile("Translated.lng", "[Menu]\r\nOpen=Abrir\r\n");
    writeFile("Parlavo.ini",
              "[Settings]\r\nSize=11\r\nColor=255\r\nBGColor=65280\r\nHighlightColor=16776960\r\n");
    openWindow();
    click(loadButton());
    ASSERT_TRUE(panelShown()) << lastMessageText();
    auto* view = find<FileViewWidget>("fileView");
    EXPECT_EQ(view->palette().color(QPalette::Base), QColor(0, 255, 0));
    const QColor highlight(0, 255, 255); // 16776960 = 0x00FFFF00: blue and green

    const std::vector<int> headers = {0, 1, 4};
    for (int line : headers) {
        SCOPED_TRACE(line);
        EXPECT_EQ(formatAt(*view, view->linePosition(line)).fontPointSize(), 15);
    }
    const std::map<int, bool> keys = {{2, false}, {3, true}, {5, true}, {6, true}};
    for (const auto& [line, pending] : keys) {
        SCOPED_TRACE(line);
        const QTextCharFormat key = formatAt(*view, view->linePosition(line));
        EXPECT_EQ(key.fontWeight(), QFont::Bold);
        EXPECT_EQ(key.fontPointSize(), 11);
        EXPECT_EQ(key.foreground().color(), QColor(255, 0, 0));
        EXPECT_EQ(key.background().style() != Qt::NoBrush && key.background().color() == highlight, pending);
        const std::string text = view->lineText(line);
        if (text.back() != '=') {
            const int valueStart = view->linePosition(line) + static_cast<int>(text.find('=')) + 1;
            EXPECT_NE(formatAt(*view, valueStart).fontWeight(), QFont::Bold);
        }
    }

    // The current key is selected, and its value follows the typing.
    EXPECT_EQ(heading(), "[Menu] - Save");
    EXPECT_EQ(view->textCursor().selectedText(), "Save");
    EXPECT_EQ(view->textCursor().selectionStart(), view->linePosition(3));
    type("Guardar");
    EXPECT_EQ(view->lineText(3), "Save=Guardar");
    const QTextCharFormat typed = formatAt(*view, view->linePosition(3) + 6);
    EXPECT_NE(typed.fontWeight(), QFont::Bold);
    EXPECT_NE(typed.background().color(), highlight);
    press(Qt::Key_Return);
    // "Open" of [Dialogs]: found by its own line, not by the first "Open=" of the file.
    EXPECT_EQ(heading(), "[Dialogs] - Title");
    press(Qt::Key_Return);
    EXPECT_EQ(heading(), "[Dialogs] - Open");
    EXPECT_EQ(view->textCursor().selectionStart(), view->linePosition(6));
    type("Abrir un archivo");
    EXPECT_EQ(view->lineText(6), "Open=Abrir un archivo");
    EXPECT_EQ(view->lineText(2), "Open=Abrir");
}

} // namespace
} // namespace parlavo::test
