# Two commands for a fresh Debian machine: `make run` and `make test`. Both install what is
# missing (apt-get, with sudo when not root), configure and build.
PRESET ?= ci
BUILD := build/$(PRESET)
# Every program of a build lands in one folder, so the window and ionvane-cli share homeloc.dat.
BIN := $(BUILD)/bin
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 3
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)
EXAMPLE := --from IO90IR --to JN77EX --freq 50.1 --home IO90IR --es-layer 110 --masl 150
FUZZ_TARGETS := fuzz_calculate fuzz_settings fuzz_batch fuzz_feed fuzz_topojson fuzz_capture \
	fuzz_cluster fuzz_wsjtx fuzz_cty fuzz_rotctld fuzz_review

.PHONY: all deps build check test test-release test-asan test-package fuzz-build fuzz fuzz-smoke \
	bench run screenshot format format-check clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

# The inner loop: the unit tier alone (the model, the readers, the sessions without a socket or a
# process), in seconds. `make test` stays the whole gate.
check:
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)
	@ctest --preset $(PRESET) -L unit

# Every test in the release build, again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then a short run of each fuzz target, then the Debian package installed and removed (as root).
test: format-check test-release test-asan fuzz-smoke test-package

test-release: build
	ctest --preset $(PRESET)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	ctest --preset asan

# Builds the .deb, runs lintian, installs it, uses it, removes it; skipped when not root.
test-package: build
	scripts/package-test.sh $(BUILD)

fuzz-build: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz --target $(FUZZ_TARGETS)

fuzz: fuzz-build
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh build/fuzz

fuzz-smoke: fuzz-build
	FUZZ_SECONDS=$(FUZZ_SMOKE_SECONDS) scripts/fuzz.sh build/fuzz

# Benchmarks, never timed tests: the calculation with Google Benchmark (medians of 5), then whole
# processes (ionvane-cli --batch throughput and memory, the start-up of the window and of the live
# window beside a bare Qt window), then the map's repaint, then feed reports from a local mosquitto
# through the tracker beside their replay from a capture, then the live window under feed bursts.
# OTHER_BENCH=DIR (the bench/bin folder of another build, such as main's) measures its start-up
# programs and its live window in the same turns, for figures before and after.
# OTHER_CLI=FILE (another build's ionvane-cli) replays the same 6,000 feed reports in the same
# turns as this build's, for the tracker's rate before and after.
bench: deps
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench
	@build/bench/bin/ionvane_calc_bench --benchmark_repetitions=5 \
		--benchmark_report_aggregates_only=true --benchmark_display_aggregates_only=true \
		2>/dev/null | grep -E '^(Benchmark|-|.*_median)' | awk '{ print } \
		/_median/ { cpu[$$1] = $$4 * ($$5 == "us" ? 1000 : ($$5 == "ms" ? 1e6 : 1)) } \
		END { printf "Calculate / its libm floor (CPU, this run): worked example %.2f, spot mix %.2f;", \
			cpu["WholeCalculateWorkedExample_median"] / cpu["LibmFloorWorkedExample_median"], \
			cpu["WholeCalculateSpotMix_median"] / cpu["LibmFloorSpotMix_median"]; \
		printf " figures only %.2f, %.2f\n", \
			cpu["FiguresOnlyWorkedExample_median"] / cpu["LibmFloorWorkedExample_median"], \
			cpu["FiguresOnlySpotMix_median"] / cpu["LibmFloorSpotMix_median"] }'
	@echo
	@build/bench/bin/ionvane_process_bench build/bench/bin/ionvane-cli build/bench/bin/ionvane_window_start \
		build/bench/bin/ionvane_live_window_start build/bench/bin/ionvane_bare_window $$(command -v GeodSolve) \
		build/bench/bin/ionvane-capture-generator \
		$(if $(OTHER_BENCH),$(OTHER_BENCH)/ionvane_window_start $(OTHER_BENCH)/ionvane_live_window_start)
	@echo
	@build/bench/bin/ionvane_map_bench
	@$(if $(OTHER_BENCH),echo "The same for the other build:" && $(OTHER_BENCH)/ionvane_map_bench)
	@build/bench/bin/ionvane_review_bench
	@echo
	@build/bench/bin/ionvane_muf_layer_bench
	@echo
	@build/bench/bin/ionvane_feed_bench build/bench/bin/ionvane_feed_publisher \
		$$(command -v mosquitto || echo /usr/sbin/mosquitto)
	@echo
	@build/bench/bin/ionvane_live_burst_bench build/bench/bin/ionvane_feed_publisher \
		$$(command -v mosquitto || echo /usr/sbin/mosquitto) \
		$(if $(OTHER_BENCH),--other $(OTHER_BENCH)/ionvane_live_burst_bench)
	@echo
	@build/bench/bin/ionvane_tracker_replay_bench build/bench/bin/ionvane-cli $(OTHER_CLI)

run: build
	@if [ -x $(BIN)/ionvane ] && { [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; }; then \
		exec $(BIN)/ionvane; \
	else \
		echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): here is the worked example from ionvane-cli."; \
		echo "  ionvane-cli $(EXAMPLE)"; \
		$(BIN)/ionvane-cli $(EXAMPLE); \
	fi

# The screenshot that software centres show, from the installed program under Xvfb and openbox.
screenshot: build
	@cmake --install $(BUILD) --prefix $(BUILD)/stage >/dev/null
	scripts/screenshot.sh $(BUILD)/stage/bin/ionvane app/screenshots/main-window.png
	scripts/live-screenshot.sh $(BUILD) /tmp/live-window.png 1366x768 1 light mid
	convert /tmp/live-window.png -colors 256 PNG8:app/screenshots/live-window.png

format:
	clang-format -i $(SOURCES)

format-check: deps
	@clang-format --dry-run --Werror $(SOURCES) && echo "format-check: clean"

clean:
	rm -rf build
