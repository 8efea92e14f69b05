# The README's two commands: `make run` and `make test`.
BUILD    ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
FUZZ_SECONDS ?= 60
JOBS     ?= $(shell nproc)
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Debian 12's packages, in groups by what needs them (tools/packages.sh):
# building and running; the Linux tests (the emulated PC and Raspberry Pi,
# the Arduino's firmware in its simulator, fetched once with npm unless a
# Node.js with its own npm is there); the Windows build; the 64-bit and the
# 32-bit Wine tests (the 32-bit Wine, through i386 multiarch, also runs the
# setup program, which is 32-bit). A group that cannot be installed stops
# only what needs it: its tests are skipped and say why, and make test's
# last lines name them. To see that path: make test GROUP_wine32=no-such-package
NPM_PACKAGE := $(if $(shell command -v npm 2>/dev/null),,npm)
GROUP_build         := cmake g++ make qt6-base-dev qt6-qpa-plugins qt6-translations-l10n \
                       fonts-liberation libieee1284-3 doctest-dev
GROUP_linux-tests   := xvfb xauth xdotool desktop-file-utils appstream dpkg-dev qemu-system-x86 cpio \
                       qemu-system-arm g++-aarch64-linux-gnu simavr libsimavr-dev $(NPM_PACKAGE)
GROUP_windows-build := cmake make g++ g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix nsis wixl msitools \
                       doctest-dev
GROUP_wine64        := wine64 xvfb xauth xdotool
GROUP_wine32        := wine32:i386
GROUP_web           := emscripten chromium libstb-dev doctest-dev $(NPM_PACKAGE)
GROUP_package       := dpkg-dev
GROUP_bench         := libbenchmark-dev libxcb1-dev xvfb xauth
GROUP_fuzz          := clang-14 libclang-rt-14-dev
# Where the set-up names the groups it could not install, with apt's reason.
UNAVAILABLE := $(CURDIR)/$(BUILD)/unavailable
# $(call install,GROUP GROUP? ...): installs the groups; one named with "?"
# may fail without stopping make.
install = sh tools/packages.sh $(UNAVAILABLE) $(foreach g,$(1),$(g) "$(GROUP_$(subst ?,,$(g)))")
GROUPS   ?= build
TARGET   ?= all

PREFIX   ?= /usr/local

# Windows: cross-built with mingw-w64 as a 64-bit and a 32-bit program, tried
# and tested under Wine (the 32-bit one under Debian's 32-bit Wine, i386).
WINDOWS_BUILD ?= build-windows
WINDOWS32_BUILD ?= build-windows32
WINE64 := $(or $(shell command -v wine64 2>/dev/null),/usr/lib/wine/wine64)
WINE32 := /usr/lib/wine/wine

.PHONY: all deps configure build run test test-sanitizers test-port bench fuzz install uninstall package clean \
        windows windows-configure windows-installer windows-portable windows-msi run-windows test-windows \
        test-windows-built

all: build

deps:
	@$(call install,$(GROUPS))

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUNAVAILABLE_DIR=$(UNAVAILABLE)

build: configure
	cmake --build $(BUILD) -j $(JOBS) --target $(TARGET)

run: TARGET := bitlicht
run: build
	$(BUILD)/bitlicht

# The whole suite, then again built with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer (a shorter long run there: it is slower), then
# the Windows programs under Wine, then the page in a browser; last, what was
# skipped and why.
test test-sanitizers test-port: GROUPS := build linux-tests?
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-sanitizers
	$(MAKE) --no-print-directory test-windows
	$(MAKE) --no-print-directory test-web
	@sh tools/test-summary.sh $(UNAVAILABLE) $(BUILD) $(SANITIZE_BUILD) $(WINDOWS_BUILD) $(WINDOWS32_BUILD) \
	  $(WEB_BUILD)

test-sanitizers: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBITLICHT_SANITIZE=ON \
	  -DUNAVAILABLE_DIR=$(UNAVAILABLE)
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
                -DHOST_FIRMATA_BOARD=$(CURDIR)/$(BUILD)/tests/firmata/board -DUNAVAILABLE_DIR=$(UNAVAILABLE)
