// Renders the picture of the window in the README: the sample language folder in the middle of a
// pass, drawn by the program itself (scripts/screenshot runs it on Qt's offscreen platform).
//   parlavo_screenshot OUTPUT.png SAMPLE_FOLDER WORK_FOLDER
#include "app/appstate.h"
#include "app/mainwindowproc.h"
#include "platform/clock.h"
#include "platform/gui/mainwindow.h"
#include "platform/gui/messagebox.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// The offscreen platform draws no window frame: a plain caption bar with the window's real title
// (progress and time to completion) is drawn above the client area instead.
QImage withCaption(const QImage& client, const QString& title) {
    const int bar = 26;
    QImage image(client.width(), client.height() + bar, QImage::Format_ARGB32);
    image.fill(QColor(60, 64, 72));
    QPainter painter(&image);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(10, 0, client.width() - 20, bar), Qt::AlignVCenter | Qt::AlignLeft, title);
    painter.drawImage(0, bar, client);
    return image;
}

// Types an answer into the translation box, replacing its selected pre-fill, and presses Enter.
void answer(parlavo::MainWindow& window, const QString& text, bool confirm = true) {
    QWidget* box = window.control(parlavo::ctl::Translation);
    QTest::keyClicks(box, text);
    if (confirm) {
        QTest::keyClick(box, Qt::Key_Return);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: parlavo_screenshot OUTPUT.png SAMPLE_FOLDER WORK_FOLDER\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const QString output = QString::fromLocal8Bit(argv[1]);
    fs::create_directories(argv[3]);
    fs::current_path(argv[3]);
    for (const char* name : {"English.lng", "Translated.lng"}) {
        fs::copy_file(fs::path(argv[2]) / name, name, fs::copy_options::overwrite_existing);
    }
    std::ofstream("Parlavo.ini", std::ios::binary | std::ios::trunc)
        << "[Settings]\r\nFont=Liberation Sans\r\nSize=9\r\n"
        << "[Helper Words]\r\nfile=archivo\r\nproject=proyecto\r\nSave=Guardar\r\n"
        << "[AlreadyTranslated]\r\nClose Project=Cerrar proyecto\r\nClose All Windows=Cerrar todas las "
           "ventanas\r\n";

    QApplication app(argc, argv);
    parlavo::setMessageBoxHook([](std::string_view, std::string_view, parlavo::MessageIcon) { return 1; });
    parlavo::ManualClock clock;
    clock.set(1000);
    parlavo::AppState state;
    state.clock = &clock;
    parlavo::MainWindow window([&state](parlavo::MainWindow& target, parlavo::Message& message) {
        return parlavo::mainWindowProc(target, state, message);
    });
    window.start();
    if (!QTest::qWaitForWindowExposed(&window, 5000)) {
        std::fprintf(stderr, "parlavo_screenshot: the window was not shown\n");
        return 1;
    }
    window.activateWindow();
    QTest::mouseClick(window.control(parlavo::ctl::LoadFiles), Qt::LeftButton);
    if (window.control(parlavo::ctl::Translation)->isHidden()) {
        std::fprintf(stderr, "parlavo_screenshot: the sample has nothing to translate\n");
        return 1;
    }
    state.pass.suggestions->wait(); // the suggestions of the later entries
    clock.advance(12);
    answer(window, QStringLiteral("Guardar archivo"));
    clock.advance(9);
    answer(window, QStringLiteral("Guardar archivo como..."));
    clock.advance(15);
    answer(window, QStringLiteral("Archivos recientes"));
    // The closing "." the English text lacks: a warning under the box, the suggestions above it.
    answer(window, QStringLiteral("Cerrar ventana."));
    QTest::qWait(50); // let the view repaint its selection

    const QImage image = withCaption(window.grab().toImage(), window.windowTitle());
    if (image.isNull() || !image.save(output, "PNG")) {
        std::fprintf(stderr, "parlavo_screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    window.endDialog(0);
    return 0;
}
