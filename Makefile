# The README's two commands: `make run` and `make test`.
BUILD ?= build
WERROR := $(if $(CI),ON,OFF)
LAUNCHER := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache,)
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLAVO_WERROR=$(WERROR) $(LAUNCHER)
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

PREFIX ?= /usr/local
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = $(patsubst tests/fuzz/%_fuzz.cpp,%,$(wildcard tests/fuzz/*_fuzz.cpp))

.PHONY: deps configure build run test bench bench-micro format screenshot install package mutants fuzz fuzz-run

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j$$(nproc)

run: build
	@scripts/run-sample $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$$(nproc) --timeout 300
	scripts/check-install $(BUILD)

# Installs into PREFIX (DESTDIR is honoured too).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, in the build folder.
package: build
	cd $(BUILD) && cpack -G DEB

# Whole processes against the floor, one row per speed and memory target (scripts/bench).
bench: build
	@scripts/bench $(BUILD)

# Micro-benchmarks of single services (the INI profile, suggestions).
bench-micro: build
	$(BUILD)/bench/parlavo_bench_micro --benchmark_counters_tabular=true

screenshot: build
	@scripts/screenshot $(BUILD)

# Every deliberately broken build of tests/mutants.txt must fail the tests (slow: one build each).
mutants:
	@scripts/mutants $(MUTANTS_ARGS)

# libFuzzer targets, built with clang and the sanitizers in their own build folder.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLAVO_FUZZ=ON \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ $(LAUNCHER)
	cmake --build $(FUZZ_BUILD) --target parlavo_fuzzers -j$$(nproc)

# Each target for FUZZ_SECONDS, starting from the kept inputs. What a run finds is written to
# $(FUZZ_BUILD)/found/<target>/; keep it under tests/data/fuzz/<target>/ so that `make test` replays it.
fuzz-run: fuzz
	@for t in $(FUZZ_TARGETS); do \
	    mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/found/$$t; \
	    $(FUZZ_BUILD)/tests/fuzz/parlavo_fuzz_$$t $(FUZZ_BUILD)/corpus/$$t tests/data/fuzz/$$t \
	        -dict=tests/fuzz/lng.dict -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(FUZZ_BUILD)/found/$$t/ \
	        || { echo "fuzz: $$t broke; keep its input from $(FUZZ_BUILD)/found/$$t/ under tests/data/fuzz/$$t/"; exit 1; }; \
	done

format:
	clang-format -i $(SOURCES)
