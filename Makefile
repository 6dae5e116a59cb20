# The two commands of the README, and a few more.
#   make demo     set-up, release build, the demo book on the built-in sample curve
#   make test     set-up, release and sanitizer builds, the whole test suite
#   make windows  the 32- and 64-bit Windows DLLs and the VBA module, in build/windows/
#   make bench    the benchmarks
#   make python   the Python package, in build/release/python (PYTHONPATH)
#   make python-install  the Python package into /usr/bin/python3's site-packages

# CI treats compiler warnings as errors.
WERROR ?= $(if $(CI),ON,OFF)
CMAKE_FLAGS := -DLORVEX_WERROR=$(WERROR)

.PHONY: all setup setup-windows build asan demo test test-release test-windows test-asan windows bench install deb \
        python python-install python-bench clean

# Where `make install` puts the library, headers, CMake and pkg-config files
# and the command: make install PREFIX=$$HOME/.local
PREFIX ?= /usr/local

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

windows: setup-windows
	cmake --preset windows-x86 $(CMAKE_FLAGS)
	cmake --build --preset windows-x86
	cmake --preset windows-x64 $(CMAKE_FLAGS)
	cmake --build --preset windows-x64
	@echo "Windows DLLs and VBA module in build/windows/:" && ls build/windows

# The release suite plus the checks of the Windows DLLs under Wine.
test-windows: windows setup
	cmake --preset release $(CMAKE_FLAGS) -DLORVEX_WINDOWS_ACCEPTANCE=ON
	cmake --build --preset release
	ctest --preset release

test-asan: asan
	ctest --preset asan-ubsan

test: setup-windows
	$(MAKE) test-windows
	$(MAKE) test-asan

install: build
	cmake --install build/release --prefix $(PREFIX)

# The Debian package build/release/package/lorvex_<version>_amd64.deb:
#   sudo apt-get install ./build/release/package/lorvex_*.deb
deb: build
	cd build/release && cpack -G DEB
	@ls build/release/package/*.deb

bench: build
	@for b in build/release/bench/*_bench; do echo "== $$b"; $$b; done

python: setup
	cmake --preset release $(CMAKE_FLAGS)
	cmake --build --preset release --target lorvex_python lorvex

python-install: python
	cmake --install build/release --component python

python-bench: python
	PYTHONPATH=build/release/python /usr/bin/python3 bench/python_bench.py build/release/liblorvex.so

clean:
	rm -rf build
