#!/usr/bin/env bash
# Builds the tests labelled "sanitize" with ThreadSanitizer and AddressSanitizer and runs them,
# then builds everything (Release, with tests and benchmarks) and runs the whole suite.
# Tests that need a display get a private Xvfb server. Extra arguments go to every ctest run.
set -euo pipefail

source "$(dirname "$0")/env.sh"
"$orz_root/scripts/setup.sh"

# The built gain plug-ins open their link blocks under the real shared-memory names. Where we may
# (root, as in CI), the tests get a private /dev/shm so that they never meet a user's instances.
isolate=()
if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
    isolate=(unshare -m sh -c 'mount -t tmpfs -o mode=1777 orz-shm /dev/shm && exec "$@"' sh)
fi

# The test programs connect to one X server, each for a moment. By default the server resets when its
# last client leaves, and a program that connects just then is refused or loses its connection.
run_ctest() {
    (cd "$1" && shift && "${isolate[@]}" xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        ctest --output-on-failure --parallel "$orz_jobs" --timeout 900 "$@")
}

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$orz_root/tests/sanitizers/tsan.supp"
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$orz_root/tests/sanitizers/lsan.supp"
for san in thread address; do
    dir="$orz_root/build/$san"
    # -O1 with line tables: readable reports, and a much quicker build of JUCE than -O2 -g.
    orz_configure "$dir" RelWithDebInfo -DORZ_SANITIZER=$san -DORZ_BUILD_BENCHMARKS=OFF \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
    cmake --build "$dir" --parallel "$orz_jobs" --target orz_sanitizer_tests
    if (cd "$dir" && ctest -N -L sanitize | grep -q "Total Tests: 0"); then
        continue
    fi
    run_ctest "$dir" -L sanitize "$@"
done

build="$orz_root/build/release"
orz_configure "$build" Release
cmake --build "$build" --parallel "$orz_jobs"
run_ctest "$build" "$@"
