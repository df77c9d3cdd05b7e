#pragma once

#include <array>
#include <string_view>

namespace parlavo {

class MainWindow;

// The layout engine: controls follow the window's right and bottom edges by the amount the window
// has grown since its design size. Slots are filled in call order during the first sequence (the
// recording) and replayed from those design values ever after.
struct LayoutSlot {
    int controlId = 0;
    int first = 0;  // design x or width
    int second = 0; // design y or height
};

struct LayoutState {
    std::array<LayoutSlot, 101> table{}; // slot 0 unused ("slots" is a Qt keyword)
    bool allocated = false;
    bool recording = false;
    int initialWidth = 0;
    int initialHeight = 0;
    int currentWidth = 0;
    int currentHeight = 0;
    int slotCounter = 0;
};

// Geometry in dialog units, as the engine reads and writes it.
class LayoutHost {
  public:
    virtual ~LayoutHost() = default;
    virtual void outerSize(int& width, int& height) const = 0;
    virtual void controlPosition(int id, int& x, int& y) const = 0;
    virtual void controlSize(int id, int& width, int& height) const = 0;
    virtual void setControlPosition(int id, int x, int y) = 0;
    virtual void setControlSize(int id, int width, int height) = 0;
    virtual void repaintControl(int id) = 0;
};

void layoutControl(LayoutState& state, LayoutHost& host, int controlId, std::string_view command);

// The 33 rules the size handler issues, in order.
void layoutMainWindow(LayoutState& state, LayoutHost& host);

} // namespace parlavo
