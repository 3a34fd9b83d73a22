# Two commands do everything on a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES = cmake g++ make pkg-config googletest libgtest-dev libbenchmark-dev \
           qt6-base-dev qt6-charts-dev libgl-dev mdbtools-dev libglib2.0-dev \
           fonts-dejavu-core xvfb xauth locales clang clang-tidy
# CI also builds the benchmarks (without running them), so that a rename cannot break them unseen.
CMAKE_FLAGS ?= $(if $(CI),-DQUARN_WERROR=ON -DQUARN_BENCH=ON,)

.PHONY: deps configure build run test naming bench clean format asan-build test-asan fuzz fuzz-ci

# The second build folder: clang with AddressSanitizer and UndefinedBehaviorSanitizer for the
# tests, and the fuzz targets (libFuzzer) beside them.
ASAN_BUILD ?= build-asan
ASAN_CMAKE_FLAGS ?= -DCMAKE_CXX_COMPILER=clang++ -DQUARN_FUZZ=ON $(if $(CI),-DQUARN_WERROR=ON,)
FUZZ_SECONDS ?= 60
# Leaks inside Qt, fontconfig and glib are theirs; any report in our code fails.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer_leaks.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

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

# The program needs only itself and the Jet reader beside it: the tests wait for `make test`.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target quarn quarn_jet_reader
	./$(BUILD)/src/quarn

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The one naming rule of .clang-tidy over the program's own code: a name off the rule fails.
# clang does not know g++'s vectorizer option of the model library, and a file it cannot
# compile is not checked: the check reads the compile commands without that option.
naming: build
	@mkdir -p $(BUILD)/naming && \
	sed -E 's/ -fvect-cost-model=[a-z]+//g' $(BUILD)/compile_commands.json \
	  > $(BUILD)/naming/compile_commands.json; \
	run-clang-tidy -quiet -j $(JOBS) -p $(BUILD)/naming -checks='-*,readability-identifier-naming' \
	  -extra-arg=-Wno-unknown-warning-option "$(CURDIR)/src/" > $(BUILD)/naming.log 2>&1; \
	rc=$$?; \
	if grep -q 'readability-identifier-naming\]' $(BUILD)/naming.log; then \
	  grep -A2 'readability-identifier-naming\]' $(BUILD)/naming.log; exit 1; \
	fi; \
	if [ $$rc -ne 0 ]; then tail -20 $(BUILD)/naming.log; fi; exit $$rc

bench: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DQUARN_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS) --target quarn_bench
	./$(BUILD)/bench/quarn_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

asan-build: deps
	cmake -S . -B $(ASAN_BUILD) $(ASAN_CMAKE_FLAGS)
	$(SANITIZER_ENV) cmake --build $(ASAN_BUILD) -j $(JOBS)

# Every test under the sanitizers.
test-asan: asan-build
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# Every fuzz target side by side for FUZZ_SECONDS seconds.
fuzz: asan-build
	$(SANITIZER_ENV) fuzz/run.sh $(ASAN_BUILD) seconds $(FUZZ_SECONDS)

# The same for a fixed number of inputs each with a fixed seed, so that a run repeats.
fuzz-ci: asan-build
	$(SANITIZER_ENV) fuzz/run.sh $(ASAN_BUILD) runs

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
