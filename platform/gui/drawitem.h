#pragma once

#include <QRect>
#include <string>

class QPainter;

namespace parlavo {

// State handed to the handler with a DrawItem message: the painter of the owner-drawn control, the
// item's rectangle and state. For the font list, item is the row (-1 for the selection field).
struct DrawItemContext {
    QPainter* painter = nullptr;
    QRect rect;
    int item = -1;
    std::string text; // the item's text (a combo row) or the control's text (a swatch)
    bool disabled = false;
    bool selected = false; // pressed button, or highlighted list row
    bool focused = false;
    bool selectionField = false; // the closed combo box's own field
};

} // namespace parlavo
