#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <span>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace parlavo {

namespace fs = std::filesystem;

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// The folder that holds path ("." for a bare file name).
std::string folderOf(const std::string& path) {
    const std::string parent = fs::path(path).parent_path().string();
    return parent.empty() ? std::string(".") : parent;
}

// A link is written through: the file it points to is replaced, the link stays.
std::string resolveLink(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    std::error_code error;
    const fs::path target = fs::weakly_canonical(path, error);
    return error ? path : target.string();
}

// Writes the pieces in order, many at a time.
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

// Creates a new file with a name of its own beside the target. The mode is given to open(), so the
// process's umask applies as for any new file.
// Temporary files are named ".NAME.tmp-PID-N" after the target and the writing process.
std::string temporaryPrefix(const std::string& target) {
    return "." + fs::path(target).filename().string() + ".tmp-";
}

int createTemporary(const std::string& target, mode_t mode, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    const std::string start =
        folderOf(target) + "/" + temporaryPrefix(target) + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = start + std::to_string(counter.fetch_add(1));
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

AtomicWriteCalls& atomicWriteCalls() {
    static AtomicWriteCalls calls;
    return calls;
}

int flushFile(int fd) {
    const AtomicWriteCalls& calls = atomicWriteCalls();
    return calls.flush ? calls.flush(fd) : ::fsync(fd);
}

int renameFile(const char* from, const char* to) {
    const AtomicWriteCalls& calls = atomicWriteCalls();
    return calls.rename ? calls.rename(from, to) : ::rename(from, to);
}

Status syncFolder(const std::string& folder, const std::string& path) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return Status::failure("Cannot flush the folder of " + quoted(path) + ": " + reason(errno));
    }
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot flush a folder at all; the rename is then as durable as they allow.
    if (result != 0 && error != EINVAL && error != ENOTSUP) {
        return Status::failure("Cannot flush the folder of " + quoted(path) + ": " + reason(error));
    }
    return Status::success();
}

FileStamp stampOf(const struct stat& info) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    stamp.nanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return stamp;
}

// Fills an open temporary file and puts it in the target's place; stamp (when given) receives the
// new file's stamp.
Status finishTemporary(int fd, const std::string& tempPath, const std::string& target,
                       std::span<const std::string_view> bytes, const struct stat* existing,
                       FileStamp* stamp) {
    auto fail = [&](const std::string& what) {
        const std::string message = what + " " + quoted(target) + ": " + reason(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        ::unlink(tempPath.c_str());
        return Status::failure(message);
    };
    if (existing != nullptr) {
        if (fchown(fd, existing->st_uid, existing->st_gid) != 0) {
            // Only the owner's group can be kept by an ordinary user; the file stays ours otherwise.
        }
        if (fchmod(fd, existing->st_mode & 07777) != 0) {
            return fail("Cannot keep the permissions of");
        }
    }
    if (!writeAll(fd, bytes)) {
        return fail("Cannot write");
    }
    if (flushFile(fd) != 0) {
        return fail("Cannot flush");
    }
    struct stat written {};
    if (stamp != nullptr && ::fstat(fd, &written) != 0) {
        return fail("Cannot write");
    }
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) {
        return fail("Cannot write");
    }
    if (renameFile(tempPath.c_str(), target.c_str()) != 0) {
        return fail("Cannot replace");
    }
    if (stamp != nullptr) {
        *stamp = stampOf(written);
    }
    return syncFolder(folderOf(target), target);
}

// Removes the temporary files of this target left by writers that were killed mid-write (their
// process is gone). Files of a process that still runs are left alone.
void removeAbandonedTemporaries(const std::string& target) {
    const std::string prefix = temporaryPrefix(target);
    std::error_code error;
    for (fs::directory_iterator entry(folderOf(target), error), last; !error && entry != last;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const std::string rest = name.starts_with(prefix) ? name.substr(prefix.size()) : std::string();
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash > 9 || dash == std::string::npos ||
            rest.find_first_not_of("0123456789-") != std::string::npos) {
            continue;
        }
        const auto writer = static_cast<pid_t>(std::stol(rest.substr(0, dash)));
        std::error_code ignored;
        if (writer != getpid() && ::kill(writer, 0) != 0 && errno == ESRCH) {
            fs::remove(entry->path(), ignored);
        }
    }
}

// In a sticky folder only the owner of a file or of the folder (or root) may rename over the file.
bool stickyFolderForbidsReplacing(const struct stat& folder, const struct stat& file) {
    const uid_t self = ::geteuid();
    return (folder.st_mode & S_ISVTX) != 0 && self != 0 && file.st_uid != self && folder.st_uid != self;
}

