# The two commands of the README: `make run` and `make test`. Everything else is a helper.
B       ?= build
ASAN_B  ?= build-asan
JOBS    ?= $(shell nproc)

.PHONY: all deps build run test test-fast asan fuzz clean

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

clean:
	rm -rf $(B) $(ASAN_B)
