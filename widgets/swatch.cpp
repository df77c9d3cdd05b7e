#include "widgets/swatch.h"

#include "platform/gui/colorref.h"
#include "platform/gui/drawitem.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <qdrawutil.h>

namespace parlavo {

std::uint32_t swatchColourFromText(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    std::uint32_t value = 0; // unsigned arithmetic keeps the low 32 bits
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10u + static_cast<std::uint32_t>(text[at] - '0');
    }
    return value;
}

std::string swatchText(std::uint32_t colour) {
    return std::to_string(colour);
}

void drawFocusRectangle(QPainter& painter, const QRect& rect, const QColor& background) {
    painter.save();
    painter.setPen(QPen(background.lightness() > 127 ? Qt::black : Qt::white, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void drawSwatch(const DrawItemContext& item) {
    if (item.painter == nullptr) {
        return;
    }
    QPainter& painter = *item.painter;
    const QPalette palette = QApplication::palette();
    const QColor fill = item.disabled ? palette.color(QPalette::Disabled, QPalette::Button)
                                      : colourFromColorRef(swatchColourFromText(item.text));
    painter.save();
    painter.fillRect(item.rect, fill);
    qDrawWinPanel(&painter, item.rect, palette, item.selected, nullptr);
    if (!item.selected && item.focused) {
        drawFocusRectangle(painter, item.rect.adjusted(3, 3, -3, -3), fill);
    }
    painter.restore();
}

} // namespace parlavo
