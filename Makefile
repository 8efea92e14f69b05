# The README's two commands: `make run` and `make test`.
BUILD    ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
FUZZ_SECONDS ?= 60
JOBS     ?= $(shell nproc)
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# What building and running the program need from Debian 12 ...
RUN_PACKAGES  := cmake g++ make qt6-base-dev qt6-qpa-plugins qt6-translations-l10n fonts-liberation libieee1284-3 \
                 doctest-dev
# ... and what its tests need besides: the emulated PC and Raspberry Pi, the
# Arduino's firmware in its simulator (fetched once with npm, unless a
# Node.js with its own npm is there).
NPM_PACKAGE := $(if $(shell command -v npm 2>/dev/null),,npm)
TEST_PACKAGES := xvfb xauth xdotool desktop-file-utils appstream dpkg-dev \
                 qemu-system-x86 cpio qemu-system-arm g++-aarch64-linux-gnu \
                 simavr libsimavr-dev $(NPM_PACKAGE)
PACKAGES ?= $(RUN_PACKAGES)
TARGET   ?= all

PREFIX   ?= /usr/local
# The version, from its one source.
VERSION  := $(shell grep -m1 -o 'project.Bitlicht VERSION [0-9.]*' CMakeLists.txt | cut -d' ' -f3)

# Windows: cross-built with mingw-w64 as a 64-bit and a 32-bit program, tried
# and tested under Wine (the 32-bit one under Debian's 32-bit Wine, i386).
WINDOWS_BUILD ?= build-windows
WINDOWS32_BUILD ?= build-windows32
WINDOWS_PACKAGES := cmake make g++ g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
                    wine64 wine32:i386 nsis doctest-dev
WINDOWS_TEST_PACKAGES := xvfb xauth xdotool $(NPM_PACKAGE)
WINE64 := $(or $(shell command -v wine64 2>/dev/null),/usr/lib/wine/wine64)
WINE32 := /usr/lib/wine/wine

.PHONY: all deps configure build run test test-sanitizers test-port bench fuzz install uninstall package clean \
        windows windows-configure windows-installer run-windows test-windows

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  if echo "$$missing" | grep -q ':i386' && ! dpkg --print-foreign-architectures | grep -qx i386; then \
	    $(SUDO) dpkg --add-architecture i386; \
	  fi; \
	  $(SUDO) apt-get update -q && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS) --target $(TARGET)

run: TARGET := bitlicht
run: build
	$(BUILD)/bitlicht

# The whole suite, then again built with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer (a shorter long run there: it is slower).
test test-sanitizers test-port: PACKAGES := $(RUN_PACKAGES) $(TEST_PACKAGES)
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-sanitizers
	$(MAKE) --no-print-directory test-windows

test-sanitizers: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBITLICHT_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen BITLICHT_RANDOM_STEPS=500 \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) -LE port

# The port path on Debian's kernel in an emulated PC (also part of make test).
test-port: build
	cd $(BUILD) && ctest --output-on-failure -L port

# bitlicht.exe with its LED files beside it: 64-bit in $(WINDOWS_BUILD),
# 32-bit in $(WINDOWS32_BUILD).
windows: windows-configure
	cmake --build $(WINDOWS32_BUILD) -j $(JOBS) --target bitlicht
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target bitlicht

WINDOWS_CMAKE = -DCMAKE_BUILD_TYPE=Release -DHOST_REALWINDOW=$(CURDIR)/$(BUILD)/tests/realwindow \
                -DHOST_FIRMATA_BOARD=$(CURDIR)/$(BUILD)/tests/firmata/board
