// The INI profile service on growing files: parsing, lookups and appending many keys to one section
// (the answer memory gains one key per new source text). Each should grow linearly with the count.

#include "lang/answermemory.h"
#include "lang/profile.h"

#include <benchmark/benchmark.h>

#include <string>

namespace parlavo {
namespace {

std::string memoryFile(int keys) {
    std::string text = "[Settings]\r\nFont=Arial\r\n[AlreadyTranslated]\r\n";
    for (int i = 0; i < keys; ++i) {
        text += "Source text number " + std::to_string(i) + "=Texte source " + std::to_string(i) + "\r\n";
    }
    return text + "[Helper Words]\r\nfile=fichier\r\n";
}

void BM_ParseAndSerialize(benchmark::State& state) {
    const std::string text = memoryFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const IniDocument document = IniDocument::parse(text);
        benchmark::DoNotOptimize(document.serialize());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseAndSerialize)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN);

void BM_RecallEveryAnswer(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    const IniDocument document = IniDocument::parse(memoryFile(keys));
    for (auto _ : state) {
        for (int i = 0; i < keys; ++i) {
            benchmark::DoNotOptimize(recallAnswer(document, "Source text number " + std::to_string(i)));
        }
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RecallEveryAnswer)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN);

// Appends into the middle of the file: the memory section is followed by another one.
void BM_RememberManyNewAnswers(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    const std::string text = memoryFile(10);
    for (auto _ : state) {
        IniDocument document = IniDocument::parse(text);
        for (int i = 0; i < keys; ++i) {
            rememberAnswer(document, " new text " + std::to_string(i), "nouveau texte");
        }
        benchmark::DoNotOptimize(document.serialize());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RememberManyNewAnswers)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN);

} // namespace
} // namespace parlavo