Status writeWithMode(const std::string& path, std::span<const std::string_view> bytes, mode_t newFileMode,
                     LinkHandling links = LinkHandling::Follow, FileStamp* stamp = nullptr) {
    const std::string target = links == LinkHandling::Follow ? resolveLink(path) : path;
    const std::string folder = folderOf(target);
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode)) {
        return Status::failure("Cannot write " + quoted(path) + ": its folder " + quoted(folder) +
                               " does not exist");
    }
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0 &&
                        (links == LinkHandling::Follow || ::lstat(target.c_str(), &existing) != 0 ||
                         !S_ISLNK(existing.st_mode));
    if (exists && !S_ISREG(existing.st_mode)) {
        return Status::failure("Cannot write " + quoted(path) + ": it is not a regular file");
    }
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        return Status::failure("Cannot write " + quoted(path) + ": " + reason(errno));
    }
    std::string tempPath;
    const int fd = createTemporary(target, exists ? (existing.st_mode & 0777) : newFileMode, tempPath);
    if (fd < 0) {
        return Status::failure("Cannot write " + quoted(path) + ": cannot create a file in " +
                               quoted(folder) + ": " + reason(errno));
    }
    Status status = finishTemporary(fd, tempPath, target, bytes, exists ? &existing : nullptr, stamp);
    if (status.ok()) {
        removeAbandonedTemporaries(target);
    }
    return status;
}

} // namespace

Result<std::string> readWholeFile(const std::string& path) {
    auto fail = [&](int code) {
        return Result<std::string>{Status::failure("Cannot read " + quoted(path) + ": " + reason(code)), {}};
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return fail(errno);
    }
    std::string bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int code = errno;
            ::close(fd);
            return fail(code);
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return {Status::success(), std::move(bytes)};
}

Status linkAtomically(const std::string& from, const std::string& to) {
    static std::atomic<unsigned> counter{0};
    const std::string start = folderOf(to) + "/" + temporaryPrefix(to) + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string tempPath = start + std::to_string(counter.fetch_add(1)); // as a temporary file
        // A link at from is followed: the new name is the file it names, never a second link.
        if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, tempPath.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            return Status::failure("Cannot link " + quoted(from) + " as " + quoted(to) + ": " +
                                   reason(errno));
        }
        if (::rename(tempPath.c_str(), to.c_str()) != 0) {
            const int error = errno;
            ::unlink(tempPath.c_str());
            return Status::failure("Cannot replace " + quoted(to) + ": " + reason(error));
        }
        return syncFolder(folderOf(to), to);
    }
    return Status::failure("Cannot link " + quoted(from) + " as " + quoted(to) + ": " + reason(EEXIST));
}

AtomicWriteCalls setAtomicWriteCalls(AtomicWriteCalls calls) {
    return std::exchange(atomicWriteCalls(), std::move(calls));
}

Status writeFileAtomically(const std::string& path, std::string_view bytes, FileStamp* written) {
    return writeWithMode(path, std::span(&bytes, 1), 0644, LinkHandling::Follow, written);
}

Status writeFileAtomically(const std::string& path, std::span<const std::string_view> pieces,
                           FileStamp* written) {
    return writeWithMode(path, pieces, 0644, LinkHandling::Follow, written);
}

std::optional<FileStamp> fileStamp(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        return stampOf(info);
    }
    return errno == ENOENT ? std::optional<FileStamp>(FileStamp{}) : std::nullopt;
}

Status copyFileAtomically(const std::string& from, const std::string& to, LinkHandling links) {
    const Result<std::string> bytes = readWholeFile(from);
    if (!bytes.ok()) {
        return Status::failure("Cannot copy to " + quoted(to) + ": " + bytes.status.error);
    }
    // A new copy takes the permissions of its original.
    struct stat source {};
    const mode_t mode = ::stat(from.c_str(), &source) == 0 ? (source.st_mode & 0777) : 0644;
    const std::string_view whole = bytes.value;
    return writeWithMode(to, std::span(&whole, 1), mode, links);
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool isUsableFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const std::string name = fs::path(path).filename().string();
    return !name.empty() && name.front() != '.';
}

bool isSameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool canReadFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool isFolder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    ::close(fd);
    return !isFolder;
}

bool canReplaceFile(const std::string& path) {
    const std::string target = resolveLink(path);
    const std::string folder = folderOf(target);
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode) ||
        ::access(folder.c_str(), W_OK | X_OK) != 0) {
        return false;
    }
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    return S_ISREG(info.st_mode) && ::access(target.c_str(), W_OK) == 0 &&
           !stickyFolderForbidsReplacing(folderInfo, info);
}

std::string currentDirectory() {
    std::error_code error;
    const fs::path folder = fs::current_path(error);
    return error ? std::string() : folder.string();
}

char pathSeparator() {
    return '/';
}

} // namespace parlavo