windows-configure:
	$(MAKE) --no-print-directory deps PACKAGES="$(WINDOWS_PACKAGES) $(WINDOWS_EXTRA_PACKAGES)"
	cmake -S . -B $(WINDOWS32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake $(WINDOWS_CMAKE) \
	  -DSETUP=$(CURDIR)/$(WINDOWS_BUILD)/Bitlicht-$(VERSION)-Setup.exe
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(WINDOWS_CMAKE) \
	  -DPROGRAM32=$(CURDIR)/$(WINDOWS32_BUILD)/bitlicht.exe

# $(WINDOWS_BUILD)/Bitlicht-$(VERSION)-Setup.exe, with both programs.
windows-installer: windows
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target windows_installer

# For a look: the program under Wine, in a Wine prefix of its own.
run-windows: windows
	WINEPREFIX=$(CURDIR)/$(WINDOWS_BUILD)/wine/run WINEDEBUG=-all $(WINE64) $(WINDOWS_BUILD)/bitlicht.exe

# The Windows tests under Wine in Xvfb, of both programs (part of make test;
# the real-window driver and the simulated Arduino come from the Linux build,
# the setup program that the 32-bit tests install from the 64-bit build).
test-windows: WINDOWS_EXTRA_PACKAGES := $(WINDOWS_TEST_PACKAGES)
test-windows: windows-configure
	cmake --build $(WINDOWS32_BUILD) -j $(JOBS)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(WINDOWS32_BUILD) && ctest --output-on-failure -j $(JOBS)

# Speed and memory against Qt's own floor (see README, Performance).
bench:
	$(MAKE) --no-print-directory deps PACKAGES="$(RUN_PACKAGES) $(TEST_PACKAGES) libbenchmark-dev libxcb1-dev"
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DBITLICHT_BENCH=ON -DBUILD_TESTING=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target bitlicht bench_bitlicht emptywindow textwindow mapwait fake_ieee1284
	mkdir -p -m 700 $(BENCH_BUILD)/runtime
	cd $(BENCH_BUILD) && export XDG_RUNTIME_DIR=$(CURDIR)/$(BENCH_BUILD)/runtime \
	  LD_LIBRARY_PATH=$(CURDIR)/$(BENCH_BUILD)/tests/fakeport && \
	  QT_QPA_PLATFORM=offscreen ./bench/bench_bitlicht --benchmark_min_time=1 && \
	  xvfb-run -a -s "-screen 0 1024x768x24" $(CURDIR)/bench/startup.sh bench/mapwait ./bitlicht bench/emptywindow bench/textwindow 11
	$(MAKE) --no-print-directory windows-configure WINDOWS_EXTRA_PACKAGES=xvfb
	set -e; for w in "$(WINDOWS_BUILD) $(WINE64) win64" "$(WINDOWS32_BUILD) $(WINE32) win32"; do \
	  set -- $$w; \
	  cmake -S . -B $$1 -DBITLICHT_BENCH=ON; \
	  cmake --build $$1 -j $(JOBS) --target bitlicht controlswindow_win32; \
	  WINEPREFIX=$(CURDIR)/$$1/wine/bench WINEARCH=$$3 xvfb-run -a -s "-screen 0 1024x768x24" \
	    bench/startup_win32.sh $(BENCH_BUILD)/bench/mapwait $$2 $$1/bitlicht.exe \
	    $$1/bench/controlswindow_win32.exe 11; \
	done

# Fuzzes LED file decoding for FUZZ_SECONDS; new inputs go to $(FUZZ_BUILD)/corpus.
fuzz:
	$(MAKE) --no-print-directory deps PACKAGES="$(RUN_PACKAGES) clang-14 libclang-rt-14-dev"
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DBITLICHT_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_ledimage
	mkdir -p $(FUZZ_BUILD)/corpus
	QT_QPA_PLATFORM=offscreen $(FUZZ_BUILD)/fuzz_ledimage -max_total_time=$(FUZZ_SECONDS) \
	  -rss_limit_mb=4096 -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus tests/fuzz/corpus

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	@test -f $(BUILD)/install_manifest.txt || { echo "nothing installed from $(BUILD)"; exit 1; }
	xargs -r -d '\n' rm -f -- < $(BUILD)/install_manifest.txt
	-rmdir --ignore-fail-on-non-empty $(PREFIX)/lib/bitlicht

package: PACKAGES := $(RUN_PACKAGES) dpkg-dev
package: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD)

# In the browser: build-web/bitlicht.html, one self-contained page built with
# Debian's emscripten, and its tests in Debian's headless chromium (driven by
# an npm package pinned in tests/web/, installed into the build tree).
WEB_BUILD ?= build-web
WEB_PACKAGES := emscripten chromium libstb-dev doctest-dev $(NPM_PACKAGE) \
                simavr libsimavr-dev # the Arduino proof in the page
WEB_PORT ?= 8026
# Debian's emcc runs acorn from /usr/share/nodejs, where a Node.js of another
# origin does not look.
WEB_ENV := NODE_PATH=/usr/share/nodejs
.PHONY: web web-configure run-web test-web

web-configure:
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=MinSizeRel

web: web-configure
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS) --target bitlicht

run-web: web
	@echo "Bitlicht: http://127.0.0.1:$(WEB_PORT)/bitlicht.html"
	cd $(WEB_BUILD) && python3 -m http.server $(WEB_PORT) --bind 127.0.0.1

test-web: web-configure
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)
	cd $(WEB_BUILD) && $(WEB_ENV) ctest --output-on-failure -j $(JOBS)
