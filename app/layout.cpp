#include "app/layout.h"

#include <string>

namespace parlavo {

namespace {

constexpr int kLastSlot = 100;

std::string upperAscii(std::string_view text) {
    std::string upper(text);
    for (char& ch : upper) {
        if (ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 'a' + 'A');
        }
    }
    return upper;
}

void initialize(LayoutState& state) {
    state.slotCounter = 0;
    if (state.initialWidth == 0) {
        state.initialWidth = state.currentWidth;
        state.initialHeight = state.currentHeight;
        state.recording = true;
        state.table = {};
        state.allocated = true;
    } else {
        state.recording = false;
    }
    state.slotCounter = 1;
}

enum class Rule { MoveV, ScaleV, MoveH, ScaleH };

// One rule on the current slot: record the design value on the first sequence, then place the
// control at its design value plus the window's growth on the rule's axis.
void applyRule(LayoutState& state, LayoutHost& host, int controlId, Rule rule) {
    if (!state.allocated || state.slotCounter < 1 || state.slotCounter > kLastSlot) {
        ++state.slotCounter;
        return;
    }
    LayoutSlot& slot = state.table[static_cast<std::size_t>(state.slotCounter)];
    if (state.recording) {
        slot.controlId = controlId;
    }
    const bool scales = rule == Rule::ScaleV || rule == Rule::ScaleH;
    int a = 0;
    int b = 0;
    if (scales) {
        host.controlSize(slot.controlId, a, b);
    } else {
        host.controlPosition(slot.controlId, a, b);
    }
    if (state.recording) {
        slot.first = a;
        slot.second = b;
    }
    const int growW = state.currentWidth - state.initialWidth;
    const int growH = state.currentHeight - state.initialHeight;
    switch (rule) {
    case Rule::MoveV:
        host.setControlPosition(slot.controlId, a, slot.second + growH);
        break;
    case Rule::ScaleV:
        host.setControlSize(slot.controlId, a, slot.second + growH);
        break;
    case Rule::MoveH:
        host.setControlPosition(slot.controlId, slot.first + growW, b);
        break;
    case Rule::ScaleH:
        host.setControlSize(slot.controlId, slot.first + growW, b);
        break;
    }
    ++state.slotCounter;
}

void repaint(LayoutState& state, LayoutHost& host) {
    if (state.allocated) {
        for (int s = 1; s <= kLastSlot && state.table[static_cast<std::size_t>(s)].first != 0; ++s) {
            host.repaintControl(state.table[static_cast<std::size_t>(s)].controlId);
        }
    }
    state.slotCounter = 1;
}

} // namespace

void layoutControl(LayoutState& state, LayoutHost& host, int controlId, std::string_view command) {
    host.outerSize(state.currentWidth, state.currentHeight);
    const std::string word = upperAscii(command);
    if (word == "INITIALIZE") {
        initialize(state);
    } else if (word == "MOVE-V") {
        applyRule(state, host, controlId, Rule::MoveV);
    } else if (word == "SCALE-V") {
        applyRule(state, host, controlId, Rule::ScaleV);
    } else if (word == "MOVE-H") {
        applyRule(state, host, controlId, Rule::MoveH);
    } else if (word == "SCALE-H") {
        applyRule(state, host, controlId, Rule::ScaleH);
    } else if (word == "REPAINT") {
        repaint(state, host);
    } else {
        ++state.slotCounter;
    }
}

void layoutMainWindow(LayoutState& state, LayoutHost& host) {
    struct Call {
        const char* command;
        int controlId;
    };
    static constexpr Call kRules[] = {
        {"Initialize", 0}, {"Scale-H", 1007}, {"Scale-H", 1023}, {"Move-H", 1005},  {"Move-H", 1019},
        {"Scale-H", 1013}, {"Scale-V", 1013}, {"Scale-H", 1014}, {"Move-V", 1014},  {"Move-V", 1011},
        {"Scale-H", 1012}, {"Move-V", 1012},  {"Move-V", 1021},  {"Scale-H", 1022}, {"Move-V", 1022},
        {"Move-V", 1010},  {"Move-V", 1018},  {"Move-H", 1002},  {"Move-V", 1001},  {"Move-V", 1003},
        {"Move-V", 1500},  {"Move-H", 1500},  {"Repaint", 0},
    };
    for (const Call& call : kRules) {
        layoutControl(state, host, call.controlId, call.command);
    }
}

} // namespace parlavo
