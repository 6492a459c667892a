# Front door. `make demo` and `make test` work on a fresh Debian 12 machine:
# each installs what is missing, builds, then runs.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: all deps build run demo test clean

all: build

deps:
	@scripts/setup-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	scripts/run

demo: build
	scripts/demo

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

clean:
	rm -rf $(BUILD_DIR)
