// The picture of the window in the README: the sample language folder in the middle of a pass, with
// suggestions and a warning under the translation box.
// Runs only when PARLAVO_SCREENSHOT names the PNG file to write (scripts/screenshot sets it).
#include "app_fixture.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace parlavo::test {
namespace {

using Screenshot = AppWindowTest;

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

TEST_F(Screenshot, SampleFolderInTheMiddleOfAPass) {
    const char* output = std::getenv("PARLAVO_SCREENSHOT");
    if (output == nullptr || *output == '\0') {
        GTEST_SKIP() << "set PARLAVO_SCREENSHOT to the PNG file to write";
    }
    // A folder with a plain name shows plain paths in the picture; the default is the test's own.
    const char* folder = std::getenv("PARLAVO_SCREENSHOT_FOLDER");
    if (folder != nullptr && *folder != '\0') {
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    const std::filesystem::path sample = std::filesystem::path(PARLAVO_TEST_DATA_DIR) / "../../examples/lang";
    for (const char* name : {"English.lng", "Translated.lng"}) {
        std::filesystem::copy_file(sample / name, name, std::filesystem::copy_options::overwrite_existing);
    }
    std::filesystem::remove("Parlavo.ini");
    std::ofstream("Parlavo.ini", std::ios::binary)
        << "[Settings]\r\nFont=Liberation Sans\r\nSize=9\r\n"
        << "[Helper Words]\r\nfile=archivo\r\nproject=proyecto\r\nSave=Guardar\r\n"
        << "[AlreadyTranslated]\r\nClose Project=Cerrar proyecto\r\nClose All Windows=Cerrar todas las "
           "ventanas\r\n";
    openWindow();
    click(loadButton());
    ASSERT_TRUE(panelShown()) << lastMessageText();
    state.pass.suggestions->wait(); // the suggestions of the later entries
    clock.advance(12);
    answer(QString::fromUtf8("Guardar archivo"));
    clock.advance(9);
    answer(QString::fromUtf8("Guardar archivo como..."));
    clock.advance(15);
    answer(QString::fromUtf8("Archivos recientes"));
    type(QString::fromUtf8("Cerrar ventana."));
    press(Qt::Key_Return); // the closing "." the English text lacks: a warning
    QTest::qWait(50);      // let the view repaint its selection

    const QImage image = withCaption(window().grab().toImage(), window().windowTitle());
    ASSERT_FALSE(image.isNull());
    ASSERT_TRUE(image.save(QString::fromLocal8Bit(output), "PNG")) << output;
    EXPECT_GT(std::filesystem::file_size(output), 1000u);
}

} // namespace
} // namespace parlavo::test
