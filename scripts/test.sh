#!/usr/bin/env bash
# Builds zarnex with its tests and runs the whole suite: unit tests and the
# command-line tests that run the built binary. Then the hardening stages
# (scripts/hardening.sh): the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzz target and the command
# line under valgrind. `scripts/test.sh --quick` stops after the first suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNEX_BUILD_BENCH=ON \
  -DZARNEX_WERROR=ON >/dev/null
cmake --build build-test -j"$(nproc)"
ctest --test-dir build-test --output-on-failure -j"$(nproc)"
if [ "${1:-}" != "--quick" ]; then
  scripts/hardening.sh
fi
echo "scripts/test.sh: passed in $SECONDS s"
