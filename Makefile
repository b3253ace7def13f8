# Entry points for people and CI:
#   make run   builds the program and starts it on the samples folder
#   make test  builds everything and runs the whole test suite
#   make bench runs the benchmarks (build/pikuta-bench) and keeps their figures in build/bench.json,
#              then the key-to-screen figures of the real program on a virtual X server
#   make bench-x11      only the latter
#   make package        builds the Debian package (build/package/pikuta_*.deb)
#   make check-package  builds it, installs it here, starts the installed program on a virtual
#                       X server, closes it and removes the package again (needs root or sudo)
#   make screenshots    retakes the pictures of the user guide (docs/*.png)
#   make test-sanitize  the suite, the program and the metafile renderer built with address and
#                       undefined-behaviour checks in build-sanitize, run without the window tests
#   make soak           five minutes of the real program under Xvfb: a slideshow over 2,000 marked
#                       entries with mode changes and loupe clicks; prints its memory figures
#   make check-windows  cross-compiles the Windows system calls, the GDI metafile renderer and
#                       the Windows packages with MinGW-w64 and checks them under Wine
#                       (tests/windows/check_windows.sh); it draws the icon with the Linux build
#   make lint  checks the names in our sources against .clang-tidy (clang-tidy on the compile
#              commands of the build folder)
#   make fuzz  builds the fuzzing targets with clang in build-fuzz and runs each briefly on a
#              seed corpus made from the samples (FUZZ_SECONDS each)
# All first install the Debian 12 packages below when some are missing.

# Build tools, Qt, the metafile libraries and the renderer's system call filter, the colour
# engine, the X screen-saver library, fonts with Japanese glyphs, strace (a renderer test slows
# the renderer with it), and what the tests drive the real program with (virtual X server,
# window manager, X tools, ImageMagick, the X library and Pillow that read the screen, a private
# session bus with a stand-in screen-saver service, the accessibility bus and its Python client)
# and the free colour profiles their photos carry.
PACKAGES := build-essential cmake ninja-build ccache pkg-config python3 \
	qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins \
	libgl-dev libjpeg-dev libxcb1-dev libx11-dev libxss-dev libgtest-dev googletest \
	libemf2svg-dev libwmf-dev librsvg2-dev libcairo2-dev libseccomp-dev liblcms2-dev strace \
	fonts-ipafont-gothic fonts-urw-base35 \
	xvfb xauth xdotool openbox wmctrl xclip imagemagick x11-utils x11-xserver-utils \
	python3-xlib python3-pil icc-profiles-free dbus python3-dbus python3-gi at-spi2-core python3-pyatspi

# Packaging: the package tools, the validators of the desktop entry and the AppStream metainfo,
# Debian's package checker.
PACKAGE_PACKAGES := dpkg-dev file desktop-file-utils appstream lintian

# Only the benchmarks need these: the JPEG and GIF decoders' own tools, their references.
BENCH_PACKAGES := libjpeg-turbo-progs giflib-tools

BUILD := build
# More CMake settings for the build folders, e.g. CMAKE_ARGS=-DPIKUTA_WERROR=ON
# (warnings as errors, as CI builds).
CMAKE_ARGS ?=
SANITIZE_BUILD := build-sanitize
SANITIZE_FLAGS := -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
# Light optimisation and line tables only keep the build cheap; the compiler's guesses about
# uninitialised values are unreliable in instrumented code (false alarms in <regex>).
SANITIZE_OPT := -O1 -g1 -Wno-maybe-uninitialized
FUZZ_BUILD := build-fuzz
FUZZ_SECONDS := 30
# The renderer target reaches the drawing libraries, whose known crashes and runaway allocations
# stay inside the renderer's own bounded process in the program; there the fuzzer goes on past
# them and leaves each input in the findings folder.
FUZZ_KEEP_GOING := -fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1
SOAK_SECONDS := 300
# Only make check-windows needs these: the cross compiler, Wine, GoogleTest's sources, what
# the check runs with, Qt's headers to compile the adapters against, and what makes and opens
# the Windows packages.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64 wine wine64 cmake ninja-build pkg-config googletest \
	xvfb xauth imagemagick qt6-base-dev nsis unzip

# Only make lint needs the C++ linter.
LINT_PACKAGES := clang-tidy-14

# Only the fuzzing targets need clang and its fuzzing runtime.
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev

.PHONY: run test test-sanitize soak bench bench-x11 build configure packages fuzz package \
	check-package screenshots check-windows lint

run: configure
	cmake --build $(BUILD) --target pikuta
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "make run: there is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set)."; \
		echo "The program is built ($(BUILD)/pikuta). To start it on a virtual X server instead:"; \
		echo "  xvfb-run -a make run"; \
		exit 1; \
	fi
	cd samples && ../$(BUILD)/pikuta

