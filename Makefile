# The two commands: `make run` and `make test`. Both install what is missing,
# configure and build into build/ first.
BUILD_DIR := build
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test format

all: build

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR)

run: build
	@scripts/run.sh $(BUILD_DIR)/app/quorvin

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
