# make test: install what is missing, build everything, run every test.
# make demo: install, build, and run the plug-in in the simulated host.
# make bench: the benchmarks (native, 32-bit).
# make screenshots: the demo's and the setup program's pictures into docs/
# (for the README).
# make dist: the zip and the setup program users install from, under build/dist/.
# make fuzz: the fuzz targets, five minutes each.
BUILD := build
WINEPREFIX := $(abspath $(BUILD))/wineprefix
export WINEPREFIX

.PHONY: all deps build test demo screenshots dist bench fuzz clean

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
	@rm -rf $(BUILD)/windows/demo/pictures $(BUILD)/screenshots
	@scripts/wine-run.sh $(BUILD)/windows/demo/FINALE.EXE --screenshots=pictures
	@scripts/bmp2png.py $(BUILD)/windows/demo/pictures $(BUILD)/screenshots >/dev/null
	@echo "Screenshots of the dialogs and message boxes: $(BUILD)/screenshots/"

# Regenerates the pictures the README shows.
screenshots: demo
	rm -rf docs/screenshots
	mkdir -p docs/screenshots
	cp $(BUILD)/screenshots/*.png docs/screenshots/
	scripts/setup-pictures.sh $(BUILD) docs/screenshots

PLUGIN := $(BUILD)/windows/plugin/vovadododidarov2000.fxt
dist: build
	@scripts/make-dist.py $(PLUGIN) dist/INSTALL.txt LICENSE $(BUILD)/dist
	@scripts/make-setup.py installer/setup.nsi $(PLUGIN) dist/INSTALL.txt \
	  LICENSE $(BUILD)/dist

bench: build
	$(BUILD)/entry_search_benchmark
	$(BUILD)/text_search_benchmark

# Each fuzz target for five minutes (make fuzz FUZZ_SECONDS=N for another time).
FUZZ_SECONDS ?= 300
fuzz: build
	@for target in matcher walker engine settings; do \
	  echo "== fuzz_$$target, $(FUZZ_SECONDS) s"; \
	  scripts/run-fuzz.sh $(BUILD)/fuzz/fuzz_$$target \
	    tests/fuzz/corpus/$$target $(FUZZ_SECONDS) || exit 1; \
	done

clean:
	rm -rf $(BUILD)
