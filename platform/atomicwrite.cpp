// Atomic writes: a temporary file beside the target, flushed to disk and renamed over the target.

#include "platform/files.h"

#include "platform/filepaths.h"
#include "platform/pieces.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <span>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace parlavo {

namespace fs = std::filesystem;
using namespace fileparts;

namespace {

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

bool sameFolder(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// What an open temporary file holds already: its first same bytes are those to write, of the
// drafted bytes it holds in all.
struct Held {
    std::size_t same = 0;
    std::size_t drafted = 0;
};

// Fills an open temporary file, flushes it to disk and closes it; written receives its stamp. The
// temporary file is removed when any of it fails.
Status fillTemporary(int fd, const std::string& tempPath, const std::string& target,
                     std::span<const std::string_view> bytes, const struct stat* existing, Held held,
                     FileStamp& written) {
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
    if (!writeFrom(fd, bytes, held.same, held.drafted)) {
        return fail("Cannot write");
    }
    if (flushFile(fd) != 0) {
        return fail("Cannot flush");
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return fail("Cannot write");
    }
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) {
        return fail("Cannot write");
    }
    written = stampOf(info);
    return Status::success();
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

} // namespace

AtomicWrite::AtomicWrite(AtomicWrite&& other) noexcept
    : target_(std::move(other.target_)), tempPath_(std::exchange(other.tempPath_, {})), stamp_(other.stamp_),
      draft_(std::exchange(other.draft_, {})) {}

AtomicWrite& AtomicWrite::operator=(AtomicWrite&& other) noexcept {
    if (this != &other) {
        discard();
        dropDraft();
        target_ = std::move(other.target_);
        tempPath_ = std::exchange(other.tempPath_, {});
        stamp_ = other.stamp_;
        draft_ = std::exchange(other.draft_, {});
    }
    return *this;
}

AtomicWrite::~AtomicWrite() {
    discard();
    dropDraft();
}

void AtomicWrite::dropDraft() {
    if (draft_.fd >= 0) {
        ::close(draft_.fd);
        ::unlink(draft_.tempPath.c_str());
    }
    draft_ = {};
}

namespace {

// A temporary file for a draft of target, or -1 (target is not a regular file, or none can be made).
int openDraft(const std::string& target, unsigned newFileMode, std::string& tempPath) {
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return -1;
    }
    return createTemporary(target, exists ? (existing.st_mode & 0777) : static_cast<mode_t>(newFileMode),
                           tempPath);
}

// Why path (target, resolved as asked) cannot be written, if it cannot; existing receives the
// status of target when it exists.
Status checkTarget(const std::string& path, const std::string& target, LinkHandling links,
                   struct stat& existing, bool& exists) {
    const std::string folder = folderOf(target);
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode)) {
        return Status::failure("Cannot write " + quoted(path) + ": its folder " + quoted(folder) +
                               " does not exist");
    }
    exists = ::stat(target.c_str(), &existing) == 0 &&
             (links == LinkHandling::Follow || ::lstat(target.c_str(), &existing) != 0 ||
              !S_ISLNK(existing.st_mode));
    if (exists && !S_ISREG(existing.st_mode)) {
        return Status::failure("Cannot write " + quoted(path) + ": it is not a regular file");
    }
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        return Status::failure("Cannot write " + quoted(path) + ": " + reason(errno));
    }
    return Status::success();
}

// The system is told to start writing a draft in parts each time this much more of it was given.
constexpr std::size_t kStartWritingEvery = std::size_t{1} << 20;

} // namespace

void AtomicWrite::draft(const std::string& path, std::span<const std::string_view> bytes,
                        unsigned newFileMode) {
    dropDraft();
    const std::string target = resolveLink(path);
    std::string tempPath;
    const int fd = openDraft(target, newFileMode, tempPath);
    if (fd < 0) {
        return;
    }
    if (!writeAll(fd, bytes)) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        return;
    }
    // Only a start: the flush of the prepare makes the bytes durable.
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    draft_ = {};
    draft_.target = target;
    draft_.tempPath = tempPath;
    draft_.fd = fd;
    draft_.bytes.assign(bytes.begin(), bytes.end());
}

