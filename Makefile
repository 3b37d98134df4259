# Front door: `make run` plays, `make test` checks. Both install what is
# missing first, then configure and build through the CMake presets.
#
#   make run       build the game with the default preset, start build/ordnix
#   make build     build everything with the default preset
#   make test      build with warnings as errors (preset ci), run every test
#   make sanitize  the same under AddressSanitizer and UBSan (build-sanitize/)
#   make bench     the benchmarks, optimised (build-bench/)
#   make format    clang-format every source file
#   make clean     remove the build folders

JOBS ?= 2
CTEST_ARGS ?=
# Seconds one test may take before CTest stops it: a hung test fails instead
# of holding up CI.
TEST_TIMEOUT ?= 120
# Tests draw offscreen: no display needed (the test presets say so too).
test sanitize: export QT_QPA_PLATFORM = offscreen

.PHONY: all deps build run test sanitize bench format clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

run: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target ordnix
	./build/ordnix

test: deps
	cmake --preset ci
	cmake --build --preset ci -j $(JOBS)
	ctest --preset ci --no-tests=error --timeout $(TEST_TIMEOUT) $(CTEST_ARGS)

sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize --no-tests=error --timeout $$(( $(TEST_TIMEOUT) * 3 )) $(CTEST_ARGS)

bench: deps
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS) --target bench_numbers bench_surface bench_round
	./build-bench/bench/bench_numbers
	./build-bench/bench/bench_surface
	./build-bench/bench/bench_round

format:
	clang-format -i $$(git ls-files --cached --others --exclude-standard \
	    '*.cpp' '*.h' | grep -v '^build')

clean:
	rm -rf build build-sanitize build-bench
