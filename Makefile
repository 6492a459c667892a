# Front door. `make demo` and `make test` work on a fresh Debian 12 machine:
# each installs what is missing, builds, then runs.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: all deps build run demo test bench soak fuzz clean install uninstall install-udev-rule

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

# Start-up, memory, idle CPU, device operation and event timings against the
# virtual mouse and a bare Qt Quick window: build/bench/report.md.
bench: build
	KELDA_BUILD_DIR=$(CURDIR)/$(BUILD_DIR) scripts/bench

# Kills a writer that performs every kind of save at random moments and checks
# after each kill that every file holds its old or its new content.
SOAK_TRIALS ?= 1000
soak: build
	$(BUILD_DIR)/soak/kelda-soak --trials $(SOAK_TRIALS)

# libFuzzer targets built with clang (ASan + UBSan) in build-fuzz/, each run
# for FUZZ_SECONDS (5 minutes by default); FUZZ_TARGETS picks a subset.
FUZZ_SECONDS ?= 300
fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_TARGETS="$(FUZZ_TARGETS)" JOBS=$(JOBS) scripts/fuzz

clean:
	rm -rf $(BUILD_DIR)

# One user's installation (PREFIX defaults to ~/.local; DESTDIR honoured).
# Installing as a user needs the build to exist already: run `make build`
# first if apt has to install anything.
install:
	@test -x $(BUILD_DIR)/dist/kelda-config || $(MAKE) build
	KELDA_DIST_DIR=$(CURDIR)/$(BUILD_DIR)/dist scripts/install

uninstall:
	scripts/uninstall

# Lets the logged-in user open the mouse without root (run with sudo).
install-udev-rule:
	install -D -m 644 packaging/70-kelda-x7.rules /etc/udev/rules.d/70-kelda-x7.rules
	udevadm control --reload-rules && udevadm trigger --subsystem-match=hidraw
