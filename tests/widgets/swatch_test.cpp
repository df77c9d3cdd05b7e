// Colour swatch buttons paint the colour their text holds.
#include "platform/gui/mainwindow.h"
#include "widgets/swatch.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace parlavo {
namespace {

QImage paintSwatch(const std::string& text, bool disabled = false) {
    QImage image(40, 28, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    DrawItemContext item;
    item.painter = &painter;
    item.rect = image.rect();
    item.text = text;
    item.disabled = disabled;
    drawSwatch(item);
    painter.end();
    return image;
}

QColor centre(const QImage& image) {
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(Swatch, PaintsTheColourOfItsTextReadAsALow32BitNumber) {
    EXPECT_EQ(swatchColourFromText("4294967296"), 0u); // low 32 bits
    EXPECT_EQ(swatchColourFromText(" 255x"), 255u);
    EXPECT_EQ(swatchColourFromText("abc"), 0u);
    EXPECT_EQ(blueOf(0xFF336699u), 0x33);
    EXPECT_EQ(centre(paintSwatch("255")), QColor(255, 0, 0));
    EXPECT_EQ(centre(paintSwatch("16711680")), QColor(0, 0, 255));
    EXPECT_EQ(centre(paintSwatch("4294967295")), QColor(255, 255, 255)); // top byte ignored
    EXPECT_EQ(centre(paintSwatch("")), QColor(0, 0, 0));
    const QColor face = QApplication::palette().color(QPalette::Disabled, QPalette::Button);
    EXPECT_EQ(centre(paintSwatch("255", true)), face);
}

} // namespace
} // namespace parlavo
