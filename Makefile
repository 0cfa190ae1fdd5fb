# Entry points: make demo | make test | make dll. Each sets up what it needs first.
NATIVE := out/native
WIN32  := out/win32
JOBS   ?= $(shell nproc)

.PHONY: setup native win32 dll demo test test-native test-win32 bench clean

setup:
	@bash scripts/setup.sh

native: setup
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win32: setup
	@cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw32.cmake >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

dll: win32
	@ls -l $(WIN32)/Zunk_LogoDetector.dll

demo: native
	@$(NATIVE)/tools/host/zunk-host

test: native win32
	@bash scripts/run-tests.sh

bench: native
	@$(NATIVE)/bench/zunk-bench

clean:
	rm -rf out
