# make        builds build/bin/lumivane.exe (and the tests)
# make test   builds and runs every test under Wine on a private display
# make bench  builds and prints the benchmark figures
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure test bench clean

all: configure
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@sh cmake/deps.sh

configure: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release

test: all
	cd $(BUILD) && ctest --output-on-failure

# Only the figures go to the output: the build's own chatter goes to a log.
bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target lumivane_bench >$(BUILD)/bench-build.log 2>&1 \
		|| { cat $(BUILD)/bench-build.log; exit 1; }
	@sh cmake/testenv.sh setup $(BUILD) >/dev/null
	@cd $(BUILD) && ../cmake/wine-run.sh bin/lumivane_bench.exe; rc=$$?; \
		sh ../cmake/testenv.sh teardown . ; exit $$rc

clean:
	rm -rf $(BUILD)
