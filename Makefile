# make test: install what is missing, build everything, run every test.
# make demo: install, build, and run the plug-in in the simulated host.
# make bench: the benchmarks (native, 32-bit), their ratios and the plots.
# make bench-counts: the benchmarks' instruction counts (callgrind).
# make screenshots: the demo's and the setup program's pictures into docs/
# (for the README).
# make dist: the zip and the setup program users install from, under build/dist/.
# make fuzz: the fuzz targets, five minutes each.
# make mutants: the mutants of the lines changed since BASE (default: the
# parent of the current commit); make mutants SAMPLE=N SEED=S: a sample
# over the whole product (ONLY=folder/ for one folder's).
BUILD := build
WINEPREFIX := $(abspath $(BUILD))/wineprefix
export WINEPREFIX
# A copy of the prefix whose visual style colours check boxes as Windows'
# styles do (scripts/make-styled-prefix.py).
STYLED_PREFIX := $(abspath $(BUILD))/wineprefix-styled

.PHONY: all deps build test demo screenshots dist bench bench-counts fuzz \
  mutants clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j2

test: build
	cd $(BUILD) && ctest --output-on-failure -j2

demo: build
	@scripts/wine-run.sh --prepare
	@rm -rf $(BUILD)/windows/demo/pictures $(BUILD)/screenshots \
	  $(BUILD)/windows/demo/pictures-styled $(BUILD)/screenshots-styled
	@scripts/wine-run.sh $(BUILD)/windows/demo/FINALE.EXE --screenshots=pictures
	@echo
	@LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 scripts/wine-run.sh \
	  $(BUILD)/windows/demo/FINALE.EXE --japanese --screenshots=pictures 2>/dev/null
	@echo
	@LANG=hi_IN.UTF-8 LC_ALL=hi_IN.UTF-8 scripts/wine-run.sh \
	  $(BUILD)/windows/demo/FINALE.EXE --utf8 --screenshots=pictures 2>/dev/null
	@echo
	@LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 scripts/wine-run.sh \
	  $(BUILD)/windows/demo/FINALE.EXE --cyrillic --screenshots=pictures 2>/dev/null
	@tools/pictures/bmp2png.py $(BUILD)/windows/demo/pictures $(BUILD)/screenshots >/dev/null
	@echo
	@echo "The same run in a host with visual styles (its replace page pictured)."
	@WINEPREFIX=$(STYLED_PREFIX) WINE_PREFIX_FROM=$(WINEPREFIX) \
	  scripts/wine-run.sh --prepare >/dev/null
	@WINEPREFIX=$(STYLED_PREFIX) scripts/make-styled-prefix.py >/dev/null
	@WINEPREFIX=$(STYLED_PREFIX) scripts/wine-run.sh $(BUILD)/windows/demo/FINALE.EXE \
	  --visual-styles --screenshots=pictures-styled >/dev/null
	@tools/pictures/bmp2png.py $(BUILD)/windows/demo/pictures-styled \
	  $(BUILD)/screenshots-styled >/dev/null
	@cp $(BUILD)/screenshots-styled/entry-criteria-replace-page.png \
	  $(BUILD)/screenshots/entry-criteria-replace-page-styled.png
	@echo "Screenshots of the dialogs and message boxes: $(BUILD)/screenshots/"

# Regenerates the pictures the README shows.
screenshots: demo
	rm -rf docs/screenshots
	mkdir -p docs/screenshots
	cp $(BUILD)/screenshots/*.png docs/screenshots/
	tools/pictures/setup-pictures.sh $(BUILD) docs/screenshots

# Signed with Authenticode when given a certificate and the file that holds
# its password: make dist SIGNING_CERT=cert.pfx SIGNING_PASSWORD_FILE=file
# (and SIGNING_TIMESTAMP_URL=address for a timestamp server's countersignature).
PLUGIN := $(BUILD)/windows/plugin/vovadododidarov2000.fxt
SIGNING_CERT ?=
SIGNING_PASSWORD_FILE ?=
SIGNING_TIMESTAMP_URL ?=
dist: build
	@scripts/make-release.py --cert "$(SIGNING_CERT)" \
	  --password-file "$(SIGNING_PASSWORD_FILE)" \
	  --timestamp "$(SIGNING_TIMESTAMP_URL)" \
	  $(PLUGIN) installer/setup.nsi dist/INSTALL.txt LICENSE $(BUILD)/dist

# Each benchmark's output goes to a file first, so that a failing run
# fails the target; the two ratios are printed last.
BENCH_OUT := $(BUILD)/bench
bench: build
	@scripts/install-deps.sh gnuplot-nox
	@mkdir -p $(BENCH_OUT)
	$(BUILD)/entry_search_benchmark --plot-data $(BENCH_OUT)/entry-scaling.dat \
	  > $(BENCH_OUT)/entry.txt || (cat $(BENCH_OUT)/entry.txt; false)
	@cat $(BENCH_OUT)/entry.txt
	$(BUILD)/text_search_benchmark --plot-data $(BENCH_OUT)/text-scaling.dat \
	  > $(BENCH_OUT)/text.txt || (cat $(BENCH_OUT)/text.txt; false)
	@cat $(BENCH_OUT)/text.txt
	gnuplot -e "data='$(BENCH_OUT)/entry-scaling.dat'; \
	  out='$(BENCH_OUT)/entry-scaling.svg'" benchmarks/entry_scaling.gp
	gnuplot -e "data='$(BENCH_OUT)/text-scaling.dat'; \
	  out='$(BENCH_OUT)/text-scaling.svg'" benchmarks/text_scaling.gp
	@echo "plots: $(BENCH_OUT)/entry-scaling.svg $(BENCH_OUT)/text-scaling.svg"
	@grep -h '^note-entry engine ratio:' $(BENCH_OUT)/entry.txt
	@grep -h '^text command ratio:' $(BENCH_OUT)/text.txt
	@grep -h '^32 KB verse ratios:' $(BENCH_OUT)/text.txt

bench-counts: build
	@scripts/install-deps.sh gnuplot-nox
	@scripts/bench-counts.sh $(BUILD)

# Each fuzz target for five minutes (make fuzz FUZZ_SECONDS=N for another time).
FUZZ_SECONDS ?= 300
fuzz: build
	@for target in matcher walker engine settings; do \
	  echo "== fuzz_$$target, $(FUZZ_SECONDS) s"; \
	  scripts/run-fuzz.sh $(BUILD)/fuzz/fuzz_$$target \
	    tests/fuzz/corpus/$$target $(FUZZ_SECONDS) || exit 1; \
	done

# Survivors are printed, the count per operator, then the score; equivalent
# mutants are listed in tests/equivalent-mutants.txt (make mutants LISTED=1
# runs each of them: one the tests tell apart fails). Slots of their own
# under $(BUILD)/mutants. ONLY=scripts/ keeps to the files under a folder;
# PER_LINE=K tries K mutants of each changed line (default 1, 0 for all).
BASE ?= HEAD~1
SAMPLE ?=
SEED ?= 1
ONLY ?=
PER_LINE ?=
LISTED ?=
mutants: deps
	@scripts/mutants.py --build $(BUILD)/mutants \
	  $(if $(LISTED),--listed,$(if $(SAMPLE),--sample $(SAMPLE) --seed $(SEED),--base $(BASE))) \
	  $(if $(ONLY),--only $(ONLY)) $(if $(PER_LINE),--per-line $(PER_LINE))

clean:
	rm -rf $(BUILD)
