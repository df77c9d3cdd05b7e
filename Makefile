# The README's two commands: `make run` and `make test`.
BUILD ?= build
WERROR := $(if $(CI),ON,OFF)
LAUNCHER := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache,)
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLAVO_WERROR=$(WERROR) $(LAUNCHER)
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

PREFIX ?= /usr/local

.PHONY: deps configure build run test bench format screenshot install package mutants

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

bench: build
	$(BUILD)/bench/parlavo_bench --benchmark_counters_tabular=true

screenshot: build
	@scripts/screenshot $(BUILD)

# Every deliberately broken build of tests/mutants.txt must fail the tests (slow: one build each).
mutants:
	@scripts/mutants $(MUTANTS_ARGS)

format:
	clang-format -i $(SOURCES)
