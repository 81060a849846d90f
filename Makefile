# Two commands for a fresh Debian machine: `make run` and `make test`. Both install what is
# missing (apt-get, with sudo when not root), configure and build.
PRESET ?= ci
BUILD := build/$(PRESET)
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)
EXAMPLE := --from IO90IR --to JN77EX --freq 50.1 --home IO90IR --es-layer 110 --masl 150

.PHONY: all deps build test run format format-check clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

test: build format-check
	ctest --preset $(PRESET)

run: build
	@if [ -x $(BUILD)/app/ionvane ] && { [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; }; then \
		exec $(BUILD)/app/ionvane; \
	else \
		echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): here is the worked example from ionvane-cli."; \
		echo "  ionvane-cli $(EXAMPLE)"; \
		$(BUILD)/cli/ionvane-cli $(EXAMPLE); \
	fi

format:
	clang-format -i $(SOURCES)

format-check:
	@clang-format --dry-run --Werror $(SOURCES) && echo "format-check: clean"

clean:
	rm -rf build
