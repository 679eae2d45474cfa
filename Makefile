# make test: install what is missing, build everything, run every test.
# make demo: install, build, and run the plug-in in the simulated host.
# make bench: the benchmarks (native, 32-bit).
BUILD := build
WINEPREFIX := $(abspath $(BUILD))/wineprefix
export WINEPREFIX

.PHONY: all deps build test demo bench clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2

test: build
	cd $(BUILD) && ctest --output-on-failure

demo: build
	@scripts/wine-run.sh --prepare
	@scripts/wine-run.sh $(BUILD)/windows/demo/FINALE.EXE

bench: build
	$(BUILD)/entry_search_benchmark
	$(BUILD)/text_search_benchmark

clean:
	rm -rf $(BUILD)
