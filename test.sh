#!/usr/bin/env bash
# Builds everything and runs every test, under Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages $RUNTIME_PACKAGES $TEST_PACKAGES
build_project build -DRAYHEIGHT_TESTS=ON -DRAYHEIGHT_BENCH=ON

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
fi
# Presents unpaced in tests: one test of the pacing sets its own value.
export vblank_mode=0
ctest --test-dir build --output-on-failure --timeout 300

# The same suite built with AddressSanitizer, UBSan and LeakSanitizer: any
# report fails the run.
build_project build-san -DRAYHEIGHT_SANITIZE=ON -DRAYHEIGHT_TESTS=ON -DRAYHEIGHT_BENCH=OFF
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:exitcode=23"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir build-san --output-on-failure --timeout 600

# The image readers under libFuzzer with AddressSanitizer and UBSan, bounded in time.
bash fuzz/run.sh
