# The two commands of the README, and a few more.
#   make demo     set-up, release build, the demo book on the built-in sample curve
#   make test     set-up, release and sanitizer builds, the whole test suite
#   make windows  the 32- and 64-bit Windows DLLs (mingw-w64)
#   make bench    the benchmarks

# CI treats compiler warnings as errors.
WERROR ?= $(if $(CI),ON,OFF)
CMAKE_FLAGS := -DLORVEX_WERROR=$(WERROR)

.PHONY: all setup setup-windows build asan demo test test-release test-asan windows bench clean

all: build

setup:
	@scripts/setup-deps.sh

setup-windows:
	@scripts/setup-deps.sh windows

build: setup
	cmake --preset release $(CMAKE_FLAGS)
	cmake --build --preset release

asan: setup
	cmake --preset asan-ubsan $(CMAKE_FLAGS)
	cmake --build --preset asan-ubsan

demo: build
	./build/release/bin/lorvex demo

test-release: build
	ctest --preset release

test-asan: asan
	ctest --preset asan-ubsan

test: setup-windows
	$(MAKE) test-release
	$(MAKE) test-asan

bench: build
	@for b in build/release/bench/*_bench; do echo "== $$b"; $$b; done

clean:
	rm -rf build
