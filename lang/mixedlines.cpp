#include "lang/mixedlines.h"

#include "platform/encoding.h"

#include <algorithm>

namespace parlavo {

namespace {

// Calls visit(number, start, text) for every line of bytes, without its line end. Lines are found
// with memchr-based searches for LF, then split at a lone CR inside (rare), since a general search
// for either byte is several times slower on a large file.
template <class Visit> void forEachLine(std::string_view bytes, Visit visit) {
    int number = 1;
    for (std::size_t start = 0;;) {
        const std::size_t lf = std::min(bytes.find('\n', start), bytes.size());
        std::size_t end = lf > start && bytes[lf - 1] == '\r' ? lf - 1 : lf; // CR LF is one line end
        for (std::size_t cr = bytes.substr(0, end).find('\r', start); cr != std::string_view::npos;
             cr = bytes.substr(0, end).find('\r', start)) {
            visit(number++, start, bytes.substr(start, cr - start));
            start = cr + 1;
        }
        visit(number++, start, bytes.substr(start, end - start));
        if (lf == bytes.size()) {
            return;
        }
        start = lf + 1;
    }
}

bool isUtf8Line(std::string_view line) {
    return !isAscii(line) && isValidUtf8(line);
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
