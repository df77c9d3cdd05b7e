// Writes a generated file pair for the benchmarks (see pairs.h):
//   parlavo_benchgen KEYS FOLDER [--legacy]
// FOLDER is created when missing; English.lng, Translated.lng and Parlavo.ini are written into it.

#include "bench/pairs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr int kUsageStatus = 2;
constexpr long kMaxKeys = 10'000'000;

} // namespace

int main(int argc, char** argv) {
    const bool legacy = argc == 4 && std::strcmp(argv[3], "--legacy") == 0;
    char* end = nullptr;
    const long keys = argc >= 3 ? std::strtol(argv[1], &end, 10) : 0;
    if ((argc != 3 && !legacy) || end == argv[1] || *end != '\0' || keys < 1 || keys > kMaxKeys) {
        std::fprintf(stderr, "usage: parlavo_benchgen KEYS FOLDER [--legacy]\n");
        return kUsageStatus;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[2], error);
    if (error) {
        std::fprintf(stderr, "parlavo_benchgen: cannot create %s: %s\n", argv[2], error.message().c_str());
        return 1;
    }
    using parlavo::bench::PairEncoding;
    const auto pair =
        parlavo::bench::makePair(static_cast<int>(keys), legacy ? PairEncoding::Legacy : PairEncoding::Utf8);
    if (const parlavo::Status written = parlavo::bench::writePair(pair, argv[2]); !written.ok()) {
        std::fprintf(stderr, "parlavo_benchgen: %s\n", written.error.c_str());
        return 1;
    }
    return 0;
}
