# SPDX-License-Identifier: MIT
# make demo  - build everything and flash a sample firmware into the simulator
# make test  - build and pass every test (normal build, ASan+UBSan build, a clang build whose
#              thread-safety analysis checks every program and whose serial suite runs under TSan,
#              the portable core's suites as WebAssembly under node, the Windows build's
#              suites and tevr-flash.exe under Wine, and the page in headless Chromium)
# make build - build everything (normal build only; never installs packages)
# make windows - cross-build tevr-flash.exe and the Windows test suites in build-win/ (mingw-w64)
# make test-wasm - the portable core and its suites built with emscripten in build-wasm/, run
#                  under node
# make setup - install the Debian packages the build and the tests need (test and demo call it)
# make package - the Debian packages tevr-flash, tevr-loader and tevr-loader-sim in build/
# make web - the page (WebAssembly + Web Serial) in build-wasm/site, whose path is the last line
# make test-web / demo-web / bench-web - the page in headless Chromium against bk-sim
# make oracle - the conversion against python3-intelhex over many seeded mutants (ORACLE_MUTANTS,
#               ORACLE_SEED); make test runs 3000 of them

SHELL := /bin/bash
JOBS ?= $(shell nproc)
# CI (.ci/run sets CI) turns every warning into an error.
CMAKE_GEN := -G Ninja -DTEVR_WERROR=$(if $(CI),ON,OFF)
SAN_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
           LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
           UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
           TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

.PHONY: all setup build build-asan build-tsan build-wasm windows test test-fast test-asan test-tsan \
        test-wasm test-win demo demo-gui bench bench-win fuzz oracle package clean web test-web \
        demo-web bench-web web-programs

all: build

# Line tables are what backtraces and the sanitizers' reports need; full debugging information
# makes every build of the suites take half as long again. A debugging session configures its own.
NATIVE_CONFIGURE := cmake -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
SAN_DEBUG_INFO := -DCMAKE_CXX_FLAGS_DEBUG=-g1

setup:
	@scripts/setup

build:
	@$(NATIVE_CONFIGURE) >/dev/null
	@cmake --build build -j $(JOBS)

build-asan:
	@cmake -S . -B build-asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTEVR_SANITIZE=address,undefined \
	    -DTEVR_BENCH=OFF $(SAN_DEBUG_INFO) >/dev/null
	@cmake --build build-asan -j $(JOBS)

# Built with clang, whose thread-safety analysis checks every program's locking as it compiles;
# only the serial suite runs under ThreadSanitizer.
build-tsan:
	@cmake -S . -B build-tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTEVR_SANITIZE=thread \
	    -DCMAKE_CXX_COMPILER=clang++ -DTEVR_BENCH=OFF $(SAN_DEBUG_INFO) >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target serial_tests tevr-flash tevr-loader bk-sim

# The portable core with Debian's emscripten: only its targets and its suites, and the page's
# module beside them (make web). Optimised, so that node runs the suites quickly; its asserts are
# the native builds' to check.
WASM_CONFIGURE := cmake -S . -B build-wasm $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=$$(em-config EMSCRIPTEN_ROOT)/cmake/Modules/Platform/Emscripten.cmake
build-wasm:
	@$(WASM_CONFIGURE) >/dev/null
	@cmake --build build-wasm -j $(JOBS)

# Windows programs from Debian: tevr-flash.exe runs alone on a bare Windows. Its tests run under
# Wine with bk-sim and a null modem of the Linux build (build/).
windows:
	@cmake -S . -B build-win $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/TevrMingw64.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DTEVR_NATIVE_BUILD=$(CURDIR)/build >/dev/null
	@cmake --build build-win -j $(JOBS)

test-fast: build
	@ctest --test-dir build --output-on-failure -j $(JOBS)

test-asan: build-asan
	@$(SAN_ENV) ctest --test-dir build-asan --output-on-failure -j $(JOBS) -LE xvfb

test-tsan: build-tsan
	@$(SAN_ENV) ctest --test-dir build-tsan --output-on-failure -j $(JOBS) -L serial

test-wasm: build-wasm
	@ctest --test-dir build-wasm --output-on-failure -j $(JOBS)

test-win: build windows
	@ctest --test-dir build-win --output-on-failure -j $(JOBS)

test: setup
	@$(MAKE) --no-print-directory test-fast test-asan test-tsan test-wasm test-win test-web
	@echo "make test: all suites passed (normal, ASan+UBSan, TSan, WebAssembly, Windows under" \
	    "Wine, the page)"

# The page, built with Debian's emscripten in the WebAssembly build beside the portable core's
# suites (its target `site`); its optimiser needs Debian's acorn, which node finds through
# NODE_PATH. libsodium's browser build and the tests' driver come from web/package-lock.json.
WEB_ENV := NODE_PATH=/usr/share/nodejs
WEB_SITE := $(CURDIR)/build-wasm/site
web:
	@[ -d web/node_modules ] || npm ci --prefix web --no-audit --no-fund >/dev/null
	@$(WEB_ENV) $(WASM_CONFIGURE) >/dev/null
	@$(WEB_ENV) cmake --build build-wasm -j $(JOBS) --target site >/dev/null
	@echo $(WEB_SITE)

WEB_RUN := TEVR_SITE=$(WEB_SITE) TEVR_BK_SIM=$(CURDIR)/build/sim/bk-sim \
           TEVR_FLASH=$(CURDIR)/build/cli/tevr-flash TEVR_SCREENSHOTS=$(CURDIR)/build-wasm
web-programs:
	@$(NATIVE_CONFIGURE) >/dev/null
	@cmake --build build -j $(JOBS) --target bk-sim tevr-flash
	@$(MAKE) --no-print-directory web >/dev/null

test-web: web-programs
	@$(WEB_RUN) node --test --test-concurrency=1 tests/web/

demo-web: setup
	@$(MAKE) --no-print-directory web-programs
	@$(WEB_RUN) node web/harness/demo.mjs $(WEB_SITE) examples/image-64k.hex

bench-web: web-programs
	@$(WEB_RUN) node web/harness/bench.mjs $(WEB_SITE)

demo: setup
	@$(MAKE) --no-print-directory build
	@scripts/demo

demo-gui: setup
	@$(MAKE) --no-print-directory build
	@scripts/demo-gui

ORACLE_MUTANTS ?= 200000
ORACLE_SEED ?= 1
oracle: setup
	@$(MAKE) --no-print-directory build
	@/usr/bin/python3 tests/oracle/oracle.py --driver build/tests/oracle_driver \
	    --mutants $(ORACLE_MUTANTS) --seed $(ORACLE_SEED) --jobs $(JOBS) --keep build/oracle-failures

package: build
	@cd build && cpack -G DEB

bench: build
	@for b in build/bench/bench_*; do echo "== $$(basename $$b)"; $$b || exit 1; done

# The Windows programs under Wine: the window's start, memory and paced update, next to the
# same update with tevr-flash and tevr-flash.exe.
bench-win: build windows
	@bench/window_wine.sh build build-win

fuzz: setup
	@cmake -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_CXX_COMPILER=clang++ -DTEVR_FUZZ=ON -DTEVR_GUI=OFF \
	    -DTEVR_BENCH=OFF -DTEVR_SANITIZE=address,undefined >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target $$(cd fuzz && ls *_fuzz.cpp | sed 's/\.cpp$$//')

clean:
	rm -rf build build-asan build-tsan build-fuzz build-wasm build-win
