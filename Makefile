# The two commands: `make run` and `make test`. Both install what is missing,
# configure and build into build/ first. `make test` then also runs every test again
# under AddressSanitizer and UndefinedBehaviorSanitizer (`make test-sanitize`) and each
# fuzz target for 30 seconds (`make fuzz`), and checks the naming rules (clang-tidy).
BUILD_DIR := build
CMAKE_FLAGS ?=
SANITIZE_DIR := build-sanitize
FUZZ_DIR := build-fuzz
WINDOWS_DIR := build-windows
# How long `make fuzz` runs each fuzz target, in seconds.
FUZZ_SECONDS ?= 60
# Any sanitizer report stops the test that made it. The environment applies to building
# too: the build runs the test programs to list their cases.
SANITIZE_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps configure build run test test-sanitize test-windows fuzz format package package-windows check-reproducible screenshots screenshots-windows bench-startup bench-startup-windows

all: build

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR)

run: build
	@scripts/run.sh $(BUILD_DIR)/program/quorvin

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
	scripts/check-naming.sh $(BUILD_DIR)
	$(MAKE) --no-print-directory test-windows
	$(MAKE) --no-print-directory test-sanitize
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=30

$(SANITIZE_DIR)/build.ninja:
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVIN_SANITIZE=ON

test-sanitize: deps $(SANITIZE_DIR)/build.ninja
	$(SANITIZE_ENV) cmake --build $(SANITIZE_DIR)
	cd $(SANITIZE_DIR) && $(SANITIZE_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

# The Windows build: cross-compiled with MinGW-w64 into build-windows/, its tests run under
# Wine in a Wine prefix of that folder. The prefix's server is ended also when a test fails.
$(WINDOWS_DIR)/build.ninja:
	cmake -S . -B $(WINDOWS_DIR) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW64Toolchain.cmake \
	  -DCMAKE_BUILD_TYPE=Release

test-windows: deps $(WINDOWS_DIR)/build.ninja
	cmake --build $(WINDOWS_DIR)
	scripts/check-naming-windows.sh $(WINDOWS_DIR)
	cd $(WINDOWS_DIR) && ctest --output-on-failure -j2; status=$$?; \
	  ../scripts/wine-run.sh $(CURDIR)/$(WINDOWS_DIR)/wine-prefix --end; exit $$status

$(FUZZ_DIR)/build.ninja:
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DQUORVIN_FUZZ=ON

fuzz: deps $(FUZZ_DIR)/build.ninja
	cmake --build $(FUZZ_DIR)
	fuzz/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

package: build
	cd $(BUILD_DIR) && cpack

# The Windows downloads: the portable zip and the installer, in build-windows/package/.
package-windows: deps $(WINDOWS_DIR)/build.ninja
	cmake --build $(WINDOWS_DIR) --target windows_packages
	@ls -l $(WINDOWS_DIR)/package/*.zip $(WINDOWS_DIR)/package/*.exe

# Two builds of the last commit, in two fresh clones, give byte-identical downloads
# (about six minutes on 2 cores; not part of `make test`).
check-reproducible: deps
	scripts/check-reproducible.sh

# Pictures of the main window and the dialogs for the README, taken on a private X display.
screenshots: build
	scripts/screenshots.sh $(BUILD_DIR)/program/quorvin

# The same pictures of the Windows program under Wine, into docs/screenshots/windows/.
screenshots-windows: deps $(WINDOWS_DIR)/build.ninja
	cmake --build $(WINDOWS_DIR) --target quorvin
	scripts/screenshots.sh $(WINDOWS_DIR)/win32/quorvin.exe

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# How fast the program shows its first window, and its memory once idle, against a bare
# window with one Chinese label, on a private X display (not part of `make test`).
bench-startup: build
	bench/startup/run-startup-bench.sh $(BUILD_DIR)/bench/startup/first_window_probe \
		$(BUILD_DIR)/bench/startup/startup_yardstick $(BUILD_DIR)/program/quorvin

# The same for the Windows program under Wine, against a bare Win32 window with the same
# imports and manifest (the probe is the Linux build's).
bench-startup-windows: build $(WINDOWS_DIR)/build.ninja
	cmake --build $(WINDOWS_DIR)
	bench/startup/run-startup-bench.sh -w $(WINDOWS_DIR)/wine-prefix-bench \
		$(BUILD_DIR)/bench/startup/first_window_probe \
		$(WINDOWS_DIR)/bench/windows/startup_bare_window.exe $(WINDOWS_DIR)/win32/quorvin.exe