test: build
	cd $(BUILD) && ctest --output-on-failure -j2

package: build
	cd $(BUILD) && cpack

check-package: package
	tools/check_package.sh $(BUILD)

screenshots: build
	PIKUTA_BIN=$(BUILD)/pikuta PIKUTA_SAMPLES=$$PWD/samples /usr/bin/python3 tools/take_screenshots.py docs

bench: configure
	@tools/install_packages.sh $(BENCH_PACKAGES)
	cmake --build $(BUILD) --target pikuta pikuta-bench bench_minimal_qt
	$(BUILD)/pikuta-bench --json $(BUILD)/bench.json
	PIKUTA_BIN=$(BUILD)/pikuta PIKUTA_BENCH=$(BUILD)/pikuta-bench bench/key_to_screen.py

bench-x11: configure
	cmake --build $(BUILD) --target pikuta pikuta-bench
	PIKUTA_BIN=$(BUILD)/pikuta PIKUTA_BENCH=$(BUILD)/pikuta-bench bench/key_to_screen.py

build: configure
	cmake --build $(BUILD)

# The window tests run once, in the plain build; they drive the same code. Kept cheap for CI:
# light optimisation, line tables only, no benchmarks.
test-sanitize: packages
	@if [ ! -f $(SANITIZE_BUILD)/CMakeCache.txt ]; then \
		cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPIKUTA_BENCH=OFF \
			-DCMAKE_CXX_FLAGS_DEBUG="$(SANITIZE_OPT)" -DCMAKE_C_FLAGS_DEBUG="$(SANITIZE_OPT)" \
			-DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_C_FLAGS="$(SANITIZE_FLAGS)" \
			-DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" \
			-DCMAKE_SHARED_LINKER_FLAGS="$(SANITIZE_FLAGS)" $(CMAKE_ARGS); fi
	cmake --build $(SANITIZE_BUILD)
	cd $(SANITIZE_BUILD) && \
		ASAN_OPTIONS=detect_leaks=1:hard_rss_limit_mb=4096:allocator_may_return_null=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2 -LE x11

soak: configure
	cmake --build $(BUILD) --target pikuta
	PIKUTA_BIN=$(BUILD)/pikuta PIKUTA_SAMPLES=$(CURDIR)/samples tools/soak.py $(SOAK_SECONDS)

fuzz: packages
	@tools/install_packages.sh $(FUZZ_PACKAGES)
	@if [ ! -f $(FUZZ_BUILD)/CMakeCache.txt ]; then \
		CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -G Ninja \
			-DPIKUTA_FUZZ=ON -DBUILD_TESTING=OFF -DPIKUTA_METAFILE=OFF; fi
	cmake --build $(FUZZ_BUILD) --target fuzz_picture_io fuzz_metafile fuzz_renderer fuzz_ini_text
	tools/make_fuzz_corpus.sh $(FUZZ_BUILD)/corpus
	@for target in picture_io metafile renderer ini_text; do \
		mkdir -p $(FUZZ_BUILD)/corpus/$$target $(FUZZ_BUILD)/findings; \
		keep_going=; [ $$target = renderer ] && keep_going="$(FUZZ_KEEP_GOING)"; \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
		$(FUZZ_BUILD)/fuzz/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=4096 $$keep_going \
			-artifact_prefix=$(FUZZ_BUILD)/findings/$$target- \
			$(FUZZ_BUILD)/corpus/$$target || exit 1; \
	done
	@echo "fuzz: $$(ls $(FUZZ_BUILD)/findings | wc -l) input(s) in $(FUZZ_BUILD)/findings"

# Our sources only (not the generated ones in the build folder); the compile commands come
# from building, which also makes the generated headers they include. Compiler warnings are
# left to the compiler (CI builds with warnings as errors): clang's differ from GCC's.
lint: build
	@tools/install_packages.sh $(LINT_PACKAGES)
	run-clang-tidy-14 -p $(BUILD) -quiet -j $$(nproc) -extra-arg=-w '$(CURDIR)/(src|tests|bench|dist)/'

check-windows: packages
	@tools/install_packages.sh $(WINDOWS_PACKAGES)
	tests/windows/check_windows.sh

# A build folder made earlier keeps its generator; a new one uses Ninja.
configure: packages
	@if [ -f $(BUILD)/CMakeCache.txt ]; then cmake -S . -B $(BUILD) $(CMAKE_ARGS); \
	else cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS); fi

packages:
	@tools/install_packages.sh $(PACKAGES) $(PACKAGE_PACKAGES)
