# The two commands a user needs: `make run` and `make test`.
PACKAGES := g++ cmake make pkg-config qt6-base-dev qt6-base-dev-tools qt6-serialport-dev \
            libqt6serialport6 libsqlcipher-dev sqlcipher poppler-utils xvfb xauth libgl1-mesa-dev \
            fonts-dejavu-core tzdata qt6-translations-l10n
BUILD_DIR   ?= build
PROGRAM_DIR ?= $(HOME)/.local/share/trevano-lite
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)
# Most tests wait on the simulated line at its real speed, not on the processor (a whole run
# keeps about half the processors busy): three times as many run side by side as there are
# processors.
TEST_JOBS   ?= $(shell echo $$(( $(JOBS) * 3 )))
SUDO        := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# ON makes every compiler warning an error (CI: `make test WERROR=ON`).
WERROR      ?= OFF

.PHONY: all build program packages run install test bench clean format

all: build

packages:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi

# The program, its program folder and its tools: all that install and run need.
program: packages
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREVANO_WERROR=$(WERROR) >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Everything: the program, the test programs and the benchmarks.
build: program
	cmake --build $(BUILD_DIR) -j $(JOBS) --target test_programs benchmarks

# Installs the program's own files into the program folder (the install rules of CMake list
# them); the user's database is written only when it is absent, and nothing the program wrote
# there (error log, lock, archives) is touched. It also puts the desktop entry and icon into
# the user's data home ($XDG_DATA_HOME, else ~/.local/share), so that the application menu
# starts the program in the program folder; an entry of that name the user wrote stays.
install: program
	cmake --install $(BUILD_DIR) --prefix "$(PROGRAM_DIR)"

run: install
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	  "$(PROGRAM_DIR)/trevano"; \
	elif command -v xvfb-run >/dev/null; then \
	  echo "No display: running under xvfb-run"; xvfb-run -a "$(PROGRAM_DIR)/trevano"; \
	else \
	  echo "No display: running on the offscreen platform"; QT_QPA_PLATFORM=offscreen "$(PROGRAM_DIR)/trevano"; \
	fi

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS) -LE bench

bench: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --verbose -L bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
