#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace parlavo {

// Bytes of the files and the settings are shown in the locale's encoding. A byte sequence that is not
// valid in it is shown byte by byte as Windows-1252, so nothing is dropped from the display.
QString bytesToDisplay(std::string_view bytes);

// The number of UTF-16 units that bytesToDisplay gives for the bytes before byteOffset (a sequence that
// starts before byteOffset counts whole).
int displayOffset(std::string_view bytes, std::size_t byteOffset);

// Text the user typed, in the locale's encoding.
std::string displayToBytes(const QString& text);

} // namespace parlavo
