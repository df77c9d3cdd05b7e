// The whole load of a file pair (what parlavo-sync and "Load Files" do) against its floor: reading
// the three files once and writing the Translated file and the settings file once.

#include "lang/answermemory.h"
#include "lang/profile.h"
#include "pass/workload.h"
#include "platform/files.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace parlavo {
namespace {

namespace fs = std::filesystem;

const char* const kWords[] = {
    "file",    "open",     "save",    "the",      "window",  "settings", "folder", "select", "error",
    "cannot",  "be",       "found",   "please",   "enter",   "name",     "value",  "new",    "delete",
    "copy",    "paste",    "options", "language", "player",  "song",     "score",  "level",  "screen",
    "display", "mode",     "audio",   "video",    "network", "server",   "client", "user",   "password",
    "account", "download", "upload",  "update",   "version", "help",     "about",  "close",  "exit",
    "start",   "stop",     "pause",   "resume",   "next",    "previous", "first",  "last",   "page",
    "list",    "item",     "table",   "column",   "row",     "cell",     "format", "font",   "size",
    "color",   "theme",    "default", "custom",   "advanced"};
const char* const kCommon[] = {"OK", "Cancel", "Yes", "No", "Apply", "Close", "Help", "Save file"};

struct Pair {
    std::string english;
    std::string translated;
    std::string settings;
};

// English and Translated files of keyCount keys in sections of 80, and an answer memory of 2.5 times
// as many entries. About 10% of the keys lack a translation and 2% are marked "UPDATE NEEDED"; half of
// the untranslated texts are known to the answer memory.
Pair makePair(int keyCount) {
    std::mt19937 random(42u + static_cast<unsigned>(keyCount));
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto sentence = [&] {
        if (pick(20) == 0) {
            return std::string(kCommon[pick(std::size(kCommon))]);
        }
        std::string text;
        const int words = 2 + pick(8);
        for (int w = 0; w < words; ++w) {
            text += w == 0 ? "" : " ";
            text += kWords[pick(std::size(kWords))];
        }
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
        text += pick(4) == 0 ? ": %s." : (pick(3) == 0 ? "." : "");
        return text;
    };

    Pair pair;
    IniDocument memory;
    int memoryEntries = 0;
    for (int i = 0; i < keyCount; ++i) {
        if (i % 80 == 0) {
            const std::string header = "[Section" + std::to_string(i / 80) + "]\r\n";
            pair.english += header;
            pair.translated += header;
        }
        const std::string key = "Key" + std::to_string(i);
        const std::string source = sentence();
        pair.english += key + "=" + source + "\r\n";
        const int kind = pick(100);
        if (kind < 10) {
            if (kind < 5) {
                rememberAnswer(memory, source, "mem " + source);
                ++memoryEntries;
            }
            continue; // no translation
        }
        pair.translated +=
            key + "=" + (kind < 12 ? "alt " + source + " UPDATE NEEDED" : "tr " + source) + "\r\n";
    }
    for (int i = 0; memoryEntries < keyCount * 5 / 2; ++i, ++memoryEntries) {
        rememberAnswer(memory, sentence() + " #" + std::to_string(i), "answer " + std::to_string(i));
    }
    memory.set("Settings", "InputFile", "English.lng");
    pair.settings = memory.serialize();
    return pair;
}

// The benchmark functions run several times per size; the files are generated once.
const Pair& cachedPair(int keyCount) {
    static std::map<int, Pair> pairs;
    auto found = pairs.find(keyCount);
    if (found == pairs.end()) {
        found = pairs.emplace(keyCount, makePair(keyCount)).first;
    }
    return found->second;
}

struct Fixture {
    fs::path folder;
    Pair pair;
    std::string english, translated, settings;

    explicit Fixture(int keyCount) : pair(cachedPair(keyCount)) {
        std::string pattern = (fs::temp_directory_path() / "parlavo-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a folder for the benchmark");
        }
        folder = pattern;
        english = (folder / "English.lng").string();
        translated = (folder / "Translated.lng").string();
        settings = (folder / "Parlavo.ini").string();
        mustWrite(english, pair.english);
        reset();
    }
    static void mustWrite(const std::string& path, std::string_view bytes) {
        if (const Status written = writeFileAtomically(path, bytes); !written.ok()) {
            throw std::runtime_error(written.error);
        }
    }
    ~Fixture() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    // Fresh copies of the files a load changes.
    void reset() const {
        mustWrite(translated, pair.translated);
        mustWrite(settings, pair.settings);
        std::error_code ignored;
        fs::remove(translated + "backup", ignored);
    }
};

std::map<int, double> floorSeconds; // mean seconds of one floor iteration, by key count
std::map<int, double> syncSeconds;

using Clock = std::chrono::steady_clock;

void BM_Floor(benchmark::State& state) {
    const int keyCount = static_cast<int>(state.range(0));
    Fixture fixture(keyCount);
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fixture.reset();
        state.ResumeTiming();
        const auto start = Clock::now();
        auto english = readWholeFile(fixture.english);
        auto translated = readWholeFile(fixture.translated);
        auto settings = readWholeFile(fixture.settings);
        benchmark::DoNotOptimize(english);
        benchmark::DoNotOptimize(writeFileAtomically(fixture.translated, translated.value));
        benchmark::DoNotOptimize(writeFileAtomically(fixture.settings, settings.value));
        total += std::chrono::duration<double>(Clock::now() - start).count();
    }
    floorSeconds[keyCount] = total / static_cast<double>(state.iterations());
    state.counters["keys"] = keyCount;
}

void BM_Sync(benchmark::State& state) {
    const int keyCount = static_cast<int>(state.range(0));
    Fixture fixture(keyCount);
    double total = 0;
    std::size_t pending = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fixture.reset();
        BackupRecord backups;
        state.ResumeTiming();
        const auto start = Clock::now();
        LoadResult result = prepareWorkList({fixture.english, fixture.translated}, fixture.settings, backups);
        total += std::chrono::duration<double>(Clock::now() - start).count();
        if (!result.status.ok()) {
            state.SkipWithError(result.status.error.c_str());
            return;
        }
        pending = result.work.pending.size();
    }
    syncSeconds[keyCount] = total / static_cast<double>(state.iterations());
    state.counters["keys"] = keyCount;
    state.counters["pending"] = static_cast<double>(pending);
    if (floorSeconds.count(keyCount) != 0) {
        state.counters["sync/floor"] = syncSeconds[keyCount] / floorSeconds[keyCount];
    }
}

BENCHMARK(BM_Floor)->Arg(1000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sync)->Arg(1000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace parlavo

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    using parlavo::floorSeconds;
    using parlavo::syncSeconds;
    if (!syncSeconds.empty()) {
        std::printf("\n%8s %12s %12s %10s\n", "keys", "floor ms", "sync ms", "sync/floor");
        for (const auto& [keys, sync] : syncSeconds) {
            const double floor = floorSeconds.count(keys) ? floorSeconds[keys] : 0.0;
            std::printf("%8d %12.2f %12.2f %10.2f\n", keys, floor * 1e3, sync * 1e3,
                        floor > 0 ? sync / floor : 0.0);
        }
    }
    return 0;
}
