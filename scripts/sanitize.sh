#!/usr/bin/env bash
# Runs the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer, and the
# threaded tests (integration and gui) under ThreadSanitizer.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh" "$top/build-asan" -DZANTREL_SANITIZE=address -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$top/build-asan" --output-on-failure -j2
ZANTREL_TARGETS=zantrel_threaded_tests "$top/scripts/setup.sh" "$top/build-tsan" -DZANTREL_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 die_after_fork=0 suppressions=$top/scripts/tsan.supp" \
  ctest --test-dir "$top/build-tsan" --output-on-failure -j2 -L 'integration|gui'
