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

# pexmoor.exe for 64-bit Windows, cross-built with mingw-w64 into build-windows
windows:
	cmake --no-warn-unused-cli -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build build-windows -j $(JOBS) --target pexmoor

clean:
	rm -rf build build-asan build-windows
