#include "platform/pieces.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

namespace parlavo::fileparts {

bool writeAll(int fd, std::span<const std::string_view> pieces) {
    std::vector<iovec> left;
    left.reserve(pieces.size());
    for (const std::string_view piece : pieces) {
        if (!piece.empty()) {
            left.push_back({const_cast<char*>(piece.data()), piece.size()});
        }
    }
    const long most = std::max(1L, ::sysconf(_SC_IOV_MAX));
    for (std::size_t first = 0; first < left.size();) {
        const int count =
            static_cast<int>(std::min<std::size_t>(left.size() - first, static_cast<std::size_t>(most)));
        ssize_t written = ::writev(fd, &left[first], count);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        for (; first < left.size() && static_cast<std::size_t>(written) >= left[first].iov_len; ++first) {
            written -= static_cast<ssize_t>(left[first].iov_len);
        }
        if (written > 0) { // a piece written in part
            left[first].iov_base = static_cast<char*>(left[first].iov_base) + written;
            left[first].iov_len -= static_cast<std::size_t>(written);
        }
    }
    return true;
}

std::size_t sizeOf(std::span<const std::string_view> pieces) {
    std::size_t size = 0;
    for (const std::string_view piece : pieces) {
        size += piece.size();
    }
    return size;
}

std::size_t samePrefix(std::span<const std::string_view> a, std::span<const std::string_view> b) {
    std::size_t same = 0;
    std::string_view x, y;
    for (std::size_t i = 0, j = 0;;) {
        for (; x.empty() && i < a.size(); ++i) {
            x = a[i];
        }
        for (; y.empty() && j < b.size(); ++j) {
            y = b[j];
        }
        const std::size_t size = std::min(x.size(), y.size());
        if (size == 0) {
            return same;
        }
        if (x.data() != y.data() && std::memcmp(x.data(), y.data(), size) != 0) {
            return same +
                   static_cast<std::size_t>(std::mismatch(x.begin(), x.end(), y.begin()).first - x.begin());
        }
        same += size;
        x.remove_prefix(size);
        y.remove_prefix(size);
    }
}

bool writeFrom(int fd, std::span<const std::string_view> pieces, std::size_t from, std::size_t before) {
    std::vector<std::string_view> rest;
    std::size_t skip = from;
    for (std::string_view piece : pieces) {
        const std::size_t skipped = std::min(skip, piece.size());
        skip -= skipped;
        piece.remove_prefix(skipped);
        if (!piece.empty()) {
            rest.push_back(piece);
        }
    }
    const std::size_t size = sizeOf(pieces);
    const bool placed = before == 0 || ::lseek(fd, static_cast<off_t>(from), SEEK_SET) >= 0;
    return placed && writeAll(fd, rest) && (before <= size || ::ftruncate(fd, static_cast<off_t>(size)) == 0);
}

} // namespace parlavo::fileparts
