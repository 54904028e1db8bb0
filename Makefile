# The two set-up commands of this project. Both install what is missing, build, and lay out the
# compiler folder; `run` then starts the editor, `test` runs the whole suite.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# CI builds with warnings as errors; a developer's build only shows them.
WERROR ?= $(if $(CI),ON,OFF)
# Compiles through ccache when it is installed (its cache is in ~/.cache/ccache, outside the
# clone), so a second build on the same machine is quick; without it, a plain build. Read when
# the recipe runs, after scripts/bootstrap may have installed it.
LAUNCHER = -DCMAKE_CXX_COMPILER_LAUNCHER=$$(command -v ccache || true)

.PHONY: run test setup bench deb

run: setup
	./$(BUILD)/tervelle

test: setup
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The Debian package of what `setup` built: $(BUILD)/tervelle_<version>_<arch>.deb.
deb: setup
	cd $(BUILD) && cpack -G DEB

# The benchmarks are left out here; `make bench` builds them in a folder of their own.
setup:
	scripts/bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTERVELLE_WERROR=$(WERROR) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
	      -DTERVELLE_BENCH=OFF $(LAUNCHER)
	cmake --build $(BUILD) -j$(JOBS)
	scripts/setup-iscc $(BUILD)

# Every benchmark under bench/, built in Release in its own folder, run in one go; prints each
# program's results, then the medians and the ratios to their baselines (scripts/bench-report),
# and ends with every figure beside its goal (scripts/bench-table).
# The build benchmark compiles with the real compiler in a Wine prefix of its own.
BENCH_BUILD ?= build-release
# The crafted files of the memory figures at full size (about 1 GB on disk while they run);
# `make bench MEMORY_SCALE=0.1` for a quicker look. A quick pass through every step:
# `make bench BENCH_REPETITIONS=1 BENCH_MIN_TIME=0 STARTUP_RUNS=1 MEMORY_SCALE=0.01`.
MEMORY_SCALE ?= 1
STARTUP_RUNS ?= 21
bench:
	scripts/bootstrap
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DTERVELLE_BENCH=ON -DTERVELLE_WERROR=$(WERROR) $(LAUNCHER)
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target benchmarks
	scripts/setup-iscc $(BENCH_BUILD)
	scripts/make-wineprefix $(abspath $(BENCH_BUILD))/wineprefix
	@# A failed step does not hide the figures of the others; make fails at the end, naming it.
	@# Each step's output is also kept in $(BENCH_BUILD)/bench-output for the table of goals.
	@out=$(BENCH_BUILD)/bench-output; mkdir -p $$out; rm -f $$out/failed; \
	{ WINEPREFIX=$(abspath $(BENCH_BUILD))/wineprefix scripts/bench-report $(BENCH_BUILD) || echo bench-report >> $$out/failed; } | tee $$out/bench-report.txt; \
	scripts/make-wineprefix $(abspath $(BENCH_BUILD))/wineprefix --stop; \
	{ bench/startup/run-startup $(BENCH_BUILD) $(STARTUP_RUNS) || echo run-startup >> $$out/failed; } | tee $$out/startup.txt; \
	{ bench/memory/run-memory $(BENCH_BUILD) --scale $(MEMORY_SCALE) || echo run-memory >> $$out/failed; } | tee $$out/memory.txt; \
	scripts/bench-table $$out; \
	if [ -s $$out/failed ]; then echo "make bench: failed:" $$(cat $$out/failed) "(see above)" >&2; exit 1; fi
