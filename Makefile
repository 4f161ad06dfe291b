# The two commands of the README:
#   make demo   builds the Linux launcher and runs the demo application through it
#   make test   builds both launchers and passes all three test tiers
# Both install missing Debian packages first when run as root.

PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev \
            openjdk-17-jdk-headless openjdk-17-jre gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix \
            binutils-mingw-w64-x86-64 gcc-mingw-w64-i686-win32 wine wine64 xvfb xauth \
            icoutils osslsigncode openssl

FUZZ_SECONDS ?= 300

.PHONY: all demo test deps bench-deps linux windows linux-sanitize test-linux test-windows test-sanitize fuzz bench clean

all: linux windows

demo: deps linux
	@sh demo/run-demo.sh build

test: deps linux windows linux-sanitize test-linux test-windows test-sanitize

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	    if [ "$$(id -u)" = 0 ]; then \
	        echo "Installing missing Debian packages:" $$missing; \
	        apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	    else \
	        echo "Missing Debian packages:" $$missing; \
	        echo "Run as root to install them, or install them yourself."; exit 1; \
	    fi; \
	fi

linux windows linux-sanitize:
	cmake --preset $@
	cmake --build --preset $@

test-linux:
	ctest --preset linux

test-windows:
	ctest --preset windows

test-sanitize:
	ctest --preset linux-sanitize

# Longer fuzzing runs than the smoke tests of `make test`.
fuzz: deps linux-sanitize
	@for target in command_line embedded_settings ini_text pack_inputs version_number; do \
	    echo "== fuzz_$$target for $(FUZZ_SECONDS) s"; \
	    build/linux-sanitize/fuzz/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) \
	        -artifact_prefix=build/linux-sanitize/fuzz-artifacts/ \
	        build/linux-sanitize/fuzz-corpus/$$target fuzz/seeds/$$target || exit 1; \
	done

# Benchmarks of bench/: the Linux start-up against the JDK's own launcher (and
# the trace's cost off and on), third-party applications against their own
# launch scripts (on Debian's OpenJDK and on every Temurin runtime in
# /usr/lib/jvm), the class path cost, later starts of a single-instance
# application, the runtime's splash under a virtual display, and under Wine
# in a session of its own the runtime search and the own splash window.
JDK_HOME ?= /usr/lib/jvm/java-17-openjdk-amd64
THIRD_PARTY_JDKS ?= $(JDK_HOME) $(wildcard /usr/lib/jvm/temurin-*)
BENCH_PACKAGES := rhino ant jython

bench-deps:
	@$(MAKE) --no-print-directory deps PACKAGES="$(BENCH_PACKAGES)"

bench: deps bench-deps linux windows
	@mkdir -p build/bench-classes && javac -d build/bench-classes tests/jvm/java/demo/Hello.java
	env -u TALA_TRACE build/linux/bench/tala_startup_bench build/linux/tala $(JDK_HOME) build/bench-classes 30
	@for jdk in $(THIRD_PARTY_JDKS); do \
	    build/linux/bench/tala_third_party_bench build/linux/tala $$jdk 20 || exit 1; echo; \
	done
	build/linux/bench/tala_class_path_bench $(JDK_HOME)
	build/linux/bench/tala_second_starts_bench build/linux/tala $(JDK_HOME) build/linux/tests/jvm/probe-classes 50
	xvfb-run -a build/linux/bench/tala_native_splash_bench build/linux/tala $(JDK_HOME) \
	    build/linux/tests/jvm/probe-classes 25
	@session=$(CURDIR)/build/windows/bench-session; \
	bash tests/windows/wine-session.sh start $(CURDIR)/build/windows/wine-prefix $$session >/dev/null && \
	bash tests/windows/wine-session.sh run $$session build/windows/bench/tala_runtime_search_bench.exe \
	    build/windows/tala.exe && \
	bash tests/windows/wine-session.sh run $$session build/windows/tests/windows/tala_splash_window_bench.exe \
	    --launcher=$(CURDIR)/build/windows/tala.exe 25; \
	status=$$?; bash tests/windows/wine-session.sh stop $$session >/dev/null; exit $$status

clean:
	rm -rf build
