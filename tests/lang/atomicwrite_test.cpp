#include "platform/files.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace parlavo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(AtomicWrite, ReplacesContentAndKeepsPermissions) {
    TempDir folder;
    const std::string path = folder.file("Translated.lng");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ASSERT_TRUE(writeFileAtomically(path, "first").ok());
    EXPECT_EQ(folder.read("Translated.lng"), "first");
    EXPECT_EQ(modeOf(path), 0644 & ~mask);

    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(path, std::string("second\0", 7)).ok());
    EXPECT_EQ(folder.read("Translated.lng"), std::string("second\0", 7));
    EXPECT_EQ(modeOf(path), 0640u);
    ASSERT_TRUE(writeFileAtomically(path, "").ok());
    EXPECT_EQ(folder.read("Translated.lng"), "");
    EXPECT_EQ(entriesIn(folder.path()), 1u); // no temporary file left behind
    // A link is written through: the file it points to is replaced, the link stays.
    fs::create_symlink("Translated.lng", folder.file("link.lng"));
    ASSERT_TRUE(writeFileAtomically(folder.file("link.lng"), "new").ok());
    EXPECT_TRUE(fs::is_symlink(folder.file("link.lng")));
    EXPECT_EQ(folder.read("Translated.lng"), "new");

    const Status missingFolder = writeFileAtomically(folder.file("absent/Parlavo.ini"), "x");
    EXPECT_NE(missingFolder.error.find("absent/Parlavo.ini"), std::string::npos) << missingFolder.error;
    EXPECT_FALSE(fs::exists(folder.file("absent")));
}

TEST(AtomicWrite, FlushesBeforeTheRenameAndAFailedFlushKeepsTheOldFile) {
    TempDir folder;
    const std::string path = folder.write("T.lng", "old");
    std::vector<std::string> calls;
    bool flushFails = false;
    const AtomicWriteCalls system = setAtomicWriteCalls({[&](int fd) {
                                                             calls.push_back("flush");
                                                             errno = EIO;
                                                             return flushFails ? -1 : ::fsync(fd);
                                                         },
                                                         [&](const char* from, const char* to) {
                                                             calls.push_back("rename");
                                                             return ::rename(from, to);
                                                         }});
    const Status written = writeFileAtomically(path, "new");
    flushFails = true;
    const Status failed = writeFileAtomically(path, "lost");
    setAtomicWriteCalls(system);
    EXPECT_TRUE(written.ok()) << written.error;
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(calls, (std::vector<std::string>{"flush", "rename", "flush"}));
    EXPECT_EQ(folder.read("T.lng"), "new");
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(AtomicWrite, CopyKeepsTheOriginalsBytesAndPermissions) {
    TempDir folder;
    const std::string original = folder.write("Translated.lng", std::string("a\r\nb\0\xFF", 6));
    ASSERT_EQ(::chmod(original.c_str(), 0600), 0);
    ASSERT_TRUE(copyFileAtomically(original, folder.file("Translated.lngbackup")).ok());
    EXPECT_EQ(folder.read("Translated.lngbackup"), folder.read("Translated.lng"));
    EXPECT_EQ(modeOf(folder.file("Translated.lngbackup")), 0600u);

    const Status missing = copyFileAtomically(folder.file("none.lng"), folder.file("Translated.lngbackup"));
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error.find("none.lng"), std::string::npos) << missing.error;
    EXPECT_EQ(folder.read("Translated.lngbackup"), folder.read("Translated.lng"));
}

// The two contents the writer alternates: a few megabytes each, of different sizes, so that any
// mix or cut of them is told apart from both.
std::string content(bool newer) {
    const std::string line = newer ? "NEW content, a somewhat longer line number " : "old line ";
    std::string bytes;
    for (int i = 0; i < (newer ? 90000 : 200000); ++i) {
        bytes += line + std::to_string(i) + "\n";
    }
    return bytes;
}

// Starts a child that writes the file again and again, alternating the two contents, and reports
// each finished write with one byte on the pipe it returns in reports.
pid_t startWriter(const std::string& path, int& reports) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlive the test
        ::close(pipeEnds[0]);
        const std::string contents[] = {content(true), content(false)};
        for (int i = 0; writeFileAtomically(path, contents[i % 2]).ok(); ++i) {
            if (::write(pipeEnds[1], "w", 1) != 1) {
                break;
            }
        }
        ::_exit(1);
    }
    ::close(pipeEnds[1]);
    reports = pipeEnds[0];
    return child;
}

// Waits (at most 30 s in all) until the child has finished the given number of writes.
bool waitForWrites(int reports, int writes) {
    for (int done = 0; done < writes;) {
        pollfd ready{reports, POLLIN, 0};
        if (::poll(&ready, 1, 30000) <= 0) {
            return false;
        }
        char buffer[64];
        const ssize_t got = ::read(reports, buffer, sizeof buffer);
        if (got <= 0) {
            return false;
        }
        done += static_cast<int>(got);
    }
    return true;
}

TEST(AtomicWrite, KilledWriterLeavesOldOrNewContentNeverPart) {
    TempDir folder;
    const std::string path = folder.file("Translated.lng");
    const std::string older = content(false);
    const std::string newer = content(true);
    ASSERT_TRUE(writeFileAtomically(path, older).ok());
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    int sawOld = 0;
    int sawNew = 0;
    for (int round = 0; round < 40; ++round) {
        int reports = -1;
        const pid_t child = startWriter(path, reports);
        ASSERT_GT(child, 0);
        // Some kills land before the first write is done, the others after 1 to 3 finished writes,
        // each after a different short delay.
        const bool waited = round % 4 == 0 || waitForWrites(reports, 1 + round % 3);
        ::usleep(static_cast<useconds_t>((round * 7919) % 23000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(reports);
        ASSERT_TRUE(waited) << "the writer reported no write in round " << round;
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself in round " << round;

        const std::string content = folder.read("Translated.lng");
        ASSERT_TRUE(content == older || content == newer)
            << "round " << round << ": a file of " << content.size() << " bytes";
        (content == older ? sawOld : sawNew) += 1;
        EXPECT_EQ(modeOf(path), 0640u) << "round " << round;
    }
    std::printf("after 40 kills: old content %d times, new content %d times\n", sawOld, sawNew);
    // The next write clears what the killed writers left behind.
    ASSERT_TRUE(writeFileAtomically(path, older).ok());
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

} // namespace
} // namespace parlavo
