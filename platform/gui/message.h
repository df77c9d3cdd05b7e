#pragma once

namespace parlavo {

struct DrawItemContext; // platform/gui: painter, rectangle, item and state of an owner-drawn item

// Control identifiers of the main window.
namespace ctl {
inline constexpr int Cancel = 2; // the Escape key
inline constexpr int Back = 1001;
inline constexpr int LoadFiles = 1002;
inline constexpr int Ok = 1003;
inline constexpr int EnglishBrowse = 1005;
inline constexpr int EnglishLabel = 1006;
inline constexpr int EnglishPath = 1007;
inline constexpr int FontList = 1008;
inline constexpr int SizeBox = 1009;
inline constexpr int Hint = 1010;
inline constexpr int OriginalLabel = 1011;
inline constexpr int Source = 1012;
inline constexpr int FileView = 1013;
inline constexpr int Heading = 1014;
inline constexpr int BackgroundSwatch = 1015;
inline constexpr int HighlightSwatch = 1016;
inline constexpr int TextColorSwatch = 1017;
inline constexpr int Tip = 1018;
inline constexpr int TranslatedBrowse = 1019;
inline constexpr int TranslatedLabel = 1020;
inline constexpr int TranslationLabel = 1021;
inline constexpr int Translation = 1022;
inline constexpr int TranslatedPath = 1023;
inline constexpr int EnglishEncodingLabel = 1024; // the file's encoding and how it was decided
inline constexpr int EnglishEncoding = 1025;      // the drop-down that changes it
inline constexpr int TranslatedEncodingLabel = 1026;
inline constexpr int TranslatedEncoding = 1027;
inline constexpr int SizeGrip = 1500;
inline constexpr int Warning = 1501;     // the problems of the answer, under the translation box
inline constexpr int Search = 1502;      // the search box of Ctrl+F, shown only while searching
inline constexpr int Suggestions = 1503; // answers of similar English texts, under the translation box
} // namespace ctl

// Notification codes carried by a command message (the values the dialog manager uses).
namespace notify {
inline constexpr int Clicked = 0;          // button click
inline constexpr int Accelerator = 1;      // also "click"
inline constexpr int ComboSelChange = 1;   // combo box selection changed
inline constexpr int ComboEditChange = 5;  // combo box edit text changed
inline constexpr int EditSetFocus = 0x100; // edit got the focus
inline constexpr int EditKillFocus = 0x200;
inline constexpr int EditChange = 0x300; // edit text changed, typed or set by the program
inline constexpr int ButtonSetFocus = 6;
inline constexpr int ButtonKillFocus = 7;
// The search box's own codes: Ctrl+F anywhere, F3 anywhere, Enter and Escape in the box.
inline constexpr int SearchOpen = 0x1001;
inline constexpr int SearchNext = 0x1002;
inline constexpr int SearchEnter = 0x1003;
inline constexpr int SearchCancel = 0x1004;
inline constexpr int PickSuggestion1 = 0x1011; // Alt+1; Alt+2 and Alt+3 follow
} // namespace notify

enum class SizeKind { Restored = 0, Minimized = 1, Maximized = 2 };

enum class MessageKind {
    InitDialog,    // once, before the window is first shown
    NcActivate,    // active: the window is being activated (true) or deactivated (false)
    DrawItem,      // controlId: the owner-drawn control to paint (the painter is handed over separately)
    Size,          // sizeKind, width and height of the client area in pixels
    GetMinMaxInfo, // the handler may set minTrackWidth / minTrackHeight (pixels, outer size)
    Command,       // controlId and code
    SysCommand,    // sysCommand (close = 0xF060)
    Close,         // the window is about to close
};

inline constexpr int kSysCommandClose = 0xF060;

// One message of the main window, as the platform layer turns Qt events and signals into it.
struct Message {
    MessageKind kind = MessageKind::Command;
    int controlId = 0;
    int code = 0;
    bool active = false;
    SizeKind sizeKind = SizeKind::Restored;
    int width = 0;
    int height = 0;
    int sysCommand = 0;
    int minTrackWidth = 0; // in/out for GetMinMaxInfo
    int minTrackHeight = 0;
    DrawItemContext* drawItem = nullptr; // for DrawItem
};

} // namespace parlavo
