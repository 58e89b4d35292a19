# Thin wrapper over CMake: every target first makes sure the Debian packages are there.
BUILD := build
JOBS := $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test bench fuzz package clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# A player's first start gets a sensible bh.cfg; an existing one is never touched.
run: build
	@scripts/place-default-config $(BUILD)
	./$(BUILD)/brackenholt-config

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: build
	@scripts/run-bench $(BUILD)

fuzz: deps
	@scripts/run-fuzz $(FUZZ_SECONDS)

package: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD) build-fuzz
