#!/usr/bin/env bash
# Builds zarnex and runs its main job on a bundled example: encodes an XML
# payment order into a code and decodes the code back into XML.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZARNEX_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target zarnex >/dev/null
example=${1:-examples/pay-one-off.xml}
code=$(build/zarnex --encode < "$example")
echo "Code of $example:"
echo "$code"
echo
echo "Decoded back:"
build/zarnex --decode="$code"
echo
