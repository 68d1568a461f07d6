# The two commands of the README: `make run` and `make test`. Everything else is a helper.
B       ?= build
ASAN_B  ?= build-asan
JOBS    ?= $(shell nproc)

.PHONY: all deps build run test test-fast asan fuzz mutants clean

all: build

deps:
	@./scripts/install-deps

$(B)/CMakeCache.txt:
	cmake -S . -B $(B) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(B)/CMakeCache.txt
	cmake --build $(B) -j $(JOBS)

run: build
	cd $(B)/data && ../tarvix

# The whole suite, then once more under AddressSanitizer and UndefinedBehaviorSanitizer.
test: build
	cd $(B) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) asan

test-fast: build
	cd $(B) && ctest --output-on-failure -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_B) -DCMAKE_BUILD_TYPE=Debug -DTARVIX_SANITIZE=ON
	cmake --build $(ASAN_B) -j $(JOBS)
	cd $(ASAN_B) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp \
	  ctest --output-on-failure -j $(JOBS)

# Every loader's libFuzzer target (or those of FUZZ_TARGETS) for FUZZ_SECONDS each (clang, its
# own build folder); fails on any crash, leak, hang or sanitizer report. Findings land in
# $(FUZZ_B)/fuzz/findings.
FUZZ_B       ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= FuzzIni FuzzModel FuzzImage FuzzSound
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_B) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTARVIX_FUZZ=ON -DTARVIX_TESTS=OFF
	cmake --build $(FUZZ_B) -j $(JOBS) --target $(FUZZ_TARGETS) data
	./tests/fuzz/run-fuzz $(FUZZ_B) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Every fault of tests/mutants.txt put into a copy of the tree (build-mutants/), each run against
# the fast tests; prints killed / survived per fault and the score (also in build-mutants/summary.txt).
# MUTANTS_ONLY narrows the run to faults whose glob or description match a regular expression.
MUTANTS_ONLY ?=
mutants: deps
	./scripts/mutants --only '$(MUTANTS_ONLY)'

clean:
	rm -rf $(B) $(ASAN_B) $(FUZZ_B) build-mutants
