#!/usr/bin/env bash
# Builds everything (Release, with tests and benchmarks) and runs the whole test suite.
# Tests that need a display get a private Xvfb server.
set -euo pipefail

source "$(dirname "$0")/env.sh"
"$orz_root/scripts/setup.sh"

build="$orz_root/build/release"
orz_configure "$build" Release
cmake --build "$build" --parallel "$orz_jobs"

cd "$build"
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure --parallel "$orz_jobs" --timeout 600 "$@"
