// The physical floor of a load: reads the English, Translated and settings files of FOLDER once and
// writes the Translated and settings files once each, atomically and flushed to disk (the same
// atomic write the program uses). Each file is read with as few reads as it takes, straight into
// memory that is not cleared first, the cheapest way to have a file's bytes in memory. The writing
// half is also the floor of one answer, which writes those two files once. Prints the time of each
// half:
//   read_ms N
//   write_ms N
//   parlavo_benchfloor FOLDER

#include "bench/pairs.h"
#include "platform/files.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kUsageStatus = 2;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool failed(const parlavo::Status& status) {
    if (!status.ok()) {
        std::fprintf(stderr, "parlavo_benchfloor: %s\n", status.error.c_str());
    }
    return !status.ok();
}

struct Bytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::string_view view() const { return {data.get(), size}; }
};

// The whole file, or nothing with a message on standard error.
bool readFile(const std::string& path, Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        std::fprintf(stderr, "parlavo_benchfloor: cannot read %s\n", path.c_str());
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    bytes.data = std::make_unique_for_overwrite<char[]>(size);
    while (bytes.size < size) {
        const ssize_t got = ::read(fd, bytes.data.get() + bytes.size, size - bytes.size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        bytes.size += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (bytes.size != size) {
        std::fprintf(stderr, "parlavo_benchfloor: cannot read %s whole\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: parlavo_benchfloor FOLDER\n");
        return kUsageStatus;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const std::string translatedPath = folder + parlavo::bench::kTranslatedName;
    const std::string settingsPath = folder + parlavo::bench::kSettingsName;

    const Clock::time_point readStart = Clock::now();
    Bytes english;
    Bytes translated;
    Bytes settings;
    if (!readFile(folder + parlavo::bench::kEnglishName, english) || !readFile(translatedPath, translated) ||
        !readFile(settingsPath, settings)) {
        return 1;
    }
    const double readMs = millisecondsSince(readStart);
    const Clock::time_point writeStart = Clock::now();
    if (failed(parlavo::writeFileAtomically(translatedPath, translated.view())) ||
        failed(parlavo::writeFileAtomically(settingsPath, settings.view()))) {
        return 1;
    }
    const double writeMs = millisecondsSince(writeStart);
    std::printf("read_ms %.3f\nwrite_ms %.3f\n", readMs, writeMs);
    return 0;
}
