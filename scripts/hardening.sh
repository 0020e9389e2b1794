#!/usr/bin/env bash
# The hardening stages of CI, run by scripts/test.sh after the normal build
# and test run:
#   1. the whole test suite, unit and command-line, built by clang++ with
#      AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/); the
#      build treats warnings as errors, so the tree stays free of clang's
#      warnings as the normal build keeps it free of g++'s;
#   2. each fuzz target for a bounded time on a copy of its corpus
#      (build-fuzz/, clang++ and libFuzzer);
#   3. the command line under valgrind's memcheck (the binary of
#      build-test/, which scripts/test.sh has just built).
#
#   scripts/hardening.sh [FUZZ_SECONDS]     (default 60 per target)
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${1:-60}
jobs=$(nproc)

stage_start=$SECONDS
stage() {
  echo
  echo "== $1"
  stage_start=$SECONDS
}
stage_done() { echo "== done in $((SECONDS - stage_start)) s"; }

stage "Sanitizer build (ASan + UBSan) and the whole test suite"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNEX_SANITIZE=ON \
  -DZARNEX_WERROR=ON -DZARNEX_BUILD_BENCH=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-asan -j"$jobs"
# Leaks count as errors; every UBSan report stops the process (the build uses
# -fno-sanitize-recover=all). The children that the command-line tests spawn
# inherit these settings.
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# A Python interpreter cannot load an instrumented shared library, and
# consumers built against the installed (instrumented) library are not
# sanitizer builds; those two tests run in the normal build only.
ctest --test-dir build-asan --output-on-failure -j"$jobs" \
  -E '^(CApi\.FromPython|Install\.Consumers)$'
unset ASAN_OPTIONS UBSAN_OPTIONS
stage_done

stage "Fuzz targets, ${fuzz_seconds} s each"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DZARNEX_BUILD_FUZZ=ON -DZARNEX_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target zarnex_fuzzers
fuzz/run.sh -t "$fuzz_seconds" build-fuzz decode encode sequence round_trip
stage_done

stage "Command line under valgrind"
scripts/valgrind-cli.sh build-test/zarnex
stage_done
