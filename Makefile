# Two commands do everything on a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES = cmake g++ make pkg-config googletest libgtest-dev libbenchmark-dev \
           qt6-base-dev qt6-charts-dev libgl-dev mdbtools-dev libglib2.0-dev \
           fonts-dejavu-core xvfb xauth locales
CMAKE_FLAGS ?= $(if $(CI),-DQUARN_WERROR=ON,)

.PHONY: deps configure build run test bench clean format

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing: $$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null; \
	  else \
	    echo "Please install these Debian packages: $$missing"; exit 1; \
	  fi; \
	fi

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/src/quarn

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DQUARN_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS) --target quarn_bench
	./$(BUILD)/bench/quarn_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
