# Quillmere: the commands a translator or developer needs.
#   make run     build (release) and start the window
#   make test    build (debug, sanitizers) and run every test
#   make bench   build (release) and run the benchmarks
#   make fuzz    build the fuzz harnesses (clang) and run each for FUZZ_SECONDS
#   make deps    install the Debian packages the build needs
#   make package build (release) a .deb of both programs
#   make package-check  the .deb checked by lintian (no errors) and the metainfo by appstreamcli
#   make windows       cross-build build/windows/quillmere-cli.exe (MinGW-w64, static)
#   make test-windows  the core and command line tests under Wine, and the sample's
#                      round trip compared byte for byte with the Linux build
#   make windows-zip   build/windows/quillmere-cli-VERSION-win64.zip
# WERROR=ON turns warnings into errors (CI does); the choice stays in the build folder.

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
WERROR ?=
CONFIGURE_FLAGS = $(if $(WERROR),-DQUILLMERE_WERROR=$(WERROR))

.PHONY: all deps ensure-deps build-release build-debug run test bench fuzz screenshot package clean \
        ensure-windows-deps windows test-windows windows-zip package-check

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

# lintian on the .deb must report no errors; the metainfo must validate.
package-check: package
	@scripts/deps.sh --check package-check || scripts/deps.sh package-check
	@scripts/package_check.sh build/release

# The Windows command line, cross-built; its tests run under Wine (headless,
# in a Wine prefix under build/). MinGW-w64 and Wine are installed only here.
VERSION = $(shell sed -n 's/^project(quillmere VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

ensure-windows-deps:
	@scripts/deps.sh --check windows || scripts/deps.sh windows

windows: ensure-windows-deps
	@cmake --preset windows $(CONFIGURE_FLAGS) >/dev/null
	@cmake --build --preset windows -j $(JOBS) --target quillmere-cli
	@echo build/windows/quillmere-cli.exe

test-windows: windows
	@cmake --build --preset windows -j $(JOBS)
	@ctest --preset windows -j $(JOBS)
	@# The Linux program to compare with; its warnings are the debug build's
	@# business (GCC 12 at -O2 warns of copies in std::u16string that cannot overlap).
	@cmake -S . -B build/windows/linux -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_BUILD_UI=OFF \
	  -DQUILLMERE_BUILD_TESTS=OFF -DQUILLMERE_WERROR=OFF >/dev/null
	@cmake --build build/windows/linux -j $(JOBS) --target quillmere-cli
	@scripts/windows_round_trip.sh build/windows/linux/src/cli/quillmere-cli build/windows/quillmere-cli.exe

windows-zip: windows
	@scripts/windows_zip.sh build/windows/quillmere-cli.exe $(VERSION) build/windows
