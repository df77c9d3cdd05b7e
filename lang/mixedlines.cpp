#include "lang/mixedlines.h"

#include "lang/inilines.h"
#include "platform/encoding.h"

#include <algorithm>

namespace parlavo {

namespace {

// Calls visit(number, start, text) for every line of bytes, without its line end: CR LF, a lone LF
// and a lone CR each end a line.
template <class Visit> void forEachLine(std::string_view bytes, Visit visit) {
    int number = 1;
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    for (const char* start = begin;;) {
        const char* const stop = ini::findLineBreak(start, end);
        visit(number++, static_cast<std::size_t>(start - begin),
              std::string_view(start, static_cast<std::size_t>(stop - start)));
        if (stop == end) {
            return;
        }
        start = stop + (stop[0] == '\r' && stop + 1 < end && stop[1] == '\n' ? 2 : 1);
    }
}

bool isUtf8Line(std::string_view line) {
    return holdsUtf8Sequence(line) && isValidUtf8(line); // the first rules out most legacy lines at once
}

} // namespace

std::vector<int> findUtf8Lines(std::string_view bytes) {
    std::vector<int> lines;
    forEachLine(bytes, [&](int number, std::size_t, std::string_view line) {
        if (isUtf8Line(line)) {
            lines.push_back(number);
        }
    });
    return lines;
}

std::size_t convertUtf8Lines(std::string& bytes, const std::vector<int>& lines, std::string_view encoding) {
    std::string converted;
    converted.reserve(bytes.size());
    std::size_t copied = 0;
    std::size_t kept = 0;
    forEachLine(bytes, [&](int number, std::size_t start, std::string_view line) {
        if (!std::binary_search(lines.begin(), lines.end(), number) || !isUtf8Line(line)) {
            return;
        }
        Encoded encoded = fromUtf8(line, encoding);
        if (!encoded.ok()) {
            ++kept;
            return;
        }
        converted.append(bytes, copied, start - copied).append(encoded.bytes);
        copied = start + line.size();
    });
    converted.append(bytes, copied);
    bytes = std::move(converted);
    return kept;
}

} // namespace parlavo
