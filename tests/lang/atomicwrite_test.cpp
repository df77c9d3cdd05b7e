#include "platform/files.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
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
    EXPECT_EQ(modeOf(path), 0644 & ~mask);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(path, std::string("second\0", 7)).ok());
    EXPECT_EQ(folder.read("Translated.lng"), std::string("second\0", 7));
    EXPECT_EQ(modeOf(path), 0640u);
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

// The new bytes go to a temporary file that holds all of them, with the old file's permissions,
// flushed before it is renamed over the old file; until then the old file is untouched. So a write
// killed at any moment leaves the old or the new content, never a part.
TEST(AtomicWrite, FlushesACompleteTemporaryBeforeTheRenameAndAFailedFlushKeepsTheOldFile) {
    TempDir folder;
    const std::string path = folder.write("T.lng", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    std::vector<std::string> calls;
    bool flushFails = false;
    const AtomicWriteCalls system = setAtomicWriteCalls(
        {[&](int fd) {
             struct stat temporary {};
             ::fstat(fd, &temporary);
             calls.push_back("flush " + std::to_string(temporary.st_size) + " " +
                             std::to_string(temporary.st_mode & 0777) + " " + folder.read("T.lng"));
             errno = EIO;
             return flushFails ? -1 : ::fsync(fd);
         },
         [&](const char* from, const char* to) {
             calls.push_back("rename");
             return ::rename(from, to);
         }});
    const Status written = writeFileAtomically(path, "newer");
    flushFails = true;
    const Status failed = writeFileAtomically(path, "lost");
    setAtomicWriteCalls(system);
    EXPECT_TRUE(written.ok()) << written.error;
    EXPECT_FALSE(failed.ok());
    const std::string mode = std::to_string(0640);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"flush 5 " + mode + " old", "rename", "flush 4 " + mode + " newer"}));
    EXPECT_EQ(folder.read("T.lng"), "newer");
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

// A draft written ahead leaves the file as it is until the write it was made for is committed, which
// then holds the bytes finally given, whatever the draft held. A draft of another file, or one never
// prepared, is removed.
TEST(AtomicWrite, ADraftGivesWayToTheBytesFinallyWritten) {
    TempDir folder;
    const std::string text = "[A]\nk=v\n"; // pieces of these same bytes in memory are not compared
    const std::string_view same(text);
    struct Case {
        std::vector<std::string_view> drafted, written;
    };
    const std::vector<Case> cases = {
        {{same}, {same}},
        {{same}, {same, "[B]\nw=\n"}},
        {{same, "[B]\nw=\n"}, {same}},
        {{"[A]\nk=x\n"}, {same}},
        {{"x"}, {same, "y"}},
        {{}, {same}},
        {{same}, {}},
        {{"[A]", "\nk=", "v\n"}, {same, "z"}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string path = folder.write("S.ini", "old");
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        AtomicWrite write;
        write.draft(path, cases[i].drafted);
        ASSERT_TRUE(write.prepare(path, cases[i].written).ok());
        EXPECT_EQ(folder.read("S.ini"), "old") << i;
        ASSERT_TRUE(write.commit().ok());
        std::string expected;
        for (const std::string_view piece : cases[i].written) {
            expected += piece;
        }
        EXPECT_EQ(folder.read("S.ini"), expected) << i;
        EXPECT_EQ(modeOf(path), 0640u) << i;
        EXPECT_EQ(entriesIn(folder.path()), 1u) << i;
    }
    const std::vector<std::string_view> draft = {same};
    {
        AtomicWrite write;
        write.draft(folder.file("S.ini"), draft);
        EXPECT_EQ(entriesIn(folder.path()), 2u);
        ASSERT_TRUE(write.prepare(folder.file("T.lng"), draft).ok());
        ASSERT_EQ(entriesIn(folder.path()), 2u); // the other file's temporary only, named after it
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            EXPECT_FALSE(entry.path().filename().string().starts_with(".S.ini")) << entry.path();
        }
    }
    {
        AtomicWrite write;
        write.draft(folder.file("S.ini"), draft);
    }
    EXPECT_EQ(entriesIn(folder.path()), 1u);
    EXPECT_EQ(folder.read("S.ini"), "[A]\nk=v\nz");
}

