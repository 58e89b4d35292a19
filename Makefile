# Thin wrapper over CMake: every target first makes sure the Debian packages are there.
BUILD := build
JOBS := $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run check test test-sanitize bench fuzz package screenshots \
	clean deps-windows windows test-windows

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

# The tests that take seconds: the unit and widget tests, less their slow runs under valgrind and
# the fuzzer. One label alone: cd build && ctest -L e2e; one test: cd build && ctest -R random_play.
CHECK_TESTS := -L '^(unit|widget)$$' -LE '^(valgrind|fuzz)$$'
check: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) $(CHECK_TESTS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The tests of make check again, built with AddressSanitizer and UndefinedBehaviorSanitizer in a
# tree of their own. Left out with the rest: valgrind and the fuzzer (they bring their own
# checking), and the tests that drive the real program or install it (slow, and they test no
# more code).
# Qt itself is not instrumented; tests/support/lsan.supp names the leaks of its libraries we accept.
SANITIZE_BUILD := build-asan
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBH_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && \
	  ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j$(JOBS) $(CHECK_TESTS)

bench: build
	@scripts/run-bench $(BUILD)

fuzz: deps
	@scripts/run-fuzz $(FUZZ_SECONDS)

package: build
	cd $(BUILD) && cpack

# Every picture the README and docs/ show, taken again from this build in a private Xvfb; the
# list is in scripts/take-screenshots, and a picture whose pixels did not change stays as it was.
screenshots: build
	@scripts/take-screenshots $(BUILD)

# The Windows game folder, cross-built with mingw-w64 against a Qt built once from Debian's
# source (scripts/build-qt-mingw; the first time takes 15 to 25 minutes), packed as
# build-windows/packages/brackenholt-config-<version>-windows-x86_64.zip.
WIN_BUILD := build-windows
deps-windows:
	@scripts/install-deps windows

windows: deps-windows
	@scripts/build-qt-mingw >/dev/null
	@cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$$(scripts/build-qt-mingw --prefix)/lib/cmake/Qt6/qt.toolchain.cmake \
	  -DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake >/dev/null
	@cmake --build $(WIN_BUILD) -j$(JOBS)
	cd $(WIN_BUILD) && cpack

# The settings-file tests and end-to-end scenarios of the Windows build, under Wine.
test-windows: windows
	cd $(WIN_BUILD) && ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf $(BUILD) build-fuzz $(SANITIZE_BUILD) $(WIN_BUILD)
