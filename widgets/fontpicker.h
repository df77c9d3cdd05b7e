#pragma once

#include <QFont>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;

namespace parlavo {

struct DrawItemContext;

// A font of the face at the point size. weight 0 is the default weight; otherwise 100 (thin) to 900
// (black).
QFont createFaceFont(std::string_view face, int points, int weight, bool italic, bool underline);

// Family names ordered byte by byte with the ASCII letters folded to upper case.
bool fontNameLess(std::string_view a, std::string_view b);

// Fills the font family list with every installed family, in fontNames order. The first call also
// gathers fontNames.
void fillFontFamilies(QComboBox& list);
// The installed families as the first fillFontFamilies found them, sorted with fontNameLess.
const std::vector<std::string>& fontNames();

// Paints one entry of the font family list in its own face at 12 points. Returns false when there was
// nothing to draw (no entry).
bool drawFontItem(const DrawItemContext& item);

// The point sizes offered for a face, ascending and without duplicates: the standard sizes for a
// scalable face, the fixed sizes of a bitmap-only face, nothing for a face that is not installed.
std::vector<int> listFontSizes(std::string_view face);

inline constexpr int kStandardFontSizes[] = {8,  9,  10, 11, 12, 14, 16, 18, 20,
                                             22, 24, 26, 28, 32, 36, 48, 72};

} // namespace parlavo
