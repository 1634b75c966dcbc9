# Norvane: `make run` and `make test` do all the set-up on a fresh Debian 12 machine, in any
# order and when repeated.

BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
ARGS       ?=

# The generator is chosen when a recipe runs, after install-deps has provided ninja: a build
# folder keeps the generator it was first configured with, a new one gets Ninja.
CONFIGURE = ./scripts/configure

.PHONY: all deps build build-asan test test-tsan run bench package clean

all: build

deps:
	@./scripts/install-deps

build: deps
	@$(CONFIGURE) $(BUILD) -DCMAKE_BUILD_TYPE=Release -DNORVANE_WERROR=ON
	@cmake --build $(BUILD)

build-asan: deps
	@$(CONFIGURE) $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DNORVANE_SANITIZE=ON -DNORVANE_WERROR=ON
	@cmake --build $(ASAN_BUILD)

# The whole suite in the normal build, then again under the sanitizers, then the tests of the
# threaded passes under ThreadSanitizer.
test: build build-asan
	cd $(BUILD) && ctest --output-on-failure -j2
	cd $(ASAN_BUILD) && ctest --output-on-failure -j2
	@$(MAKE) --no-print-directory test-tsan

# The tests that run work on other threads, built with ThreadSanitizer: the record tests of
# the threaded passes (the small files only: the large ones take minutes under it, and add no
# other kind of cut), the engine tests that search on one thread while another makes SAN,
# searches or ends a ponder, the game review's engines on several threads, and the desktop's
# background work and engine think (headless).
# Qt's own libraries are not instrumented: tests/tsan.supp says what of theirs is set aside.
TSAN_RUN = TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp"
TSAN_DESKTOP = QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(CURDIR)/$(TSAN_BUILD)/test-runtime
test-tsan: deps
	@$(CONFIGURE) $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORVANE_TSAN=ON -DNORVANE_WERROR=ON
	@cmake --build $(TSAN_BUILD) --target test_records test_engine test_review test_app test_view
	$(TSAN_RUN) ./$(TSAN_BUILD)/test_records --gtest_filter='ThreadedPasses.*-ThreadedPasses.Large*'
	$(TSAN_RUN) ./$(TSAN_BUILD)/test_engine --gtest_filter='ConcurrentSearch.*:EngineSearchTest.*:Analysis.Pondering*'
	$(TSAN_RUN) ./$(TSAN_BUILD)/test_review --gtest_filter='Reviewer.*'
	$(TSAN_RUN) $(TSAN_DESKTOP) NORVANE_TEST_CLASSES=BackgroundTaskTest,ExplorerTest,GameListColumnsTest ./$(TSAN_BUILD)/test_app
	$(TSAN_RUN) $(TSAN_DESKTOP) NORVANE_TEST_CLASSES=ThinkTest ./$(TSAN_BUILD)/test_view

# The desktop program on the user's display; ARGS names a PGN file to open. Without a
# display it says so in one line (and nothing else) instead of letting Qt abort.
run: build
	@if [ -z "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}$${QT_QPA_PLATFORM:-}" ]; then \
	    echo "make run: no display (DISPLAY and WAYLAND_DISPLAY are unset): $(BUILD)/norvane is built but not started"; \
	else \
	    ./$(BUILD)/norvane $(ARGS); \
	fi

bench: build
	./bench/perft-vs-peer.sh

# The Debian package, written into $(BUILD): install it with `apt install ./$(BUILD)/norvane_*.deb`.
package: build
	@cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)
