# The two set-up commands are `make run` and `make test`; both install what is missing first.
BUILD ?= build
JOBS ?= 2
# ccache keeps rebuilds of unchanged files (other build folders, CI after a session) cheap.
GENERATOR := -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
PACKAGES := cmake ninja-build ccache g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev \
  qt6-base-dev qt6-svg-dev fonts-liberation2 fonts-dejavu-core \
  dpkg-dev desktop-file-utils appstream mandoc man-db \
  libxmlrpc-c++8-dev libhamlib-utils python3 xvfb xdotool
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
FUZZ_SECONDS ?= 60
SEEDS ?= 200
# CI builds with WERROR=ON: a new warning fails the run.
WERROR ?= OFF
MUTANTS ?= 300
MUTATE_SEED ?= 1
MUTATE_FOLDERS ?=

PREFIX ?= /usr/local

.PHONY: all deps build test run install package faults mutate asan asan-gui tsan fuzz bench format clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_WERROR=$(WERROR)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

run: build
	./scripts/run.sh $(BUILD)

# The programs, man pages, desktop entry, metainfo and icons below PREFIX (and DESTDIR, if set).
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package $(BUILD)/kestrel-panel_VERSION_ARCH.deb (installed below /usr).
package: build
	cd $(BUILD) && cpack -G DEB

# The seeded fault matrix: SEEDS runs of the engine against a misbehaving simulated radio; the
# last line reads "N seeds, K failures" and every failing seed is printed for a rerun alone.
faults: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target fault_matrix
	$(BUILD)/tests/fault_matrix --seeds $(SEEDS) --jobs $(JOBS)

# Mutation testing of the engine (long: a mutant in a widely included header rebuilds most of
# the engine): MUTANTS small faults drawn with MUTATE_SEED from the source of MUTATE_FOLDERS
# (default: every engine folder), each built and tested alone; prints the kill rate per folder
# and the survivors, and keeps them in build-mutate/mutate-report.txt.
mutate: deps
	cmake -S . -B build-mutate $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_BENCH=OFF \
	  -DKESTREL_GUI=OFF
	python3 scripts/mutate.py --build build-mutate --mutants $(MUTANTS) --seed $(MUTATE_SEED) \
	  --jobs $(JOBS) $(if $(MUTATE_FOLDERS),--folders "$(MUTATE_FOLDERS)")

# The engine's tests once more under AddressSanitizer with UndefinedBehaviorSanitizer.
asan: deps
	cmake -S . -B build-asan $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DKESTREL_BENCH=OFF \
	  -DKESTREL_GUI=OFF -DKESTREL_SANITIZE=address,undefined
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest -L engine --output-on-failure -j $(JOBS) --timeout 600

# The GUI's tests (painter, controller, display updates) under AddressSanitizer with
# UndefinedBehaviorSanitizer. Leaks are not reported: Qt and fontconfig keep caches for the
# process's life.
asan-gui: deps
	cmake -S . -B build-asan-gui $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DKESTREL_BENCH=OFF \
	  -DKESTREL_SANITIZE=address,undefined
	cmake --build build-asan-gui -j $(JOBS) --target test_gui
	cd build-asan-gui && ASAN_OPTIONS=detect_leaks=0 ctest -L gui --output-on-failure \
	  -j $(JOBS) --timeout 600

# The engine's tests on real threads under ThreadSanitizer.
tsan: deps
	cmake -S . -B build-tsan $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_BENCH=OFF \
	  -DKESTREL_GUI=OFF -DKESTREL_SANITIZE=thread
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && ctest -L engine --output-on-failure -j $(JOBS) --timeout 600

# Every libFuzzer target for FUZZ_SECONDS each.
fuzz: deps
	CXX=clang++ cmake -S . -B build-fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKESTREL_TESTS=OFF -DKESTREL_BENCH=OFF -DKESTREL_GUI=OFF -DKESTREL_FUZZ=ON \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"
	cmake --build build-fuzz -j $(JOBS)
	./scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

bench: build
	for b in $(BUILD)/bench/*; do [ -x "$$b" ] && [ -f "$$b" ] && "$$b"; done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-asan-gui build-tsan build-fuzz build-mutate
