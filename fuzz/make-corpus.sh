#!/usr/bin/env bash
# Writes the seed corpora under fuzz/corpus/ again from examples/: each XML
# example as an encode seed, its code as a decode seed, its field-sequence
# line as a sequence seed, and both forms as round-trip seeds; each line of
# examples/sequences.txt as a sequence seed and its code as a decode seed.
#
#   fuzz/make-corpus.sh BUILD_DIR
#
# BUILD_DIR is a clang build configured with -DZARNEX_BUILD_FUZZ=ON. Seeds
# that libFuzzer found and that are worth keeping can be added by hand.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: fuzz/make-corpus.sh BUILD_DIR}
cmake --build "$build" --target zarnex_fuzz_tool >/dev/null
"$build/fuzz/zarnex_fuzz_tool" seeds fuzz/corpus examples/*.xml examples/sequences.txt
echo "Seeds: $(find fuzz/corpus -type f | wc -l) files under fuzz/corpus"
