#!/usr/bin/env bash
# Smoke run of the benchmark programs on a few documents of every kind:
# the generator's documents encode in bulk without an error, decode back to
# XML that encodes to the same codes, give the same codes as field-sequence
# lines and through the library, and the floor program handles them.
#
#   bench/smoke.sh GENERATOR ZARNEX FLOOR
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: $0 GENERATOR ZARNEX FLOOR" >&2
  exit 1
fi
generate=$1 zarnex=$2 floor=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
check() {  # check NAME COMMAND...: runs the command, counts a failure
  if "${@:2}"; then
    echo "ok: $1"
  else
    echo "FAILED: $1"
    failures=$((failures + 1))
  fi
}

for kind in pay invoice proforma credit debit advance items; do
  "$generate" --seed=5 --count=3 --kind="$kind" >> "$work/docs.txt"
  "$generate" --seed=5 --count=3 --kind="$kind" --output=sequence >> "$work/sequences.txt"
  "$generate" --seed=5 --count=3 --kind="$kind" --output=code >> "$work/library.txt"
done

"$zarnex" --encode --lines < "$work/docs.txt" > "$work/codes.txt" 2> "$work/encode.err"
check "21 documents encode without an error" \
  test "$(wc -l < "$work/codes.txt")" -eq 21 -a ! -s "$work/encode.err"
check "the tool's codes are the library's" cmp -s "$work/codes.txt" "$work/library.txt"

"$zarnex" --decode --lines < "$work/codes.txt" > "$work/decoded.txt" 2> "$work/decode.err"
"$zarnex" --encode --lines < "$work/decoded.txt" > "$work/again.txt" 2>> "$work/decode.err"
check "decoded documents encode to the same codes" \
  cmp -s "$work/codes.txt" "$work/again.txt"
check "decoding reports no error" test ! -s "$work/decode.err"

"$zarnex" --sequence --lines < "$work/sequences.txt" > "$work/from_sequences.txt"
check "field-sequence lines give the same codes" \
  cmp -s "$work/codes.txt" "$work/from_sequences.txt"

check "the floor encodes the documents" \
  sh -c '"$1" --encode "$2" > /dev/null 2>&1' _ "$floor" "$work/docs.txt"
check "the floor decodes the codes" \
  sh -c '"$1" --decode "$2" > /dev/null 2>&1' _ "$floor" "$work/codes.txt"

echo "$((7 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
