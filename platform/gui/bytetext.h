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

// What a control shows of a very long text: its first kShownTextBytes at most (not ending inside a
// UTF-8 sequence), followed by shortenedNotice. The text itself is kept elsewhere, whole.
inline constexpr std::size_t kShownTextBytes = 10'000;
std::string_view shownStart(std::string_view bytes);
// The notice after a shortened text of fullBytes, of which shownBytes are shown; "" when whole.
QString shortenedNotice(std::size_t shownBytes, std::size_t fullBytes);
// bytesToDisplay of the shown start with its notice.
QString shortenedForDisplay(std::string_view bytes);

// Text the user typed, in the locale's encoding.
std::string displayToBytes(const QString& text);

} // namespace parlavo
