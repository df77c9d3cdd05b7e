// The whole load of a file pair (what parlavo-sync and "Load Files" do) against its floor: reading
// the three files once and writing the Translated file and the settings file once.

#include "lang/answermemory.h"
#include "lang/profile.h"
#include "pass/workload.h"
#include "platform/encoding.h"
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
const char* const kRussian[] = {"файл",     "открыть", "сохранить", "окно",   "настройки", "папка",
                                "выбрать",  "ошибка",  "нельзя",    "найти",  "введите",   "имя",
                                "значение", "новый",   "удалить",   "список", "страница",  "шрифт"};
const char* const kCommon[] = {"OK", "Cancel", "Yes", "No", "Apply", "Close", "Help", "Save file"};

struct Pair {
    std::string english;
    std::string translated;
    std::string settings;
};

// English and Translated files of keyCount keys in sections of 80, and an answer memory of 2.5 times
// as many entries. About 10% of the keys lack a translation and 2% are marked "UPDATE NEEDED"; half of
// the untranslated texts are known to the answer memory. A quarter of the English texts end in an
// accented word, the translations and answers are Cyrillic. The legacy pair is the same text with the
// English file in Windows-1252 and the Translated file in Windows-1251 (the memory is UTF-8 text).
Pair makePair(int keyCount, bool legacy) {
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
    auto russian = [&] {
        std::string text = kRussian[pick(std::size(kRussian))];
        for (int w = pick(5); w >= 0; --w) {
            text += std::string(" ") + kRussian[pick(std::size(kRussian))];
        }
        return text;
    };

    Pair pair;
    pair.english = "[LangOptions]\r\nLanguageCodePage=1252\r\n"; // the Translated file's is detected
    IniDocument memory;
    int memoryEntries = 0;
    for (int i = 0; i < keyCount; ++i) {
        if (i % 80 == 0) {
            const std::string header = "[Section" + std::to_string(i / 80) + "]\r\n";
            pair.english += header;
            pair.translated += header;
        }
        const std::string key = "Key" + std::to_string(i);
        const std::string text = sentence();
        const std::string source = text + (pick(4) == 0 ? " caf\u00E9" : "");
        pair.english += key + "=" + source + "\r\n";
        const int kind = pick(100);
        if (kind < 10) {
            if (kind < 5) {
                rememberAnswerText(memory, source, russian());
                ++memoryEntries;
            }
            continue; // no translation
        }
        pair.translated += key + "=" + (kind < 12 ? "alt " + text + " UPDATE NEEDED" : russian()) + "\r\n";
    }
    for (int i = 0; memoryEntries < keyCount * 5 / 2; ++i, ++memoryEntries) {
        rememberAnswer(memory, sentence() + " #" + std::to_string(i), "answer " + std::to_string(i));
    }
    memory.set("Settings", "InputFile", "English.lng");
    pair.settings = memory.serialize();
    if (legacy) {
        pair.english = fromUtf8(pair.english, "windows-1252").bytes;
        pair.translated = fromUtf8(pair.translated, "windows-1251").bytes;
    }
    return pair;
}

// The benchmark functions run several times per size; the files are generated once.
const Pair& cachedPair(int keyCount, bool legacy) {
    static std::map<std::pair<int, bool>, Pair> pairs;
    auto found = pairs.find({keyCount, legacy});
    if (found == pairs.end()) {
        found = pairs.emplace(std::pair{keyCount, legacy}, makePair(keyCount, legacy)).first;
    }
    return found->second;
}

struct Fixture {
    fs::path folder;
    Pair pair;
    std::string english, translated, settings;

    explicit Fixture(int keyCount, bool legacy = false) : pair(cachedPair(keyCount, legacy)) {
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
std::map<int, double> legacySeconds;
std::map<int, double> bytesSeconds;

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

// One load of the pair; the times go to seconds by key count.
// options.translatedEncoding given: both files taken as bytes of one encoding, nothing converted.
void runSync(benchmark::State& state, bool legacy, std::map<int, double>& seconds,
             const LoadOptions& options = {}) {
    const int keyCount = static_cast<int>(state.range(0));
    Fixture fixture(keyCount, legacy);
    double total = 0;
    std::size_t pending = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fixture.reset();
        BackupRecord backups;
        state.ResumeTiming();
        const auto start = Clock::now();
        LoadResult result =
            prepareWorkList({fixture.english, fixture.translated}, fixture.settings, backups, options);
        total += std::chrono::duration<double>(Clock::now() - start).count();
        if (!result.status.ok()) {
            state.SkipWithError(result.status.error.c_str());
            return;
        }
        pending = result.work.pending.size();
    }
    seconds[keyCount] = total / static_cast<double>(state.iterations());
    state.counters["keys"] = keyCount;
    state.counters["pending"] = static_cast<double>(pending);
    if (floorSeconds.count(keyCount) != 0) {
        state.counters["sync/floor"] = seconds[keyCount] / floorSeconds[keyCount];
    }
}

void BM_Sync(benchmark::State& state) {
    runSync(state, false, syncSeconds);
}

// The same pair in Windows-1252 and Windows-1251: encodings detected, sources decoded for the answer
// memory, answers encoded into the Translated file's encoding.
void BM_SyncLegacy(benchmark::State& state) {
    runSync(state, true, legacySeconds);
}

// The legacy pair without any of that: both files taken as UTF-8, every byte carried as it is.
void BM_SyncLegacyAsBytes(benchmark::State& state) {
    LoadOptions asBytes;
    asBytes.englishEncoding = asBytes.translatedEncoding = "UTF-8";
    runSync(state, true, bytesSeconds, asBytes);
}

BENCHMARK(BM_Floor)->Arg(1000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sync)->Arg(1000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SyncLegacy)->Arg(1000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SyncLegacyAsBytes)
    ->Arg(1000)
    ->Arg(20000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace parlavo

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    using parlavo::bytesSeconds;
    using parlavo::floorSeconds;
    using parlavo::legacySeconds;
    using parlavo::syncSeconds;
    if (!syncSeconds.empty()) {
        std::printf("\n%8s %10s %10s %10s %10s %10s %13s\n", "keys", "floor ms", "sync ms", "sync/floor",
                    "legacy ms", "bytes ms", "legacy/bytes");
        for (const auto& [keys, sync] : syncSeconds) {
            const double floor = floorSeconds.count(keys) ? floorSeconds[keys] : 0.0;
            const double legacy = legacySeconds.count(keys) ? legacySeconds[keys] : 0.0;
            const double bytes = bytesSeconds.count(keys) ? bytesSeconds[keys] : 0.0;
            std::printf("%8d %10.2f %10.2f %10.2f %10.2f %10.2f %13.3f\n", keys, floor * 1e3, sync * 1e3,
                        floor > 0 ? sync / floor : 0.0, legacy * 1e3, bytes * 1e3,
                        bytes > 0 ? legacy / bytes : 0.0);
        }
    }
    return 0;
}
