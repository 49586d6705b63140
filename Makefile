# make demo   builds the program and shows the sample presentation under Wine
# make        builds build/bin/lumivane.exe (and the tests)
# make test   builds and runs every test under Wine on a private display
# make dist   builds the release zip, build/dist/lumivane-VERSION-win32.zip
# make bench  builds and prints the benchmark figures (exe_kib: the size of
#             $(BUILD)/bin/lumivane.exe)
# make preview [PRESENTATION=dir | PAGE=page.html] [SCREEN=WxH]  draws the page into
#             build/preview.png; a PAGE is packed into build/preview-pack first
# make fuzz [FUZZ_SECONDS=60]  fuzzes the pure rules natively with clang in build-fuzz/
BUILD ?= build
JOBS ?= $(shell nproc)
TOOLCHAIN ?= i686

.PHONY: all deps configure demo test bench preview fuzz clean

all: configure
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@sh cmake/deps.sh

configure: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-$(TOOLCHAIN).cmake -DCMAKE_BUILD_TYPE=Release

# The program and the sample in $(BUILD)/demo, run under Wine (see cmake/demo.sh).
# Where the machine runs no 32-bit programs, the 64-bit build runs instead.
demo: configure
	@sh cmake/deps.sh demo
	@cmake --build $(BUILD) -j $(JOBS) --target lumivane >$(BUILD)/demo-build.log 2>&1 \
		|| { cat $(BUILD)/demo-build.log; exit 1; }
	@b=$(BUILD); if [ "$$(sh cmake/test-arch.sh)" != i686 ]; then b=$(BUILD)-x64; \
		echo "demo: this machine runs no 32-bit programs: running the 64-bit build of $$b"; \
		$(MAKE) --no-print-directory BUILD=$$b TOOLCHAIN=x86_64 configure >/dev/null && \
		cmake --build $$b -j $(JOBS) --target lumivane >$$b/demo-build.log 2>&1 \
		|| { cat $$b/demo-build.log; exit 1; }; fi; \
	sh cmake/demo.sh $(BUILD) $$b

# Where the machine runs no 32-bit programs, the tests run a 64-bit build of the
# same code in $(BUILD)-x64; the 32-bit program is still built in $(BUILD).
test: all
	@if [ "$$(sh cmake/test-arch.sh)" = i686 ]; then \
		cd $(BUILD) && ctest --output-on-failure; \
	else \
		echo "This machine runs no 32-bit programs: testing a 64-bit build in $(BUILD)-x64"; \
		$(MAKE) --no-print-directory BUILD=$(BUILD)-x64 TOOLCHAIN=x86_64 all && \
		cd $(BUILD)-x64 && ctest --output-on-failure; \
	fi

# Only the figures go to the output: the build's own chatter goes to a log.
bench: configure
	@b=$(BUILD); [ "$$(sh cmake/test-arch.sh)" = i686 ] || { b=$(BUILD)-x64; \
		$(MAKE) --no-print-directory BUILD=$$b TOOLCHAIN=x86_64 configure >/dev/null; }; \
	cmake --build $$b -j $(JOBS) --target lumivane_bench >$$b/bench-build.log 2>&1 \
		|| { cat $$b/bench-build.log; exit 1; }; \
	sh cmake/testenv.sh setup $$b >/dev/null; \
	(cd $$b && ../cmake/wine-run.sh bin/lumivane_bench.exe); rc=$$?; \
	sh cmake/testenv.sh teardown $$b; \
	cmake --build $(BUILD) -j $(JOBS) --target lumivane >$(BUILD)/bench-build.log 2>&1 \
		|| { cat $(BUILD)/bench-build.log; exit 1; }; \
	awk -v bytes=$$(wc -c <$(BUILD)/bin/lumivane.exe) 'BEGIN { printf "exe_kib %.3f\n", bytes / 1024 }'; \
	exit $$rc

# Cross-built and packed without running anything, so the 32-bit zip is made
# on any machine. A build configured before the zip target existed learns of it
# by configuring again.
.PHONY: dist
dist: configure
	@{ cmake -S . -B $(BUILD) && cmake --build $(BUILD) -j $(JOBS) --target lumivane_dist; } \
		>$(BUILD)/dist-build.log 2>&1 || { cat $(BUILD)/dist-build.log; exit 1; }
	@for zip in $(BUILD)/dist/*.zip; do echo "dist: $$zip ($$(wc -c <$$zip) bytes)"; done

# The page that lumivane-author builds, drawn by headless Chromium. Without a
# PRESENTATION it is the sample; the tool runs from the build the machine can run.
PRESENTATION ?=
PAGE ?=
SCREEN ?= 1280x720
preview: configure
	@sh cmake/deps.sh demo
	@b=$(BUILD); [ "$$(sh cmake/test-arch.sh)" = i686 ] || { b=$(BUILD)-x64; \
		$(MAKE) --no-print-directory BUILD=$$b TOOLCHAIN=x86_64 configure >/dev/null; }; \
	cmake --build $$b -j $(JOBS) --target lumivane-author >$$b/preview-build.log 2>&1 \
		|| { cat $$b/preview-build.log; exit 1; }; \
	sh cmake/preview.sh $$b "$(PRESENTATION)" "$(SCREEN)" $(BUILD)/preview.png "$(PAGE)"

# Each target runs FUZZ_SECONDS; an input that finds something stays in build-fuzz/.
FUZZ_SECONDS ?= 60
fuzz: deps
	@sh cmake/fuzz.sh build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD)-x64 build-fuzz
