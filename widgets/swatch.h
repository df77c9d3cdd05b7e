#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QColor;
class QPainter;
class QRect;

namespace parlavo {

struct DrawItemContext;

// Colours are COLORREF values, 0x00BBGGRR: red in the low byte.
inline std::uint8_t redOf(std::uint32_t colour) {
    return static_cast<std::uint8_t>(colour & 0xFF);
}
inline std::uint8_t greenOf(std::uint32_t colour) {
    return static_cast<std::uint8_t>((colour >> 8) & 0xFF);
}
inline std::uint8_t blueOf(std::uint32_t colour) {
    return static_cast<std::uint8_t>((colour >> 16) & 0xFF);
}

// A swatch keeps its colour as its text: an unsigned decimal number. Leading blanks are skipped, the
// digits are read as far as they go and the low 32 bits are kept; text without digits is 0 (black).
std::uint32_t swatchColourFromText(std::string_view text);
std::string swatchText(std::uint32_t colour);

// A dotted focus rectangle on the rectangle's edge, dark on a light background and light on a dark one.
void drawFocusRectangle(QPainter& painter, const QRect& rect, const QColor& background);

// Paints a colour swatch button: the colour of its text (button face when disabled), a raised edge or
// a sunken one while pressed, and a focus rectangle inside when focused and not pressed.
void drawSwatch(const DrawItemContext& item);

} // namespace parlavo