void AtomicWrite::draftPart(const std::string& path, std::string_view part, unsigned newFileMode) {
    if (!draft_.inParts || draft_.partsOf != path) {
        dropDraft();
        draft_.inParts = true;
        draft_.partsOf = path;
        draft_.target = resolveLink(path);
        draft_.fd = openDraft(draft_.target, newFileMode, draft_.tempPath);
        if (draft_.fd < 0) {
            draft_.failure = "Cannot write " + quoted(path) + ": cannot create a file in " +
                             fileparts::quoted(folderOf(draft_.target)) + ": " + reason(errno);
        }
    }
    if (draft_.fd < 0) {
        return;
    }
    if (!writeAll(draft_.fd, std::span(&part, 1))) {
        draft_.failure = "Cannot write " + fileparts::quoted(draft_.target) + ": " + reason(errno);
        ::close(std::exchange(draft_.fd, -1));
        ::unlink(draft_.tempPath.c_str());
        return;
    }
    draft_.size += part.size();
    if (draft_.size - draft_.started >= kStartWritingEvery) {
        ::sync_file_range(draft_.fd, static_cast<off_t>(draft_.started), 0, SYNC_FILE_RANGE_WRITE);
        draft_.started = draft_.size;
    }
}

void AtomicWrite::discard() {
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

Status AtomicWrite::prepare(const std::string& path, std::span<const std::string_view> bytes,
                            unsigned newFileMode, LinkHandling links) {
    return prepareFrom(path, bytes, newFileMode, links, false);
}

Status AtomicWrite::prepareDrafted(const std::string& path, unsigned newFileMode) {
    return prepareFrom(path, {}, newFileMode, LinkHandling::Follow, true);
}

// drafted: the bytes are those of the draft in parts of path (when any part was given).
Status AtomicWrite::prepareFrom(const std::string& path, std::span<const std::string_view> bytes,
                                unsigned newFileMode, LinkHandling links, bool drafted) {
    discard();
    const std::string target = links == LinkHandling::Follow ? resolveLink(path) : path;
    const std::string folder = folderOf(target);
    struct stat existing {};
    bool exists = false;
    if (Status usable = checkTarget(path, target, links, existing, exists); !usable.ok()) {
        return usable;
    }
    std::string tempPath;
    Held held;
    int fd = -1;
    const bool inParts = draft_.inParts;
    if (drafted && inParts && draft_.partsOf == path) { // every byte is written already
        const std::string failure = draft_.target != target
                                        ? "Cannot write " + quoted(path) + ": it moved while it was written"
                                        : draft_.failure;
        if (!failure.empty()) {
            dropDraft();
            return Status::failure(failure);
        }
        fd = std::exchange(draft_.fd, -1);
        tempPath = draft_.tempPath;
        draft_ = {};
    } else if (!drafted && !inParts && draft_.fd >= 0 && draft_.target == target) {
        held = {samePrefix(draft_.bytes, bytes), sizeOf(draft_.bytes)}; // only what differs is left
        fd = std::exchange(draft_.fd, -1);
        tempPath = draft_.tempPath;
        draft_ = {};
    } else {
        dropDraft();
        fd = createTemporary(target, exists ? (existing.st_mode & 0777) : static_cast<mode_t>(newFileMode),
                             tempPath);
    }
    if (fd < 0) {
        return Status::failure("Cannot write " + quoted(path) + ": cannot create a file in " +
                               quoted(folder) + ": " + reason(errno));
    }
    Status status = fillTemporary(fd, tempPath, target, bytes, exists ? &existing : nullptr, held, stamp_);
    if (status.ok()) {
        target_ = target;
        tempPath_ = tempPath;
    }
    return status;
}

Status AtomicWrite::commit(FileStamp* written) {
    if (tempPath_.empty()) {
        return Status::failure("Nothing was prepared to write");
    }
    const std::string tempPath = std::exchange(tempPath_, {});
    if (renameFile(tempPath.c_str(), target_.c_str()) != 0) {
        const std::string message = "Cannot replace " + fileparts::quoted(target_) + ": " + reason(errno);
        ::unlink(tempPath.c_str());
        return Status::failure(message);
    }
    if (written != nullptr) {
        *written = stamp_;
    }
    Status status = syncFolder(folderOf(target_), target_);
    if (status.ok()) {
        removeAbandonedTemporaries(target_);
    }
    return status;
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
        return sameFolder(folderOf(resolveLink(from)), folderOf(to)) ? Status::success()
                                                                     : syncFolder(folderOf(to), to);
    }
    return Status::failure("Cannot link " + quoted(from) + " as " + quoted(to) + ": " + reason(EEXIST));
}

AtomicWriteCalls setAtomicWriteCalls(AtomicWriteCalls calls) {
    return std::exchange(atomicWriteCalls(), std::move(calls));
}

} // namespace parlavo
