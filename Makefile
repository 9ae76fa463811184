# Set-up, build and test in two commands: `make run` and `make test`.
# Every target installs what is missing from Debian's packages first.
# `make install` (PREFIX, DESTDIR) and `make package` (a .deb) install the program
# like any other desktop program.

BUILD     ?= build
SANBUILD  ?= build-sanitize
FUZZBUILD ?= build-fuzz
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= fuzz_calendar_file fuzz_tally fuzz_bulk_day fuzz_settings_file

# The tests validate the desktop entry and metainfo, run the installed program
# without root's power over read-only folders (setpriv), trace a save's system
# calls to see it synced (strace), read the printed PDF's text and pictures
# (poppler-utils) and switch Qt's accessibility on as a screen reader would
# (qt6-base-private-dev).
PACKAGES      = cmake make g++ qt6-base-dev qt6-qpa-plugins libgl-dev fonts-noto-cjk qt6-translations-l10n \
                desktop-file-utils appstream util-linux strace poppler-utils qt6-base-private-dev
# The start-up benchmark runs the program under a virtual X display and counts
# its instructions under callgrind.
BENCH_PACKAGES   = libbenchmark-dev xvfb valgrind
FUZZ_PACKAGES    = clang libclang-rt-14-dev
# dpkg-shlibdeps finds the package's dependencies; it needs `file`.
PACKAGE_PACKAGES = dpkg-dev file

PREFIX  ?= /usr/local
DESTDIR ?=

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test build sanitize bench fuzz deps bench-deps fuzz-deps package-deps install package help-picture glyph-pictures clean

define install_missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

bench-deps: deps
	$(call install_missing,$(BENCH_PACKAGES))

fuzz-deps: deps
	$(call install_missing,$(FUZZ_PACKAGES))

package-deps: deps
	$(call install_missing,$(PACKAGE_PACKAGES))

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHIBI_WERROR=ON

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The program keeps its files beside itself: it runs from its own folder, so a
# rebuild or `make clean` never touches the calendars.
RUNDIR ?= run

run: build
	mkdir -p $(RUNDIR)
	cp --remove-destination $(BUILD)/src/app/hibisi $(RUNDIR)/hibisi
	cd $(RUNDIR) && ./hibisi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The same tests, fuzz replays included, built with AddressSanitizer and
# UndefinedBehaviorSanitizer in a folder of their own; the first error ends the
# test that hit it. tests/CMakeLists.txt gives the tests their sanitizer options
# and the leak suppressions of tests/lsan.supp. No benchmarks here.
$(SANBUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(SANBUILD) -DCMAKE_BUILD_TYPE=Debug -DHIBI_SANITIZE=ON -DHIBI_BENCH=OFF -DHIBI_WERROR=ON

sanitize: deps $(SANBUILD)/CMakeCache.txt
	cmake --build $(SANBUILD) -j $(JOBS)
	cd $(SANBUILD) && ctest --output-on-failure -j $(JOBS)

bench: bench-deps $(BUILD)/CMakeCache.txt
	cmake -S . -B $(BUILD) -DHIBI_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	@for b in $(BUILD)/bench/bench_*; do if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b"; fi; done

fuzz: fuzz-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHIBI_FUZZ=ON -DHIBI_BENCH=OFF -DHIBI_TESTS=OFF
	cmake --build $(FUZZBUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@# The targets that go through files write them to memory when /dev/shm is there.
	@scratch=$$(mktemp -d /dev/shm/hibi-fuzz.XXXXXX 2>/dev/null || mktemp -d); trap 'rm -rf "$$scratch"' EXIT; \
	for name in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZBUILD)/corpus/$$name; \
	  echo "== $$name for $(FUZZ_SECONDS) s"; \
	  TMPDIR=$$scratch ASAN_OPTIONS=quarantine_size_mb=64 \
	    $(FUZZBUILD)/fuzz/$$name -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -timeout=2 -rss_limit_mb=2048 \
	      -print_final_stats=1 -artifact_prefix=$(FUZZBUILD)/$$name- \
	      $(FUZZBUILD)/corpus/$$name fuzz/seeds/$$name fuzz/regressions/$$name || exit 1; \
	done

# make install PREFIX=/usr DESTDIR=/tmp/root: the program, its desktop entry,
# icons and metainfo below $(DESTDIR)$(PREFIX).
install: build
	DESTDIR='$(DESTDIR)' cmake --install $(BUILD) --prefix '$(PREFIX)'

# A Debian package in $(BUILD)/, installed below /usr: apt install ./hibisi_*.deb
package: package-deps build
	cd $(BUILD) && cpack -G DEB
	@ls -1 $(BUILD)/*.deb

# The pictures of the main window and the year chart in the help, drawn by the
# real windows offscreen.
help-picture: build
	cmake --build $(BUILD) --target grab_mainwindow grab_yearchart
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/grab_mainwindow src/about/help/mainwindow.png
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/grab_yearchart src/about/help/yearchart.png

# The glyphs of the close, OK and cancel buttons.
glyph-pictures: build
	cmake --build $(BUILD) --target draw_glyphs
	$(BUILD)/tools/draw_glyphs src/components/glyphs

clean:
	rm -rf $(BUILD) $(SANBUILD) $(FUZZBUILD)
