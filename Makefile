# The two commands of the README: `make run` and `make test`.
BUILD ?= build
DISK ?=

.PHONY: all test run bench package clean

all:
	scripts/install-deps.sh
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=MinSizeRel
	cmake --build $(BUILD) -j

test:
	scripts/test.sh $(BUILD)

run:
	scripts/run.sh $(BUILD) $(DISK)

clean:
	rm -rf $(BUILD)

package: all
	cd $(BUILD) && cpack -G ZIP

bench:
	scripts/bench.sh $(BUILD)
