#pragma once

#include "app/layout.h"

namespace parlavo {

class MainWindow;

// The layout engine's view of the main window, in dialog units. The window's size is measured on its
// client area (see outerSize); positions are relative to the client area.
class WindowLayoutHost : public LayoutHost {
  public:
    explicit WindowLayoutHost(MainWindow& window) : window_(window) {}
    void outerSize(int& width, int& height) const override;
    void controlPosition(int id, int& x, int& y) const override;
    void controlSize(int id, int& width, int& height) const override;
    void setControlPosition(int id, int x, int y) override;
    void setControlSize(int id, int width, int height) override;
    void repaintControl(int id) override;

  private:
    MainWindow& window_;
};

} // namespace parlavo
