# Front door. `make demo` and `make test` work on a fresh Debian 12 machine:
# each installs what is missing, builds, then runs.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: all deps build run demo test test-asan test-tsan bench soak fuzz clean install uninstall install-udev-rule deb test-deb

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

# The whole suite again, built with AddressSanitizer and UndefinedBehavior-
# Sanitizer in its own folder; any report, also from a program a test starts,
# fails the run. -O1 keeps the build and the run short without hiding faults.
ASAN_BUILD_DIR ?= build-asan
TSAN_BUILD_DIR ?= build-tsan
SAN_CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELDA_APPSTREAM_SCREENSHOTS=OFF \
	"-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g"

$(ASAN_BUILD_DIR)/build.ninja:
	cmake -S . -B $(ASAN_BUILD_DIR) $(SAN_CMAKE_FLAGS) -DKELDA_SANITIZE=ON

test-asan: deps $(ASAN_BUILD_DIR)/build.ninja
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	tests/sanitizers/run asan $(ASAN_BUILD_DIR) -j $(JOBS) $(CTEST_ARGS)

# The threaded parts under ThreadSanitizer: the device tests (transport,
# commands, read loop, virtual mouse) and input capture. Only their
# executables are built.
TSAN_TESTS = $(sort $(basename $(notdir $(wildcard tests/device/tst_*.cpp)))) tst_host_capture
empty :=
space := $(empty) $(empty)

$(TSAN_BUILD_DIR)/build.ninja:
	cmake -S . -B $(TSAN_BUILD_DIR) $(SAN_CMAKE_FLAGS) -DKELDA_TSAN=ON

test-tsan: deps $(TSAN_BUILD_DIR)/build.ninja
	cmake --build $(TSAN_BUILD_DIR) -j $(JOBS) --target $(TSAN_TESTS)
	tests/sanitizers/run tsan $(TSAN_BUILD_DIR) -j $(JOBS) -R '^($(subst $(space),|,$(TSAN_TESTS)))$$' $(CTEST_ARGS)

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
# first if apt has to install anything. The data stays in
# ~/.config/kelda-config; `make uninstall PURGE=1` removes it too.
install:
	@test -x $(BUILD_DIR)/dist/kelda-config || $(MAKE) build
	KELDA_BUILD_DIR=$(CURDIR)/$(BUILD_DIR) scripts/install

uninstall:
	scripts/uninstall

# The Debian package, built with dpkg-buildpackage from debian/:
# $(BUILD_DIR)/deb/kelda-config_<version>_<arch>.deb.
deb: deps
	JOBS=$(JOBS) scripts/build-deb $(BUILD_DIR)

# The package's journey (as root; CI runs it): built, checked with lintian,
# appstreamcli and desktop-file-validate, installed with apt, used by two
# test users under Xvfb with the virtual mouse, removed and purged.
# Without root it says so and skips (status 77 is a skip).
test-deb: build deb
	KELDA_BUILD_DIR=$(CURDIR)/$(BUILD_DIR) tests/e2e/journey_deb.sh || [ $$? = 77 ]

# Lets the logged-in user open the mouse without root (run with sudo).
install-udev-rule:
	install -D -m 644 packaging/70-kelda-x7.rules /etc/udev/rules.d/70-kelda-x7.rules
	udevadm control --reload-rules && udevadm trigger --subsystem-match=hidraw
