# Quick start:  make run   (build and start the program)
#               make test  (build and run every test)
BUILD ?= build
SANITIZE ?= OFF
JOBS ?= $(shell nproc)

.PHONY: run test build bench clean windows

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DPEXMOOR_SANITIZE=$(SANITIZE)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/pexmoor

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD)/pexmoor_bench

clean:
	rm -rf build build-asan build-windows
