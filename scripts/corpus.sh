#!/usr/bin/env bash
# Writes what a build of the tool prints for a fixed corpus into a folder, so
# that two builds can be compared byte for byte with `diff -r` (or cmp):
#   scripts/corpus.sh build/zarnex /tmp/before   (on the old commit)
#   scripts/corpus.sh build/zarnex /tmp/after    (on the new one)
#   diff -r /tmp/before /tmp/after
# The corpus: generated documents of every kind encoded (with and without -i,
# from XML and JSON), their codes decoded (XML and JSON), generated codes
# decoded, damaged codes, field sequences (plain, -i and altered), every
# example encoded, encoded with -i and decoded, and a failing single decode.
# The generator is taken from beside the tool (bench/zarnex_generate).
set -euo pipefail
tool=$(realpath "$1")
out=$2
count=${3:-20000}
generate=$(dirname "$tool")/bench/zarnex_generate
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run() {  # name, input file, options...: stdout, stderr and status
  local name=$1 input=$2
  shift 2
  set +e
  "$tool" "$@" <"$input" >"$out/$name.out" 2>"$out/$name.err"
  echo $? >"$out/$name.status"
  set -e
}

"$generate" --seed=7 --count="$count" --kind=mixed --output=xml >"$work/docs.xml"
"$generate" --seed=7 --count="$count" --kind=mixed --output=json >"$work/docs.json"
"$generate" --seed=11 --count="$count" --kind=mixed --output=code >"$work/codes.txt"
"$generate" --seed=13 --count="$count" --kind=mixed --output=sequence >"$work/sequences.txt"

run encode "$work/docs.xml" -e -l
run encode-i "$work/docs.xml" -e -l -i
run encode-json "$work/docs.json" -e -l --json
run encode-json-i "$work/docs.json" -e -l -i --json
run decode-own "$out/encode.out" -d -l
run decode-own-json "$out/encode.out" -d -l --json
run decode "$work/codes.txt" -d -l
run decode-json "$work/codes.txt" -d -l --json
run decode-f "$work/codes.txt" -d -l -f
run sequence "$work/sequences.txt" -s -l
run sequence-i "$work/sequences.txt" -s -l -i

# Damaged codes: a character changed, cut, extended, dropped or foreign.
python3 - "$work/codes.txt" "$work/damaged.txt" "$work/altered.txt" \
  "$work/sequences.txt" <<'EOF'
import random, sys
random.seed(5)
alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUV"
codes = open(sys.argv[1]).read().split("\n")[:6000]
out = []
for i, c in enumerate(codes):
    if not c:
        continue
    k = i % 5
    p = random.randrange(len(c))
    if k == 0:
        c = c[:p] + random.choice(alphabet) + c[p + 1:]
    elif k == 1:
        c = c[:p]
    elif k == 2:
        c = c + random.choice(alphabet) * random.randrange(1, 9)
    elif k == 3:
        c = c[:p] + c[p + 1:]
    else:
        c = c[:p] + random.choice("wxyz-_=!é\t") + c[p + 1:]
    out.append(c)
open(sys.argv[2], "w").write("\n".join(out) + "\n")
seqs = open(sys.argv[4]).read().split("\n")[:8000]
alt = []
for s in seqs:
    if not s:
        continue
    p = random.randrange(len(s))
    alt.append(s[:p] + random.choice("x9|.-\t ") + s[p + 1:])
open(sys.argv[3], "w").write("\n".join(alt) + "\n")
EOF
run damaged "$work/damaged.txt" -d -l
run altered "$work/altered.txt" -s -l
run altered-i "$work/altered.txt" -s -l -i

for example in "$root"/examples/*.xml "$root"/examples/json/*.json; do
  name=$(basename "$example")
  flags=()
  [[ $example == *.json ]] && flags=(--json)
  run "ex-$name" "$example" -e "${flags[@]}"
  run "ex-i-$name" "$example" -e -i "${flags[@]}"
  run "ex-d-$name" "$out/ex-$name.out" -d "${flags[@]}"
done
echo "ZZZZ" >"$work/bad.txt"
run decode-bad "$work/bad.txt" -d
# -f writes a time stamp: keep only its other columns.
cut -f2- "$out/decode-f.err" >"$out/decode-f.err.cut" && rm "$out/decode-f.err"
echo "scripts/corpus.sh: wrote $(ls "$out" | wc -l) files to $out"
