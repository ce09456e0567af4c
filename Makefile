# Convenience front end to CMake.  `make test` builds everything, runs the
# whole test suite and ends with a line saying how many tests were skipped
# and why (tools/skip-summary); `make test-asan` does the same under the sanitizers.
# Each target first installs the Debian packages it needs when they are
# missing and this user may (tools/install-deps; ORBIKA_NO_INSTALL=1 stops it).
JOBS ?= $(shell nproc)
# The builds that cmake starts are make runs of their own: without this each
# would announce every folder it enters.
MAKEFLAGS += --no-print-directory
BUILD ?= build
ASAN_BUILD ?= build-asan
DEB_BUILD ?= build-deb

.PHONY: all build test test-asan deb clean

all: build

build:
	@tools/install-deps build
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test:
	@tools/install-deps test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)
	@cd $(BUILD) && { ctest --output-on-failure -j $(JOBS) --output-junit ctest-results.xml; \
	  status=$$?; $(CURDIR)/tools/skip-summary ctest-results.xml; exit $$status; }

test-asan:
	@tools/install-deps test
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DORBIKA_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && { ctest --output-on-failure -j $(JOBS) --output-junit ctest-results.xml; \
	  status=$$?; $(CURDIR)/tools/skip-summary ctest-results.xml; exit $$status; }

deb:
	@tools/install-deps build
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DORBIKA_TESTS=OFF
	cmake --build $(DEB_BUILD) --target Orbika OrbikaStats -j $(JOBS)
	cd $(DEB_BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(DEB_BUILD)

# `make demo` builds the program, runs it on the sample day in examples/,
# writes the table to $(BUILD)/demo/orbika.txt, shows its head and the
# statistics of its precise-minus-broadcast differences, and plots them to
# $(BUILD)/demo/differences.png.
# Without gnuplot (GNUPLOT names another program) it skips the plot and says
# which package draws it.
DEMO = $(abspath $(BUILD))/demo
GNUPLOT ?= gnuplot
export GNUPLOT
.PHONY: demo
demo:
	@tools/install-deps build
	@tools/install-deps --quiet plot
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) --target Orbika OrbikaStats -j $(JOBS)
	mkdir -p $(DEMO)
	cd examples && $(abspath $(BUILD))/Orbika -enbrdc1360.24n -egbrdc1360.24g \
	  -eporb23143.sp3 -pvorbika.atx > $(DEMO)/orbika.txt
	head -n 20 $(DEMO)/orbika.txt
	$(BUILD)/OrbikaStats $(DEMO)/orbika.txt
	@echo "Table: $(DEMO)/orbika.txt"
	@if command -v "$(GNUPLOT)" > /dev/null 2>&1; then \
	  tools/plot-differences $(DEMO)/orbika.txt $(DEMO)/differences.png && \
	  echo "Plot: $(DEMO)/differences.png"; \
	else \
	  echo "Plot: not drawn, gnuplot is missing: install the Debian package gnuplot-nox (apt-get install gnuplot-nox) and run make demo again"; \
	fi
