# Convenience front end to CMake.  `make test` builds everything and runs the
# whole test suite; `make test-asan` does the same under the sanitizers.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan

.PHONY: all build test test-asan clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DORBIKA_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

# `make demo` builds the program, runs it on the sample day in examples/,
# writes the table to $(BUILD)/demo/orbika.txt, shows its head, and plots the
# precise-minus-broadcast differences to $(BUILD)/demo/differences.png
# (needs gnuplot).
DEMO = $(abspath $(BUILD))/demo
.PHONY: demo
demo:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) --target Orbika -j $(JOBS)
	mkdir -p $(DEMO)
	cd examples && $(abspath $(BUILD))/Orbika -enbrdc1360.24n -egbrdc1360.24g \
	  -eporb23143.sp3 -pvorbika.atx > $(DEMO)/orbika.txt
	head -n 20 $(DEMO)/orbika.txt
	tools/plot-differences $(DEMO)/orbika.txt $(DEMO)/differences.png
	@echo "Table: $(DEMO)/orbika.txt  Plot: $(DEMO)/differences.png"
