// Suggestions from an answer memory of 125,000 answers: one list per entry must take at most 15 ms.

#include "lang/suggestions.h"

#include <benchmark/benchmark.h>

#include <string>

namespace parlavo {
namespace {

// Texts like a host program's: a few hundred words combined into messages of 3 to 12 words.
std::vector<MemoryEntry> syntheticMemory(int count) {
    static const char* kWords[] = {"open",     "the",     "file",     "save",    "project", "folder",
                                   "cannot",   "be",      "found",    "select",  "setup",   "install",
                                   "remove",   "program", "error",    "while",   "reading", "writing",
                                   "please",   "wait",    "click",    "next",    "cancel",  "to",
                                   "continue", "your",    "computer", "settings"};
    constexpr int kWordCount = static_cast<int>(sizeof(kWords) / sizeof(kWords[0]));
    std::vector<MemoryEntry> entries;
    std::uint32_t seed = 12345;
    for (int i = 0; i < count; ++i) {
        std::string text;
        const int words = 3 + static_cast<int>((seed >> 8) % 10);
        for (int w = 0; w < words; ++w) {
            seed = seed * 1103515245u + 12345u;
            text += (w ? " " : "") + std::string(kWords[(seed >> 16) % kWordCount]);
        }
        text += " " + std::to_string(i % 997);
        entries.push_back({text, "answer " + std::to_string(i)});
    }
    return entries;
}

void BM_SuggestionsPerEntry(benchmark::State& state) {
    const auto entries = syntheticMemory(static_cast<int>(state.range(0)));
    const SuggestionIndex index(entries);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(index.suggest(entries[next].source + " now"));
        next = (next + 7919) % entries.size();
    }
}
BENCHMARK(BM_SuggestionsPerEntry)->Arg(125000)->Unit(benchmark::kMillisecond);

void BM_SuggestionIndexBuild(benchmark::State& state) {
    const auto entries = syntheticMemory(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(SuggestionIndex(entries));
    }
}
BENCHMARK(BM_SuggestionIndexBuild)->Arg(125000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace parlavo
