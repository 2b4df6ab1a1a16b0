# Set-up and everyday commands. `make run` and `make test` work on a fresh Debian machine:
# they install whatever build packages are missing, configure, build, then run.

PACKAGES := g++ cmake ninja-build qt6-base-dev qt6-serialport-dev qt6-qpa-plugins \
            libgl-dev libglx-dev libvulkan-dev ccache dpkg-dev file
BUILD    := build
ASAN     := build-asan
# The compiler cache, once `make deps` has installed it, makes every later build of an unchanged
# file (the second build tree, a rebuilt branch) a copy.
CMAKE    = cmake -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
           $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
PROGRAMS := vantrel vantrel-cli vantrel-sim
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# Tests that wait on a line run alone (RUN_SERIAL); the others share the two cores.
CTEST    := ctest --output-on-failure -j $(shell nproc)

.PHONY: deps build programs build-asan run test package bench screenshots format clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build: deps
	$(CMAKE) -S . -B $(BUILD) -DVANTREL_WERROR=ON
	cmake --build $(BUILD)

# The three programs only, without tests and benches.
programs: deps
	$(CMAKE) -S . -B $(BUILD) -DVANTREL_WERROR=ON
	cmake --build $(BUILD) --target $(PROGRAMS)

build-asan: deps
	$(CMAKE) -S . -B $(ASAN) -DVANTREL_WERROR=ON -DVANTREL_SANITIZE=ON
	cmake --build $(ASAN)

run: programs
	$(BUILD)/src/app/vantrel --simulator

# The programs build warning-free, their Debian package holds what it should, and every test runs
# headless under AddressSanitizer and UBSan (the sanitizer build runs the same tests the plain
# one would, and more strictly).
test: package build-asan
	tools/package/check-package.sh $(BUILD)
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  $(CTEST) --test-dir $(ASAN)

# The Debian package of the plain build, in $(BUILD). CPack's staging folders take the umask, and
# the package's folders must be readable by everyone.
package: programs
	cmake --build $(BUILD) --target package-files
	umask 022 && cpack --config $(BUILD)/CPackConfig.cmake

bench: build
	@for b in $$(find $(BUILD)/bench -type f -name "bench_*" -perm -u+x | sort); do echo "== $$(basename $$b)"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

screenshots: build
	cmake --build $(BUILD) --target screenshots

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN)
