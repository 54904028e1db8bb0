# The two set-up commands of this project. Both install what is missing, build, and lay out the
# compiler folder; `run` then starts the editor, `test` runs the whole suite.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test setup

run: setup
	./$(BUILD)/tervelle

test: setup
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

setup:
	scripts/bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)
	scripts/setup-iscc $(BUILD)
