#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace parlavo {

// The colour dialog's 16 custom colours, slot 1 first.
using CustomColours = std::array<std::uint32_t, 16>;

// The stored form of the custom colours: 16 lines "ColorA=" .. "ColorP=" followed by the colour in
// upper-case hexadecimal without leading zeros, each line ended by CR LF.
std::string encodeCustomColours(const CustomColours& colours);
// Lines are taken by position (split at CR LF; a text with LF only is one line); each line's
// hexadecimal digits after its first "=" (the whole line without one) give its colour; a missing
// line or one without leading digits gives 0.
CustomColours decodeCustomColours(std::string_view text);

// The store: value "CustomColors" of QSettings("Tolvane Kestrova", "General") (on Windows the
// host's registry key). A missing or non-text value reads as "".
std::string readCustomColoursText();
void writeCustomColoursText(const std::string& text);

// The colour dialog: given the owner, the starting colour and the custom colours (which the user
// may change), the chosen colour, or nothing when the user cancelled.
using ColourDialog =
    std::function<std::optional<std::uint32_t>(QWidget* owner, std::uint32_t initial, CustomColours& custom)>;
// Tests answer the dialog with their own function; an empty function restores the real dialog.
void setColourDialogHook(ColourDialog hook);

// Opens the colour dialog over owner, starting at initial. On confirmation the custom colours are
// stored and the chosen colour is returned; on cancel nothing changes and nothing is returned.
std::optional<std::uint32_t> chooseColour(QWidget* owner, std::uint32_t initial);

} // namespace parlavo
