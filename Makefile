# Entry points: make demo | make test | make dll. Each sets up what it needs first.
NATIVE := out/native
WIN32  := out/win32
ASAN   := out/asan
JOBS   ?= $(shell nproc)

.PHONY: setup native win32 asan dll demo demo-win32 test bench clean

setup:
	@bash scripts/setup.sh

native: setup
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win32: setup
	@cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw32.cmake >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

# The native tests again with AddressSanitizer and UndefinedBehaviorSanitizer.
asan: setup
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DZUNK_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)

dll: win32
	@ls -l $(WIN32)/Zunk_LogoDetector.dll

demo: native
	@$(NATIVE)/tools/host/zunk-host

# The same run with the Windows build under Wine (ffmpeg decodes outside Wine).
demo-win32: win32
	@mkdir -p out/demo-win32
	@scripts/run-host-win32.sh data/sample/sample.mp4 --settings data/sample/Zunk_LogoDetector.ini \
	  --truth data/sample/truth.txt --edl out/demo-win32/breaks.edl --log out/demo-win32/frames.log

test: native win32 asan
	@bash scripts/run-tests.sh

bench: native
	@$(NATIVE)/bench/zunk-bench

clean:
	rm -rf out
