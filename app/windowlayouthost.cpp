#include "app/windowlayouthost.h"

#include "platform/gui/mainwindow.h"

#include <algorithm>

namespace parlavo {

void WindowLayoutHost::outerSize(int& width, int& height) const {
    // The client size stands for the outer size: the frame is unknown until the window is first
    // shown (the first layout runs before that), so the frame would count as growth later on.
    // Only the growth matters, and the frame does not grow.
    const QSize units = window_.pixelsToUnits(window_.size());
    width = units.width();
    height = units.height();
}

void WindowLayoutHost::controlPosition(int id, int& x, int& y) const {
    x = y = 0;
    if (const QWidget* widget = window_.control(id)) {
        const QPoint units = window_.pixelsToUnits(widget->pos());
        x = units.x();
        y = units.y();
    }
}

void WindowLayoutHost::controlSize(int id, int& width, int& height) const {
    width = height = 0;
    if (const QWidget* widget = window_.control(id)) {
        const QSize units = window_.pixelsToUnits(widget->size());
        width = units.width();
        height = units.height();
    }
}

void WindowLayoutHost::setControlPosition(int id, int x, int y) {
    if (QWidget* widget = window_.control(id)) {
        widget->move(window_.mapDialogRect(QRect(x, y, 0, 0)).topLeft());
    }
}

// A negative size (a minimised window) becomes an empty control.
void WindowLayoutHost::setControlSize(int id, int width, int height) {
    if (QWidget* widget = window_.control(id)) {
        const QRect pixels = window_.mapDialogRect(QRect(0, 0, width, height));
        widget->resize(std::max(0, pixels.width()), std::max(0, pixels.height()));
    }
}

void WindowLayoutHost::repaintControl(int id) {
    if (QWidget* widget = window_.control(id)) {
        widget->repaint();
    }
}

} // namespace parlavo
