# Set-up and everyday commands. `make run` and `make test` work on a fresh Debian machine:
# they install whatever build packages are missing, configure, build, then run.

PACKAGES := g++ cmake ninja-build qt6-base-dev qt6-serialport-dev qt6-qpa-plugins \
            libgl-dev libglx-dev libvulkan-dev
BUILD    := build
ASAN     := build-asan
CMAKE    := cmake -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build build-asan run test bench screenshots format clean

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

build-asan: deps
	$(CMAKE) -S . -B $(ASAN) -DVANTREL_WERROR=ON -DVANTREL_SANITIZE=ON
	cmake --build $(ASAN)

run: build
	$(BUILD)/src/app/vantrel --simulator

# Every test headless, then again under AddressSanitizer and UBSan.
test: build build-asan
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN) --output-on-failure

bench: build
	@for b in $$(find $(BUILD)/bench -type f -name "bench_*" -perm -u+x | sort); do echo "== $$(basename $$b)"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN)
