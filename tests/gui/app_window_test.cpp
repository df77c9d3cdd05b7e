// The main window as a whole: position kept between runs, closing, resizing, and the file view's
// formats as the translator sees them.
#include "app_fixture.h"
#include "lang/encodingchoice.h"

#include <QComboBox>
#include <map>

namespace parlavo::test {
namespace {

using MainWindowRun = AppWindowTest;

QPoint atUnits(MainWindow& window, int x, int y) {
    return window.mapDialogRect(QRect(x, y, 0, 0)).topLeft();
}

TEST_F(MainWindowRun, EscapeOrTheCloseBoxStoresThePositionInDialogUnitsAndUnconfirmedTextIsLost) {
    openWindow();
    EXPECT_EQ(title(), "Parlavo v1.11");
    EXPECT_GE(find<QComboBox>("fontList")->currentIndex(), 0); // the face drawn for "Arial", if not installed
    const QPoint built = window().pos();
    window().move(atUnits(window(), 57, 23));
    press(Qt::Key_Escape);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(setting("x"), "57");
    EXPECT_EQ(setting("y"), "23");
    closeWindowIfOpen();
    openWindow(); // the next run opens where this one was closed
    EXPECT_EQ(window().pos(), atUnits(window(), 57, 23));
    // Not where a minimised window was closed, nor where only one coordinate is known.
    for (const char* stored : {"x=-32000\r\ny=-32000", "x=40\r\ny=0", "x=40"}) {
        closeWindowIfOpen();
        writeFile("Parlavo.ini", "[Settings]\r\n" + std::string(stored) + "\r\n");
        openWindow();
        EXPECT_EQ(window().pos(), built) << stored;
    }

    writeFile("English.lng", "[A]\r\nk1=One\r\nk2=Two\r\n");
    click(loadButton());
    answer("Uno");
    type("Dos");
    window().move(atUnits(window(), 12, 34));
    window().close();
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(setting("x"), "12");
    EXPECT_EQ(setting("y"), "34");
    EXPECT_EQ(readFile("Translated.lng"), "[A]\r\nk1=Uno\r\nk2=\r\n\r\n");
}

// Geometry of the controls that follow the window's edges, in pixels.
std::map<std::string, QRect> geometryOf(MainWindow& window) {
    std::map<std::string, QRect> result;
    for (const char* name : {"englishPath", "englishBrowse", "translatedPath", "translatedBrowse", "fontList",
                             "loadFiles", "fileView", "heading", "source", "translation", "hint", "back",
                             "ok", "tip", "sizeGrip", "translatedEncoding"}) {
        QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        result[name] = widget ? widget->geometry() : QRect();
    }
    return result;
}

TEST_F(MainWindowRun, ControlsFollowTheEdgesWhenTheWindowIsResized) {
    openWindow();
    const QSize design = window().size();
    EXPECT_EQ(window().minimumSize(), design); // never smaller than built
    const std::map<std::string, QRect> before = geometryOf(window());
    EXPECT_EQ(before.at("englishPath"), window().mapDialogRect(QRect(18, 15, 317, 13)));
    // How each control follows the growth: moves right, moves down, grows wider, grows taller.
    const struct {
        const char* name;
        int right, down, wider, taller;
    } rules[] = {
        {"englishPath", 0, 0, 1, 0}, {"translatedPath", 0, 0, 1, 0}, {"englishBrowse", 1, 0, 0, 0},
        {"loadFiles", 1, 0, 0, 0},   {"fileView", 0, 0, 1, 1},       {"heading", 0, 1, 1, 0},
        {"source", 0, 1, 1, 0},      {"translation", 0, 1, 1, 0},    {"back", 0, 1, 0, 0},
        {"ok", 0, 1, 0, 0},          {"hint", 0, 1, 0, 0},           {"tip", 0, 1, 0, 0},
        {"sizeGrip", 1, 1, 0, 0},    {"fontList", 0, 0, 0, 0},       {"translatedEncoding", 1, 0, 0, 0},
    };
    for (const QSize grow : {QSize(10, 20), QSize(20, 10)}) {
        const int dx = window().mapDialogRect(QRect(0, 0, grow.width(), 0)).width();
        const int dy = window().mapDialogRect(QRect(0, 0, 0, grow.height())).height();
        window().resize(design + QSize(dx, dy));
        const std::map<std::string, QRect> after = geometryOf(window());
        for (const auto& rule : rules) {
            SCOPED_TRACE(std::string(rule.name) + " grown by " + std::to_string(grow.width()));
            const QRect want = before.at(rule.name)
                                   .translated(rule.right * dx, rule.down * dy)
                                   .adjusted(0, 0, rule.wider * dx, rule.taller * dy);
            // Equal within a pixel: growth is measured in dialog units of the outer size.
            EXPECT_NEAR(after.at(rule.name).x(), want.x(), 1);
            EXPECT_NEAR(after.at(rule.name).y(), want.y(), 1);
            EXPECT_NEAR(after.at(rule.name).width(), want.width(), 1);
            EXPECT_NEAR(after.at(rule.name).height(), want.height(), 1);
        }
    }

    window().resize(design);
    EXPECT_EQ(geometryOf(window()), before);
    window().resize(design - QSize(50, 50)); // below the minimum: refused
    EXPECT_EQ(window().size(), design);
}

TEST_F(MainWindowRun, TheViewShowsHeadersLargeKeysBoldAndPendingKeysHighlighted) {
    writeFile("English.lng", "; Texts\r\n[Menu]\r\nOpen=Open\r\nSave=Save\r\n[Dialogs]\r\nTitle=Title\r\n"
                             "Open=Open a file\r\n");
    writeFile("Translated.lng", "[Menu]\r\nOpen=Abrir\r\n");
    writeFile("Parlavo.ini",
              "[Settings]\r\nSize=11\r\nColor=255\r\nBGColor=65280\r\nHighlightColor=16776960\r\n");
    openAndLoad();
    FileViewWidget* view = this->view();
    EXPECT_EQ(view->palette().color(QPalette::Base), QColor(0, 255, 0));
    const QColor highlight(0, 255, 255); // 16776960 = 0x00FFFF00: blue and green

    const std::vector<int> headers = {0, 1, 4};
    for (int line : headers) {
        SCOPED_TRACE(line);
        EXPECT_EQ(view->formatAt({line, 0}).fontPointSize(), 15);
    }
    const std::map<int, bool> keys = {{2, false}, {3, true}, {5, true}, {6, true}};
    for (const auto& [line, pending] : keys) {
        SCOPED_TRACE(line);
        const QTextCharFormat key = view->formatAt({line, 0});
        EXPECT_EQ(key.fontWeight(), QFont::Bold);
        EXPECT_EQ(key.fontPointSize(), 11);
        EXPECT_EQ(key.foreground().color(), QColor(255, 0, 0));
        EXPECT_EQ(key.background().style() != Qt::NoBrush && key.background().color() == highlight, pending);
    }

    // The current key is selected, and its value follows the typing.
    EXPECT_EQ(heading(), "[Menu] - Save");
    EXPECT_EQ(view->selectedText(), "Save");
    EXPECT_EQ(view->selectionStart(), (ViewPoint{3, 0}));
    type("Guardar");
    EXPECT_EQ(view->lineText(3), "Save=Guardar");
    press(Qt::Key_Return);
    // "Open" of [Dialogs]: found by its own line, not by the first "Open=" of the file.
    EXPECT_EQ(heading(), "[Dialogs] - Title");
    press(Qt::Key_Return);
    EXPECT_EQ(heading(), "[Dialogs] - Open");
    EXPECT_EQ(view->selectionStart(), (ViewPoint{6, 0}));
    type("Abrir un archivo");
    EXPECT_EQ(view->lineText(6), "Open=Abrir un archivo");
    EXPECT_EQ(view->lineText(2), "Open=Abrir");
}

TEST_F(MainWindowRun, AKeyBehindAByteOrderMarkIsFoundInTheView) {
    writeFile("English.lng", "\xEF\xBB\xBFKey=Value\r\nOther=Thing\r\n");
    openAndLoad();
    EXPECT_EQ(view()->selectedText(), QStringLiteral("Key"));
    EXPECT_EQ(view()->formatAt({0, 1}).fontWeight(), QFont::Bold);
}

// A key with letters beyond ASCII, in a pair whose files have different encodings, is found in the
// view by the text the view shows: it is selected, and the typed value follows it.
TEST_F(MainWindowRun, AKeyBeyondAsciiIsFoundInTheViewWhenTheEncodingsDiffer) {
    writeFile("English.lng", "[S]\r\nGr\xC3\xB6\xC3\x9F"
                             "e=Size\r\n");
    writeFile("Translated.lng", "[S]\r\nOther=x\r\n");
    IniDocument settings;
    rememberEncoding(settings, file("Translated.lng"), "windows-1252");
    writeFile("Parlavo.ini", settings.serialize());
    openAndLoad();
    EXPECT_EQ(heading(), "[S] - Gr\xC3\xB6\xC3\x9F"
                         "e");
    EXPECT_EQ(view()->selectedText(), QStringLiteral("Gr\u00F6\u00DF"
                                                     "e"));
    type("Gr\u00F6sse");
    EXPECT_EQ(view()->lineText(1), "Gr\xC3\xB6\xC3\x9F"
                                   "e=Gr\xC3\xB6sse");
    press(Qt::Key_Return);
    // Opened again by a search, it reads the same.
    press(Qt::Key_F, Qt::ControlModifier);
    type("Size");
    press(Qt::Key_Return);
    EXPECT_EQ(heading(), "[S] - Gr\xC3\xB6\xC3\x9F"
                         "e");
    EXPECT_EQ(view()->selectedText(), QStringLiteral("Gr\u00F6\u00DF"
                                                     "e"));
    // Its answer replaces the line the file has, in the file's encoding.
    type("Taille");
    press(Qt::Key_Return);
    EXPECT_EQ(readFile("Translated.lng"), "[S]\r\nGr\xF6\xDF"
                                          "e=Taille\r\n\r\n");
}

} // namespace
} // namespace parlavo::test
