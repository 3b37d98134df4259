# Front door where make exists; ./play and ./check do the same on a machine
# without make. Each target installs what is missing first, then configures
# and builds through the CMake presets, each in its own folder.
#
#   make run       build the game (preset default, build/) and start it
#   make build     build the game
#   make test      build with the tests, warnings as errors (build-ci/), run them
#   make sanitize  the tests under AddressSanitizer and UBSan (build-sanitize/)
#   make bench     the benchmarks, optimised (build-bench/)
#   make package   the Debian package build-package/ordnix_<version>_amd64.deb
#   make install   install the game under PREFIX (default /usr/local)
#   make uninstall remove what make install put there
#   make format    clang-format every source file
#   make clean     remove the build folders

JOBS ?= 2
CTEST_ARGS ?=
PREFIX ?= /usr/local
# Seconds one test may take before CTest stops it: a hung test fails instead
# of holding up CI.
TEST_TIMEOUT ?= 120
# Tests draw offscreen: no display needed (the test presets say so too).
test sanitize: export QT_QPA_PLATFORM = offscreen

.PHONY: all deps testdeps build run test sanitize bench package install uninstall format clean

all: build

# Building and playing only.
deps:
	@bash scripts/install-deps.sh play

# Adds the test, benchmark, formatting and screenshot tools.
testdeps:
	@bash scripts/install-deps.sh test

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

run: build
	./build/ordnix

test: testdeps
	cmake --preset ci
	cmake --build --preset ci -j $(JOBS)
	ctest --preset ci --no-tests=error --timeout $(TEST_TIMEOUT) $(CTEST_ARGS)

sanitize: testdeps
	cmake --preset sanitize
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize --no-tests=error --timeout $$(( $(TEST_TIMEOUT) * 3 )) $(CTEST_ARGS)

bench: testdeps
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS) --target bench_numbers bench_surface bench_round bench_frame bench_roundmemory
	./build-bench/bench/bench_numbers
	./build-bench/bench/bench_surface
	./build-bench/bench/bench_round
	QT_QPA_PLATFORM=offscreen ./build-bench/bench/bench_frame
	QT_QPA_PLATFORM=offscreen ./build-bench/bench/bench_roundmemory

# The package's folders and its archive members take their modes from the
# umask; 022 gives Debian's modes whoever builds it.
package: deps
	cmake --preset package
	cmake --build --preset package -j $(JOBS)
	umask 022 && cpack --preset package

# Builds only when nothing is built yet, so `sudo make install` after
# ./play leaves the build folder to its owner.
install:
	@test -x build/ordnix || $(MAKE) build
	cmake --install build --prefix $(PREFIX)

# Removes exactly the files the last install wrote, then the game's own
# folders if they are empty.
uninstall:
	@test -f build/install_manifest.txt || { echo "nothing installed from build/"; exit 1; }
	xargs -d '\n' rm -f -- < build/install_manifest.txt
	-rmdir --ignore-fail-on-non-empty $(PREFIX)/share/ordnix $(PREFIX)/share/doc/ordnix 2>/dev/null
	rm -f build/install_manifest.txt

format: testdeps
	clang-format -i $$(git ls-files --cached --others --exclude-standard \
	    '*.cpp' '*.h' | grep -v '^build')

clean:
	rm -rf build build-ci build-sanitize build-bench build-package
