// The picture of the window in the README: the sample language folder in the middle of a pass.
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
    // PARLAVO_SCREENSHOT_PAIR="english.lng:translated.lng" pictures another pair just after its load.
    const char* pair = std::getenv("PARLAVO_SCREENSHOT_PAIR");
    const std::string other = pair != nullptr ? pair : "";
    const std::filesystem::path sample = std::filesystem::path(PARLAVO_TEST_DATA_DIR) / "../../examples/lang";
    const std::filesystem::path english =
        other.empty() ? sample / "English.lng" : std::filesystem::path(other.substr(0, other.find(':')));
    const std::filesystem::path translated =
        other.empty() ? sample / "Translated.lng" : std::filesystem::path(other.substr(other.find(':') + 1));
    const auto copyOptions = std::filesystem::copy_options::overwrite_existing;
    std::filesystem::copy_file(english, "English.lng", copyOptions);
    std::filesystem::copy_file(translated, "Translated.lng", copyOptions);
    std::filesystem::remove("Parlavo.ini");
    std::ofstream("Parlavo.ini", std::ios::binary)
        << (other.empty() ? "[Settings]\r\nFont=Liberation Sans\r\nSize=9\r\n" : "") // else the default face
        << "[Helper Words]\r\nfile=archivo\r\nproject=proyecto\r\nSave=Guardar\r\n";
    openWindow();
    click(loadButton());
    ASSERT_TRUE(panelShown()) << lastMessageText();
    if (other.empty()) {
        clock.advance(12);
        answer(QString::fromUtf8("Guardar archivo"));
        clock.advance(9);
        answer(QString::fromUtf8("Guardar archivo como..."));
        clock.advance(15);
        answer(QString::fromUtf8("Archivos recientes"));
        type(QString::fromUtf8("Cerrar vent"));
    }
    QTest::qWait(50); // let the view repaint its selection

    const QImage image = withCaption(window().grab().toImage(), window().windowTitle());
    ASSERT_FALSE(image.isNull());
    ASSERT_TRUE(image.save(QString::fromLocal8Bit(output), "PNG")) << output;
    EXPECT_GT(std::filesystem::file_size(output), 1000u);
}

} // namespace
} // namespace parlavo::test
