// The physical floor of a load: reads the English, Translated and settings files of FOLDER once and
// writes the Translated and settings files once each, atomically and flushed to disk (the same
// atomic write the program uses). The writing half is also the floor of one answer, which writes
// those two files once. Prints the time of each half:
//   read_ms N
//   write_ms N
//   parlavo_benchfloor FOLDER

#include "bench/pairs.h"
#include "platform/files.h"

#include <chrono>
#include <cstdio>
#include <string>

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
    const auto english = parlavo::readWholeFile(folder + parlavo::bench::kEnglishName);
    const auto translated = parlavo::readWholeFile(translatedPath);
    const auto settings = parlavo::readWholeFile(settingsPath);
    const double readMs = millisecondsSince(readStart);
    if (failed(english.status) || failed(translated.status) || failed(settings.status)) {
        return 1;
    }
    const Clock::time_point writeStart = Clock::now();
    if (failed(parlavo::writeFileAtomically(translatedPath, translated.value)) ||
        failed(parlavo::writeFileAtomically(settingsPath, settings.value))) {
        return 1;
    }
    const double writeMs = millisecondsSince(writeStart);
    std::printf("read_ms %.3f\nwrite_ms %.3f\n", readMs, writeMs);
    return 0;
}
