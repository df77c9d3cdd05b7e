#pragma once

#include "platform/status.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parlavo {

// Reads the whole file as bytes, or says why it cannot be read.
Result<std::string> readWholeFile(const std::string& path);
// The same, counting meanwhile the bytes equal to counted: each part is counted just after it is
// read, while it is in the cache (a second pass over a large file waits for the memory again).
Result<std::string> readWholeFile(const std::string& path, char counted, std::size_t& count);

// What tells one version of a file from another without reading it: its identity (device and
// inode), its size and its modification time to the nanosecond. Every atomic replace gives the file
// a new identity, and an edit in place changes its time. A missing file has a stamp of its own.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};
// The file's stamp now (a symbolic link is followed); nothing when the system cannot tell.
std::optional<FileStamp> fileStamp(const std::string& path);

// Writes bytes to a temporary file in the target's folder, flushes it to disk and renames it over
// the target, keeping the target's permissions. A crash at any moment leaves the old or the new
// content, never a partial file. A missing folder is a failure. With written given, it receives
// the stamp of the new file (taken before the rename, so a later change by anyone shows in it).
Status writeFileAtomically(const std::string& path, std::string_view bytes, FileStamp* written = nullptr);
// The same for bytes given in pieces, written one after the other.
Status writeFileAtomically(const std::string& path, std::span<const std::string_view> pieces,
                           FileStamp* written = nullptr);

// The two calls an atomic write depends on: the flush of the temporary file and its rename over the
// target. An empty function is the system's own call (fsync, rename). Tests replace them to count
// them or to make them fail; setAtomicWriteCalls returns the calls it replaced.
struct AtomicWriteCalls {
    std::function<int(int fd)> flush;
    std::function<int(const char* from, const char* to)> rename;
};
AtomicWriteCalls setAtomicWriteCalls(AtomicWriteCalls calls);

// Copies a file atomically (same guarantees as writeFileAtomically for the copy). A symbolic link at
// to is written through (Follow: the file it points to is replaced) or replaced by the copy.
enum class LinkHandling { Follow, Replace };
Status copyFileAtomically(const std::string& from, const std::string& to,
                          LinkHandling links = LinkHandling::Follow);

// An atomic write in two steps: prepare writes the new bytes to a temporary file beside the target
// and flushes it to disk (the slow part, which can run beside other work); commit then puts it in
// the target's place, with the guarantees of writeFileAtomically (written, when given, receives the
// new file's stamp). A write that is prepared but never committed is undone: the target stays as it
// was and the temporary file is removed.
class AtomicWrite {
  public:
    AtomicWrite() = default;
    AtomicWrite(AtomicWrite&& other) noexcept;
    AtomicWrite& operator=(AtomicWrite&& other) noexcept;
    AtomicWrite(const AtomicWrite&) = delete;
    AtomicWrite& operator=(const AtomicWrite&) = delete;
    ~AtomicWrite();

    Status prepare(const std::string& path, std::span<const std::string_view> bytes,
                   unsigned newFileMode = 0644, LinkHandling links = LinkHandling::Follow);
    bool prepared() const { return !tempPath_.empty(); }
    Status commit(FileStamp* written = nullptr);

    // Writes bytes that a prepare to come will most likely be given to a temporary file ahead of
    // it, and has the system start putting them on disk: that prepare (of the same file, links
    // followed) then writes only from the first byte that differs, and its flush waits for little.
    // The bytes must stay valid until then. A draft that fails is dropped (the prepare then writes
    // in full); one never prepared is removed with this object or by a prepare of another file.
    void draft(const std::string& path, std::span<const std::string_view> bytes, unsigned newFileMode = 0644);

    // A draft given in parts as they are made: each is written at once (its bytes need not stay
    // valid), and the system starts putting them on disk. prepareDrafted then takes the parts given
    // for path, in order, for the file's bytes (none: an empty file), and fails as prepare would have
    // with those bytes when a part could not be written.
    void draftPart(const std::string& path, std::string_view part, unsigned newFileMode = 0644);
    Status prepareDrafted(const std::string& path, unsigned newFileMode = 0644);

  private:
    struct Draft {
        std::string target;
        std::string tempPath;
        int fd = -1;
        std::vector<std::string_view> bytes;
        // A draft in parts: the path it was given, its size, how much of it the system was told to
        // write, and why it failed (it is gone then).
        bool inParts = false;
        std::string partsOf;
        std::size_t size = 0;
        std::size_t started = 0;
        std::string failure;
    };
    Status prepareFrom(const std::string& path, std::span<const std::string_view> bytes, unsigned newFileMode,
                       LinkHandling links, bool drafted);
    void discard();
    void dropDraft();

    std::string target_;
    std::string tempPath_;
    FileStamp stamp_;
    Draft draft_;
};

// Makes to a second name of the file from (a hard link; a symbolic link at from is followed),
// replacing what to named, a symbolic link included (never written through). Fails where the file system or
// its rules allow no link; the caller then copies. When to is beside the file (from resolved), its
// folder is not flushed: the new name reaches the disk with the atomic rewrite of from that follows.
Status linkAtomically(const std::string& from, const std::string& to);

bool fileExists(const std::string& path);

// An existing regular file (not a folder, not hidden: its name does not start with a dot).
bool isUsableFile(const std::string& path);

// True when both paths name the same existing file (same device and inode).
bool isSameFile(const std::string& a, const std::string& b);

// True when the file exists and can be opened for reading.
bool canReadFile(const std::string& path);

// True when an atomic write to path can succeed: the folder is writable, an existing file is
// writable by us, and a sticky folder (such as /tmp) lets us replace it (we own the file or the
// folder, or are root).
bool canReplaceFile(const std::string& path);

std::string currentDirectory();

// The platform's directory separator ('/' here).
char pathSeparator();

} // namespace parlavo
