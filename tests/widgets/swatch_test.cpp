// Colour swatch buttons paint the colour their text holds.
#include "platform/gui/mainwindow.h"
#include "widgets/swatch.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace parlavo {
namespace {

QImage paintSwatch(const std::string& text, bool disabled = false, bool pressed = false,
                   bool focused = false) {
    QImage image(40, 28, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    DrawItemContext item;
    item.painter = &painter;
    item.rect = image.rect();
    item.text = text;
    item.disabled = disabled;
    item.selected = pressed;
    item.focused = focused;
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
    // Every pixel is painted: nothing of the background shows through.
    const QImage red = paintSwatch("255");
    for (int y = 0; y < red.height(); ++y) {
        for (int x = 0; x < red.width(); ++x) {
            ASSERT_NE(red.pixelColor(x, y), QColor(Qt::magenta)) << x << "," << y;
        }
    }
}

TEST(Swatch, EdgeSinksWhilePressedAndFocusShowsOnlyWhenNotPressed) {
    const QImage raised = paintSwatch("8421504");
    const QImage sunken = paintSwatch("8421504", false, true);
    EXPECT_NE(raised.pixelColor(0, 0), sunken.pixelColor(0, 0));
    EXPECT_NE(raised.pixelColor(raised.width() - 1, raised.height() - 1),
              sunken.pixelColor(sunken.width() - 1, sunken.height() - 1));

    const QImage focused = paintSwatch("8421504", false, false, true);
    EXPECT_NE(focused, raised);
    EXPECT_EQ(paintSwatch("8421504", false, true, true), sunken);
}

} // namespace
} // namespace parlavo
