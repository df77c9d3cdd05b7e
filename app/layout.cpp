#include "app/layout.h"

#include "platform/gui/message.h"

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
        {"Initialize", 0},
        {"Scale-H", ctl::EnglishPath},
        {"Scale-H", ctl::TranslatedPath},
        {"Move-H", ctl::EnglishBrowse},
        {"Move-H", ctl::TranslatedBrowse},
        {"Scale-H", ctl::FileView},
        {"Scale-V", ctl::FileView},
        {"Scale-H", ctl::Heading},
        {"Move-V", ctl::Heading},
        {"Move-V", ctl::OriginalLabel},
        {"Scale-H", ctl::Source},
        {"Move-V", ctl::Source},
        {"Move-V", ctl::TranslationLabel},
        {"Scale-H", ctl::Translation},
        {"Move-V", ctl::Translation},
        {"Move-V", ctl::Hint},
        {"Move-V", ctl::Tip},
        {"Move-H", ctl::LoadFiles},
        {"Move-V", ctl::Back},
        {"Move-V", ctl::Ok},
        {"Move-V", ctl::SizeGrip},
        {"Move-H", ctl::SizeGrip},
        {"Scale-H", ctl::Warning},
        {"Move-V", ctl::Warning},
        {"Scale-H", ctl::Search},
        {"Move-V", ctl::Search},
        {"Scale-H", ctl::Suggestions},
        {"Move-V", ctl::Suggestions},
        {"Move-H", ctl::EnglishEncodingLabel},
        {"Move-H", ctl::EnglishEncoding},
        {"Move-H", ctl::TranslatedEncodingLabel},
        {"Move-H", ctl::TranslatedEncoding},
        {"Repaint", 0},
    };
    for (const Call& call : kRules) {
        layoutControl(state, host, call.controlId, call.command);
    }
}

} // namespace parlavo