// A draft in parts is the file its prepare writes, with the old file's permissions; a part that
// cannot be written fails the prepare, and the file stays as it was.
TEST(AtomicWrite, ADraftInPartsIsTheWholeFileOrAFailure) {
    TempDir folder;
    const std::string big(std::size_t{3} << 19, 'x'); // over the size the system is told to write at
    const std::vector<std::vector<std::string_view>> cases = {
        {"[A]\n", "k=v\n"}, {}, {"", "[A]"}, {big, "\n", big}};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string path = folder.write("T.lng", "old");
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        AtomicWrite write;
        std::string expected;
        for (const std::string_view part : cases[i]) {
            write.draftPart(path, part);
            expected += part;
        }
        ASSERT_TRUE(write.prepareDrafted(path).ok()) << i;
        EXPECT_EQ(folder.read("T.lng"), "old") << i;
        ASSERT_TRUE(write.commit().ok()) << i;
        EXPECT_EQ(folder.read("T.lng"), expected) << i;
        EXPECT_EQ(modeOf(path), 0640u) << i;
        EXPECT_EQ(entriesIn(folder.path()), 1u) << i;
    }
    const std::string path = folder.file("T.lng");
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    rlimit small = limit;
    small.rlim_cur = 4;
    AtomicWrite write;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    write.draftPart(path, "[A]\n");
    write.draftPart(path, "k=v\n"); // beyond the limit
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    write.draftPart(path, "\n");
    const Status prepared = write.prepareDrafted(path);
    ASSERT_FALSE(prepared.ok());
    EXPECT_EQ(prepared.error, "Cannot write \"" + path + "\": " + std::strerror(EFBIG));
    EXPECT_EQ(folder.read("T.lng"), std::string(big) + "\n" + big);
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

// A writer killed before its rename leaves a temporary file named after it; the next write removes
// it once that process is gone, and leaves those of running writers alone.
TEST(AtomicWrite, TemporariesOfGoneWritersAreRemovedByTheNextWrite) {
    TempDir folder;
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    folder.write(".T.lng.tmp-" + std::to_string(gone) + "-0", "part");
    folder.write(".T.lng.tmp-1-0", "part of a running writer"); // init runs as long as the system
    ASSERT_TRUE(writeFileAtomically(folder.file("T.lng"), "new").ok());
    EXPECT_FALSE(fs::exists(folder.file(".T.lng.tmp-" + std::to_string(gone) + "-0")));
    EXPECT_TRUE(fs::exists(folder.file(".T.lng.tmp-1-0")));
    EXPECT_EQ(folder.read("T.lng"), "new");
}

TEST(AtomicWrite, CopyKeepsTheOriginalsBytesAndPermissions) {
    TempDir folder;
    const std::string original = folder.write("Translated.lng", std::string("a\r\nb\0\xFF", 6));
    ASSERT_EQ(::chmod(original.c_str(), 0600), 0);
    ASSERT_TRUE(copyFileAtomically(original, folder.file("Translated.lngbackup")).ok());
    EXPECT_EQ(folder.read("Translated.lngbackup"), folder.read("Translated.lng"));
    EXPECT_EQ(modeOf(folder.file("Translated.lngbackup")), 0600u);

    const Status missing = copyFileAtomically(folder.file("none.lng"), folder.file("Translated.lngbackup"));
    EXPECT_NE(missing.error.find("none.lng"), std::string::npos) << missing.error;
    EXPECT_EQ(folder.read("Translated.lngbackup"), folder.read("Translated.lng"));
}

// Files of every size around the reads' parts, and a pipe, which has no size to read up to.
TEST(Files, AReadGivesEveryByteOfTheFile) {
    TempDir folder;
    constexpr std::size_t kPart = 65536;
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, kPart - 1, kPart, kPart + 1, 3 * kPart + 77}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>(i * 7 + i / 251);
        }
        std::size_t feeds = 0;
        const Result<std::string> read = readWholeFile(folder.write("f.lng", bytes), '\n', feeds);
        ASSERT_TRUE(read.ok()) << size;
        EXPECT_TRUE(read.value == bytes) << size;
        EXPECT_EQ(feeds, static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'))) << size;
    }
    const std::string pipe = folder.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string streamed(2 * kPart + 5, 'p');
    std::thread writer([&] {
        std::FILE* out = std::fopen(pipe.c_str(), "wb");
        std::fwrite(streamed.data(), 1, streamed.size(), out);
        std::fclose(out);
    });
    std::size_t counted = 0;
    const Result<std::string> read = readWholeFile(pipe, 'p', counted);
    writer.join();
    EXPECT_TRUE(read.ok() && read.value == streamed) << read.value.size();
    EXPECT_EQ(counted, streamed.size());

    const Result<std::string> missing = readWholeFile(folder.file("none.lng"));
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.status.error.find("none.lng"), std::string::npos) << missing.status.error;
}

} // namespace
} // namespace parlavo
