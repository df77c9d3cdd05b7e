#pragma once

// What the file services (files.cpp, atomicwrite.cpp) share among themselves.

#include "platform/files.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace parlavo::fileparts {

namespace fs = std::filesystem;

inline std::string reason(int error) {
    return std::strerror(error);
}

inline std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// The folder that holds path ("." for a bare file name).
inline std::string folderOf(const std::string& path) {
    const std::string parent = fs::path(path).parent_path().string();
    return parent.empty() ? std::string(".") : parent;
}

// A link is written through: the file it points to is replaced, the link stays.
inline std::string resolveLink(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    std::error_code error;
    const fs::path target = fs::weakly_canonical(path, error);
    return error ? path : target.string();
}

inline FileStamp stampOf(const struct stat& info) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    stamp.nanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return stamp;
}

// In a sticky folder only the owner of a file or of the folder (or root) may rename over the file.
inline bool stickyFolderForbidsReplacing(const struct stat& folder, const struct stat& file) {
    const uid_t self = ::geteuid();
    return (folder.st_mode & S_ISVTX) != 0 && self != 0 && file.st_uid != self && folder.st_uid != self;
}

} // namespace parlavo::fileparts
