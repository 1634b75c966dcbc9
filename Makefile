# Norvane: `make run` and `make test` do all the set-up on a fresh Debian 12 machine.

BUILD      ?= build
ASAN_BUILD ?= build-asan
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
ARGS       ?=


.PHONY: all deps build build-asan test run bench clean

all: build

deps:
	@./scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DNORVANE_WERROR=ON >/dev/null
	@cmake --build $(BUILD)

build-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DNORVANE_SANITIZE=ON -DNORVANE_WERROR=ON >/dev/null
	@cmake --build $(ASAN_BUILD)

# The whole suite in the normal build, then again under the sanitizers.
test: build build-asan
	cd $(BUILD) && ctest --output-on-failure -j2
	cd $(ASAN_BUILD) && ctest --output-on-failure -j2

# The desktop program on the user's display; ARGS names a PGN file to open.
run: build
	./$(BUILD)/norvane $(ARGS)

bench: build
	./bench/perft-vs-peer.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
