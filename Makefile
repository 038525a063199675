# Developers' shortcuts. The README's two commands (./run.sh, ./test.sh) do not need this file.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build test assets contact-sheet bench package fuzz clean

all: build

build:
	scripts/install-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test:
	./test.sh

# Re-makes everything in data/ from the generators in tools/assets/.
assets:
	scripts/install-deps --assets
	@for g in tools/assets/*/make.sh; do echo "== $$g"; bash $$g || exit 1; done

contact-sheet:
	scripts/install-deps --assets
	/usr/bin/python3 tools/assets/contact_sheet.py

# Release build of the benchmarks (build-bench), then one table of figures and budgets;
# fails when a budget is missed. Needs Xvfb and xdotool for the whole-process figures.
bench:
	scripts/install-deps
	bash bench/run.sh $(CURDIR)/build-bench

# A .deb of the game (build/tirlan_<version>_<arch>.deb).
package: build
	cd $(BUILD) && cpack -G DEB

# The libFuzzer targets (clang, ASan + UBSan), each for FUZZ_SECONDS (default 60).
fuzz:
	FUZZ_SECONDS=$(or $(FUZZ_SECONDS),60) scripts/fuzz.sh

clean:
	rm -rf build build-asan build-tsan
