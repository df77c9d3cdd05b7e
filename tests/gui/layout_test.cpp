#include "app/layout.h"

#include <gtest/gtest.h>
#include <map>

namespace parlavo::test {
namespace {

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Box&) const = default;
};

// A window of controls in dialog units.
class FakeHost : public LayoutHost {
  public:
    void outerSize(int& width, int& height) const override {
        width = outerWidth;
        height = outerHeight;
    }
    void controlPosition(int id, int& x, int& y) const override {
        x = boxes.at(id).x;
        y = boxes.at(id).y;
    }
    void controlSize(int id, int& width, int& height) const override {
        width = boxes.at(id).w;
        height = boxes.at(id).h;
    }
    void setControlPosition(int id, int x, int y) override {
        boxes[id].x = x;
        boxes[id].y = y;
    }
    void setControlSize(int id, int width, int height) override {
        boxes[id].w = width;
        boxes[id].h = height;
    }
    void repaintControl(int) override {}

    int outerWidth = 380;
    int outerHeight = 310;
    std::map<int, Box> boxes;
};

// The design geometry of the ruled controls.
FakeHost designHost() {
    FakeHost host;
    host.boxes = {{1007, {18, 15, 317, 13}},  {1023, {18, 42, 317, 13}},  {1005, {338, 15, 18, 13}},
                  {1019, {338, 42, 18, 13}},  {1013, {5, 77, 362, 129}},  {1014, {6, 209, 370, 12}},
                  {1011, {6, 225, 49, 10}},   {1012, {58, 224, 306, 13}}, {1021, {6, 240, 49, 10}},
                  {1022, {58, 239, 306, 13}}, {1010, {62, 254, 162, 9}},  {1018, {6, 284, 299, 10}},
                  {1002, {321, 60, 45, 15}},  {1001, {58, 265, 50, 15}},  {1003, {121, 265, 50, 15}},
                  {1500, {360, 280, 12, 14}}, {1501, {62, 254, 302, 9}},  {1502, {180, 266, 184, 13}},
                  {1503, {6, 284, 358, 10}}};
    return host;
}

TEST(LayoutEngine, ControlsFollowTheWindowsGrowthFromTheirDesignValues) {
    LayoutState state;
    FakeHost host = designHost();
    const auto design = host.boxes;
    layoutMainWindow(state, host);
    EXPECT_EQ(host.boxes, design); // the recording pass leaves everything in place
    EXPECT_EQ(state.table[1].controlId, 1007);
    EXPECT_EQ(state.table[21].controlId, 1500);

    host.outerWidth += 10;
    host.outerHeight += 20;
    layoutMainWindow(state, host);
    EXPECT_EQ(host.boxes[1007], (Box{18, 15, 327, 13}));
    EXPECT_EQ(host.boxes[1005], (Box{348, 15, 18, 13}));
    EXPECT_EQ(host.boxes[1013], (Box{5, 77, 372, 149}));
    EXPECT_EQ(host.boxes[1001], (Box{58, 285, 50, 15}));
    EXPECT_EQ(host.boxes[1014], (Box{6, 229, 380, 12}));
    EXPECT_EQ(host.boxes[1500], (Box{370, 300, 12, 14}));
    EXPECT_EQ(host.boxes[1002], (Box{331, 60, 45, 15}));

    // Minimised: the outer size falls below the design and the values go negative.
    host.outerWidth = 100;
    host.outerHeight = 15;
    layoutMainWindow(state, host);
    EXPECT_EQ(host.boxes[1007].w, 317 - 280);
    EXPECT_EQ(host.boxes[1013].h, 129 - 295);
    EXPECT_EQ(host.boxes[1003].y, 265 - 295);

    host.outerWidth = 380;
    host.outerHeight = 310;
    layoutMainWindow(state, host);
    EXPECT_EQ(host.boxes, design);
}

TEST(LayoutEngine, CommandsIgnoreLetterCaseAndUnknownOnesUseASlot) {
    LayoutState state;
    FakeHost host = designHost();
    layoutControl(state, host, 0, "iNiTiAlIzE");
    layoutControl(state, host, 1007, "scale-h");
    layoutControl(state, host, 1005, "Jump");
    layoutControl(state, host, 1013, "SCALE-V");
    EXPECT_EQ(state.table[1].controlId, 1007);
    EXPECT_EQ(state.table[2].controlId, 0); // used up, nothing recorded
    EXPECT_EQ(state.table[3].controlId, 1013);
    EXPECT_EQ(state.table[3].first, 362);
    EXPECT_EQ(state.table[3].second, 129);

    // Replay acts on the recorded control, whatever id the caller passes now.
    host.outerHeight += 4;
    layoutControl(state, host, 0, "Initialize");
    layoutControl(state, host, 1007, "Scale-H");
    layoutControl(state, host, 0, "Jump");
    layoutControl(state, host, 9999, "Scale-V");
    EXPECT_EQ(host.boxes[1013].h, 133);
    EXPECT_EQ(host.boxes.count(9999), 0u);
}

} // namespace
} // namespace parlavo::test
