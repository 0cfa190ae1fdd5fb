# Entry points: make demo | make test | make test-tsan | make dll | make demo-win32 |
# make bench | make corpus | make eval-corpus. Each sets up what it needs first (scripts/setup.sh: the demo's packages, or
# the tests' superset).
NATIVE := out/native
WIN32  := out/win32
ASAN   := out/asan
TSAN   := out/tsan
# Started from an empty environment, the commands below are still found.
PATH   ?= /usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export PATH
JOBS   ?= $(shell PATH="$(PATH)"; nproc)
MAKEFLAGS += --no-print-directory
CONFIGURE := cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: setup-demo setup-test native host win32 asan tsan dll demo demo-win32 test test-tsan \
        bench corpus eval-corpus release install clean

setup-demo:
	@bash scripts/setup.sh demo

setup-test:
	@bash scripts/setup.sh test

# The native build with its tests, fuzz replay and benchmarks.
native: setup-test
	@$(CONFIGURE) -S . -B $(NATIVE) -DZUNK_TESTS=ON >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

# Only the module and zunk-host, in the same native build folder: no test frameworks.
host: setup-demo
	@$(CONFIGURE) -S . -B $(NATIVE) -DZUNK_TESTS=OFF >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS) --target zunk-host

win32: setup-test
	@$(CONFIGURE) -S . -B $(WIN32) \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw32.cmake >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

# The native tests again with AddressSanitizer and UndefinedBehaviorSanitizer.
asan: setup-test
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DZUNK_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)

# The native tests again with ThreadSanitizer.
tsan: setup-test
	@cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUNK_TSAN=ON >/dev/null
	@cmake --build $(TSAN) -j $(JOBS)

dll: win32
	@ls -l $(WIN32)/Zunk_LogoDetector.dll

demo: host
	@bash scripts/demo.sh

# The same run with the Windows build under Wine (ffmpeg decodes outside Wine).
demo-win32: win32
	@mkdir -p out/demo-win32
	@scripts/run-host-win32.sh data/sample/sample.mp4 --settings data/sample/Zunk_LogoDetector.ini \
	  --truth data/sample/truth.txt --edl out/demo-win32/breaks.edl --log out/demo-win32/frames.log

test: native win32 asan
	@bash scripts/run-tests.sh

test-tsan: tsan
	@bash scripts/run-tests.sh tsan

bench: native
	@$(NATIVE)/bench/zunk-bench

# The evaluation corpus of hard cases (scripts/corpus/): out/corpus, rebuilt where the
# recipes or scripts changed. eval-corpus builds the recordings that are missing, then runs
# learn -> run -> eval over each and prints one table (steps kept in out/eval-corpus/).
corpus:
	@bash scripts/corpus/make-corpus.sh

eval-corpus: host
	@bash scripts/corpus/eval-corpus.sh

# The download for users: out/release/Zunk_LogoDetector-<version>.zip with the stripped
# module, the guides, an example settings file and SHA256SUMS (scripts/make-release.sh).
release: win32
	@$(CONFIGURE) -S . -B $(NATIVE) >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS) --target zunk-zip
	@bash scripts/make-release.sh $(WIN32)/release/Zunk_LogoDetector.dll \
	  $(NATIVE)/tools/release/zunk-zip out/release

# zunk-host, the module it loads and its manual page under PREFIX (bin, lib/zunk-host,
# share/man/man1).
PREFIX ?= /usr/local
install: host
	@cmake --install $(NATIVE) --prefix $(PREFIX)

clean:
	rm -rf out
