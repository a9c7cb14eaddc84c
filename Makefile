# Vemo: `make run` starts the program, `make test` runs every test (`make soak`: the random
# user for longer), `make dist` builds the release into dist/ and `make dist-test` tests it.
NATIVE := build/native
WIN    := build/win
JOBS   ?= $(shell nproc)
export JOBS
MAKEFLAGS += --no-print-directory
# VEMO_WERROR=ON (CI) makes the project's warnings errors; it takes effect when a tree is configured.
CONFIGURE := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEMO_WERROR=$(or $(VEMO_WERROR),OFF)

.PHONY: all bootstrap native win test sanitize soak dist dist-test run bench screenshots clean

all: native win

bootstrap:
	@scripts/bootstrap

# A tree is configured here only when it has none yet; after that its build configures it
# again by itself whenever a CMake file has changed.
$(NATIVE)/Makefile: | bootstrap
	@cmake -S . -B $(NATIVE) $(CONFIGURE) >/dev/null

$(WIN)/Makefile: | bootstrap
	@cmake -S . -B $(WIN) $(CONFIGURE) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake >/dev/null

native: bootstrap $(NATIVE)/Makefile
	@cmake --build $(NATIVE) -j $(JOBS)

win: bootstrap $(WIN)/Makefile
	@cmake --build $(WIN) -j $(JOBS)

test: native win
	@scripts/run-tests

# The native suite under AddressSanitizer with UndefinedBehaviorSanitizer, then ThreadSanitizer.
sanitize: bootstrap
	@scripts/run-sanitized

soak: win
	@scripts/soak

dist: bootstrap
	@scripts/dist

dist-test: dist native win
	@scripts/run-tests dist

# Running the program needs vemo.exe alone.
run: bootstrap $(WIN)/Makefile
	@cmake --build $(WIN) -j $(JOBS) --target vemo
	@scripts/run-vemo

bench: native win
	@scripts/bootstrap bench
	@bench/run

screenshots: win
	@scripts/screenshots

clean:
	rm -rf build dist
