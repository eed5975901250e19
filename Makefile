# Quillmere: the commands a translator or developer needs.
#   make run     build (release) and start the window
#   make test    build (debug, sanitizers) and run every test
#   make bench   build (release) and run the benchmarks
#   make fuzz    build the fuzz harnesses (clang) and run each for FUZZ_SECONDS
#   make deps    install the Debian packages the build needs
#   make package build (release) a .deb of both programs
# WERROR=ON turns warnings into errors (CI does); the choice stays in the build folder.

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
WERROR ?=
CONFIGURE_FLAGS = $(if $(WERROR),-DQUILLMERE_WERROR=$(WERROR))

.PHONY: all deps ensure-deps build-release build-debug run test bench fuzz screenshot package clean

all: build-release

deps:
	@scripts/deps.sh

ensure-deps:
	@scripts/deps.sh --check || scripts/deps.sh

build-release: ensure-deps
	@cmake --preset release $(CONFIGURE_FLAGS) >/dev/null
	@cmake --build --preset release -j $(JOBS)

build-debug: ensure-deps
	@cmake --preset debug $(CONFIGURE_FLAGS) >/dev/null
	@cmake --build --preset debug -j $(JOBS)

run: build-release
	@scripts/run.sh build/release

test: build-debug
	@ctest --preset debug -j $(JOBS)

bench: ensure-deps
	@scripts/bench.sh

fuzz: ensure-deps
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh

screenshot: build-release
	@scripts/screenshot.sh build/release

clean:
	rm -rf build

# A .deb of the release build in build/release (install it with dpkg -i).
package: build-release
	@cd build/release && cpack -G DEB