windows-configure:
	$(MAKE) --no-print-directory deps GROUPS="windows-build $(WINDOWS_EXTRA_GROUPS)"
	cmake -S . -B $(WINDOWS32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake $(WINDOWS_CMAKE) \
	  -DPACKAGES=$(CURDIR)/$(WINDOWS_BUILD)
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(WINDOWS_CMAKE) \
	  -DPROGRAM32=$(CURDIR)/$(WINDOWS32_BUILD)/bitlicht.exe

# In $(WINDOWS_BUILD), for version V: Bitlicht-V-Setup.exe and
# Bitlicht-V-portabel.zip, each with both programs;
# Bitlicht-V.msi (64 bit) and Bitlicht-V-32bit.msi.
windows-installer windows-portable windows-msi: windows
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target $(subst -,_,$@)

# For a look: the program under Wine, in a Wine prefix of its own.
run-windows: windows
	WINEPREFIX=$(CURDIR)/$(WINDOWS_BUILD)/wine/run WINEDEBUG=-all $(WINE64) $(WINDOWS_BUILD)/bitlicht.exe

# The Windows tests under Wine in Xvfb, of both programs (part of make test;
# the real-window driver and the simulated Arduino come from the Linux build,
# the setup program and the packages that the 32-bit tests install from the
# 64-bit build).
# Without the Windows build's packages, all of this is skipped, saying why;
# without a width's Wine, that width's tests are.
test-windows:
	@$(call install,windows-build? wine64? wine32?)
	@if [ -e $(UNAVAILABLE)/windows-build ]; then \
	  echo "Skipped: the Windows build and its tests: group windows-build could not be installed"; \
	else $(MAKE) --no-print-directory test-windows-built; fi

test-windows-built: windows-configure
	cmake --build $(WINDOWS32_BUILD) -j $(JOBS)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(WINDOWS32_BUILD) && ctest --output-on-failure -j $(JOBS)

# Speed and memory against Qt's own floor, and the page against a static
# page of the same controls (see README, Performance).
bench:
	$(MAKE) --no-print-directory deps GROUPS="build linux-tests bench"
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DBITLICHT_BENCH=ON -DBUILD_TESTING=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target bitlicht bench_bitlicht emptywindow textwindow mapwait fake_ieee1284
	mkdir -p -m 700 $(BENCH_BUILD)/runtime
	cd $(BENCH_BUILD) && export XDG_RUNTIME_DIR=$(CURDIR)/$(BENCH_BUILD)/runtime \
	  LD_LIBRARY_PATH=$(CURDIR)/$(BENCH_BUILD)/tests/fakeport && \
	  QT_QPA_PLATFORM=offscreen ./bench/bench_bitlicht --benchmark_min_time=1 && \
	  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" $(CURDIR)/bench/startup.sh bench/mapwait ./bitlicht bench/emptywindow bench/textwindow 11
	$(MAKE) --no-print-directory bench-web
	$(MAKE) --no-print-directory windows-configure WINDOWS_EXTRA_GROUPS="wine64? wine32?"
	set -e; for w in "$(WINDOWS_BUILD) $(WINE64) win64" "$(WINDOWS32_BUILD) $(WINE32) win32"; do \
	  set -- $$w; \
	  [ -x "$$2" ] || { echo "Skipped: the $$3 figures: $$2 is missing"; continue; }; \
	  cmake -S . -B $$1 -DBITLICHT_BENCH=ON; \
	  cmake --build $$1 -j $(JOBS) --target bitlicht controlswindow_win32; \
	  WINEPREFIX=$(CURDIR)/$$1/wine/bench WINEARCH=$$3 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
	    bench/startup_win32.sh $(BENCH_BUILD)/bench/mapwait $$2 $$1/bitlicht.exe \
	    $$1/bench/controlswindow_win32.exe 11; \
	done

# Fuzzes LED file decoding for FUZZ_SECONDS; new inputs go to $(FUZZ_BUILD)/corpus.
fuzz:
	$(MAKE) --no-print-directory deps GROUPS="build fuzz"
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

package: GROUPS := build package
package: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD)

# In the browser: build-web/bitlicht.html, one self-contained page built with
# Debian's emscripten, and its tests in Debian's headless chromium (driven by
# an npm package pinned in tests/web/, installed into the build tree).
WEB_BUILD ?= build-web
WEB_PORT ?= 8026
# Debian's emcc runs acorn from /usr/share/nodejs, where a Node.js of another
# origin does not look.
WEB_ENV := NODE_PATH=/usr/share/nodejs
.PHONY: web web-configure run-web test-web test-web-built bench-web

web-configure:
	$(MAKE) --no-print-directory deps GROUPS=web
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=MinSizeRel -DUNAVAILABLE_DIR=$(UNAVAILABLE)

web: web-configure
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS) --target bitlicht

# Served on 127.0.0.1, opened in a browser where there is a display.
run-web: web
	python3 web/serve.py $(WEB_BUILD) $(WEB_PORT)

# Part of make test: without the browser's packages, skipped, saying why.
test-web:
	@$(call install,web?)
	@if [ -e $(UNAVAILABLE)/web ]; then \
	  echo "Skipped: the browser's build and its tests: group web could not be installed"; \
	else $(MAKE) --no-print-directory test-web-built; fi

test-web-built: web-configure
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)
	cd $(WEB_BUILD) && $(WEB_ENV) ctest --output-on-failure -j $(JOBS)

# make bench's part in the browser: the page's size, its start-up against a
# static page of the same controls, a toggle's cost on its main thread.
bench-web: web
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS) --target web_driver
	cd $(WEB_BUILD)/tests/web && node $(CURDIR)/bench/web.js $(CURDIR)/$(WEB_BUILD)/bitlicht.html 21
