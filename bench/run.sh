#!/usr/bin/env bash
# Measures zarnex against the floor of its two dependencies and prints a
# table: bulk encoding and decoding of generated documents (the tool and the
# floor program in turn, several times, medians), peak memory of bulk
# encoding for 1,000 and 100,000 lines, and the wall time of a one-document
# run against empty programs. Builds everything in build-bench/ first.
#
#   bench/run.sh            the whole measurement (a few minutes)
#   bench/run.sh --smoke    build, then only a smoke run on a few documents
#
# Settings through the environment: RUNS (default 5) alternating runs of
# each bulk measurement, DOCS (10000) documents, SINGLE_RUNS (300) runs of
# each one-document measurement, SEED (1) of the generator, INSTRUCTIONS
# (1; 0 skips the instruction counts, which need valgrind), CPU (0): the
# processor every timed run is pinned to, so that the tool and the floor
# always run on the same one (on a virtual machine the processors can differ
# by a fifth in speed); "none" leaves the runs unpinned.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${RUNS:-5}
docs=${DOCS:-10000}
single_runs=${SINGLE_RUNS:-300}
seed=${SEED:-1}

scripts/setup.sh
if [ ! -x /usr/bin/time ]; then  # GNU time, for the peak memory
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq time
fi

build=$root/build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZARNEX_BUILD_BENCH=ON \
  -DZARNEX_BUILD_TESTS=OFF > "$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j"$(nproc)" > "$build.build.log" 2>&1 ||
  { tail -50 "$build.build.log"; exit 1; }

zarnex=$build/zarnex
generate=$build/bench/zarnex_generate
floor=$build/bench/zarnex_floor
spawn=$build/bench/zarnex_spawn_time

if [ "${1:-}" = "--smoke" ]; then
  exec bash bench/smoke.sh "$generate" "$zarnex" "$floor"
fi

work=$build/run
mkdir -p "$work"
load_start=$(cut -d' ' -f1-3 /proc/loadavg)
echo "generating documents ..." >&2
"$generate" --seed="$seed" --count="$docs" > "$work/docs.txt"
"$generate" --seed="$seed" --count=1000 > "$work/docs-1k.txt"
"$generate" --seed="$seed" --count=100000 > "$work/docs-100k.txt"
"$generate" --seed="$seed" --count=1 --kind=pay > "$work/one.xml"
"$zarnex" --encode --lines < "$work/docs.txt" > "$work/codes.txt" 2> "$work/encode.err"
if [ -s "$work/encode.err" ] || [ "$(wc -l < "$work/codes.txt")" -ne "$docs" ]; then
  echo "the tool refused generated documents:" >&2
  head -5 "$work/encode.err" >&2
  exit 1
fi

pin=()
pinned_cpu=${CPU:-0}
if [ "$pinned_cpu" != none ] && command -v taskset > /dev/null; then
  pin=(taskset -c "$pinned_cpu")
else
  pinned_cpu=none
fi

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# floor_run MODE FILE: prints "WALL CPU" of the floor's timed loop.
floor_run() {
  "${pin[@]}" "$floor" "$1" "$2" 2>&1 > /dev/null | awk '$1 == "floor" { print $4, $5 }'
}

tool_enc_wall=() tool_enc_cpu=() floor_enc_wall=() floor_enc_cpu=()
tool_dec_wall=() tool_dec_cpu=() floor_dec_wall=() floor_dec_cpu=()
start_wall=() start_cpu=()
for ((run = 1; run <= runs; ++run)); do
  echo "bulk run $run of $runs ..." >&2
  read -r wall _ cpu < <("${pin[@]}" "$spawn" 1 "$work/docs.txt" /dev/null "$zarnex" --encode --lines)
  tool_enc_wall+=("$wall") tool_enc_cpu+=("$cpu")
  read -r wall cpu < <(floor_run --encode "$work/docs.txt")
  floor_enc_wall+=("$wall") floor_enc_cpu+=("$cpu")
  read -r wall _ cpu < <("${pin[@]}" "$spawn" 1 "$work/codes.txt" /dev/null "$zarnex" --decode --lines)
  tool_dec_wall+=("$wall") tool_dec_cpu+=("$cpu")
  read -r wall cpu < <(floor_run --decode "$work/codes.txt")
  floor_dec_wall+=("$wall") floor_dec_cpu+=("$cpu")
  # The tool's fixed cost: a bulk run without input (start-up and exit).
  read -r wall _ cpu < <("${pin[@]}" "$spawn" 50 /dev/null /dev/null "$zarnex" --decode --lines)
  start_wall+=("$wall") start_cpu+=("$cpu")
done

peak_kib() {  # peak_kib FILE: maximum resident set of a bulk encode
  /usr/bin/time -v "$zarnex" --encode --lines < "$1" 2>&1 > /dev/null |
    awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'
}
echo "peak memory ..." >&2
peak_1k=$(peak_kib "$work/docs-1k.txt")
peak_100k=$(peak_kib "$work/docs-100k.txt")

# Instructions per document on the first 1,000 documents, counted by
# callgrind: unlike times, they do not depend on what else the machine runs.
# The floor is counted in its loop only; the tool both whole (start-up and
# its share of 1,000 documents included) and in its bulk loop only, which is
# what compares with the floor document for document.
instructions() {  # instructions [valgrind options --] PROGRAM ARGUMENTS...
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 > /dev/null |
    awk '/ refs:/ { gsub(/,/, "", $NF); print $NF }'
}
ir_enc_tool="" ir_enc_floor="" ir_dec_tool="" ir_dec_floor=""
ir_enc_loop="" ir_dec_loop=""
if [ "${INSTRUCTIONS:-1}" != 0 ] && command -v valgrind > /dev/null; then
  echo "instruction counts ..." >&2
  head -1000 "$work/docs.txt" > "$work/docs-ir.txt"
  head -1000 "$work/codes.txt" > "$work/codes-ir.txt"
  loop=(--collect-atstart=no "--toggle-collect=*bulk_loop*")
  ir_enc_tool=$(instructions "$zarnex" --encode --lines < "$work/docs-ir.txt")
  ir_enc_floor=$(instructions "${loop[@]}" "$floor" --encode "$work/docs-ir.txt")
  ir_dec_tool=$(instructions "$zarnex" --decode --lines < "$work/codes-ir.txt")
  ir_dec_floor=$(instructions "${loop[@]}" "$floor" --decode "$work/codes-ir.txt")
  tool_loop=(--collect-atstart=no "--toggle-collect=*run_lines*")
  ir_enc_loop=$(instructions "${tool_loop[@]}" "$zarnex" --encode --lines < "$work/docs-ir.txt")
  ir_dec_loop=$(instructions "${tool_loop[@]}" "$zarnex" --decode --lines < "$work/codes-ir.txt")
fi

echo "one-document runs ..." >&2
# Programs, their option (if any), their input and their names in the
# table. The first is the tool's one-document run that the empty programs
# are compared with; the decoding run shows what a caller that decodes one
# code at a time waits for.
"$zarnex" --encode < "$work/one.xml" > "$work/one.code"
one_programs=("$zarnex" "$zarnex" "$build/bench/zarnex_empty_linked" "$build/bench/zarnex_empty")
one_options=(--encode --decode "" "")
one_inputs=("$work/one.xml" "$work/one.code" "$work/one.xml" "$work/one.xml")
one_names=("zarnex --encode < one.xml" "zarnex --decode < its code"
  "empty program linked with the tool's libraries" "empty C++ program")
one_wall=() one_cpu=() one_ir=()
# Alternating rounds, so that a slow phase of the machine hits all alike.
for ((round = 1; round <= 3; ++round)); do
  for i in "${!one_programs[@]}"; do
    read -r wall _ cpu < <("${pin[@]}" "$spawn" "$single_runs" "${one_inputs[$i]}" /dev/null \
      "${one_programs[$i]}" ${one_options[$i]:+"${one_options[$i]}"})
    one_wall[i]+="$wall " one_cpu[i]+="$cpu "
  done
done
if [ -n "$ir_enc_tool" ]; then
  for i in "${!one_programs[@]}"; do
    one_ir[i]=$(instructions "${one_programs[$i]}" ${one_options[$i]:+"${one_options[$i]}"} \
      < "${one_inputs[$i]}")
  done
fi

{
  cpu_model=$(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)
  printf 'zarnex (commit %s), %s mixed documents (generator seed %s), %s alternating runs, medians\n' \
    "$(git rev-parse --short HEAD 2>/dev/null || echo '?')" "$docs" "$seed" "$runs"
  printf 'machine: %s, %s CPUs; libxml2 %s, liblzma %s\n' "$cpu_model" "$(nproc)" \
    "$(dpkg-query -W -f='${Version}' libxml2 2>/dev/null || echo '?')" \
    "$(dpkg-query -W -f='${Version}' liblzma5 2>/dev/null || echo '?')"
  printf 'load average: %s at the start, %s at the end; timed runs on CPU %s\n\n' \
    "$load_start" "$(cut -d' ' -f1-3 /proc/loadavg)" "$pinned_cpu"
  printf '%-26s %9s %9s %9s %9s\n' "bulk (10k-line runs)" "wall s" "docs/s" "us/doc" "cpu s"
  row() {  # row NAME WALL CPU
    awk -v n="$1" -v w="$2" -v c="$3" -v d="$docs" \
      'BEGIN { printf "%-26s %9.4f %9.0f %9.1f %9.4f\n", n, w, d / w, w / d * 1e6, c }'
  }
  ratio() {  # ratio NAME TOOL_WALL FLOOR_WALL TOOL_CPU FLOOR_CPU
    awk -v n="$1" -v tw="$2" -v fw="$3" -v tc="$4" -v fc="$5" \
      'BEGIN { printf "%-26s %9.3f (cpu time %.3f)\n", n, fw / tw, fc / tc }'
  }
  te=$(median "${tool_enc_wall[@]}") tec=$(median "${tool_enc_cpu[@]}")
  fe=$(median "${floor_enc_wall[@]}") fec=$(median "${floor_enc_cpu[@]}")
  td=$(median "${tool_dec_wall[@]}") tdc=$(median "${tool_dec_cpu[@]}")
  fd=$(median "${floor_dec_wall[@]}") fdc=$(median "${floor_dec_cpu[@]}")
  row "encode: zarnex --lines" "$te" "$tec"
  row "encode: floor" "$fe" "$fec"
  ratio "encode throughput ratio" "$te" "$fe" "$tec" "$fec"
  row "decode: zarnex --lines" "$td" "$tdc"
  row "decode: floor" "$fd" "$fdc"
  ratio "decode throughput ratio" "$td" "$fd" "$tdc" "$fdc"
  echo "(tool: whole process, start-up included; floor: its timed loop only;"
  echo " ratio = tool throughput / floor throughput)"
  sw=$(median "${start_wall[@]}") sc=$(median "${start_cpu[@]}")
  awk -v sw="$sw" -v sc="$sc" -v te="$te" -v fe="$fe" -v tec="$tec" -v fec="$fec" \
    -v td="$td" -v fd="$fd" -v tdc="$tdc" -v fdc="$fdc" 'BEGIN {
    printf "tool start-up (a run without input): %.1f ms; ratios with it taken off the tool:\n", sw * 1e3
    printf "  encode %.3f (cpu time %.3f), decode %.3f (cpu time %.3f)\n",
      fe / (te - sw), fec / (tec - sc), fd / (td - sw), fdc / (tdc - sc) }'
  if [ -n "$ir_enc_tool" ]; then
    awk -v et="$ir_enc_tool" -v ef="$ir_enc_floor" -v dt="$ir_dec_tool" -v df="$ir_dec_floor" \
      -v el="$ir_enc_loop" -v dl="$ir_dec_loop" 'BEGIN {
      printf "instructions per document (callgrind, 1,000 documents; floor in its loop):\n"
      printf "  encode: floor %.0f, zarnex bulk loop %.0f (ratio %.3f), whole process %.0f (ratio %.3f)\n", ef / 1000, el / 1000, ef / el, et / 1000, ef / et
      printf "  decode: floor %.0f, zarnex bulk loop %.0f (ratio %.3f), whole process %.0f (ratio %.3f)\n", df / 1000, dl / 1000, df / dl, dt / 1000, df / dt }'
  fi
  echo
  awk -v a="$peak_1k" -v b="$peak_100k" 'BEGIN {
    printf "peak memory, zarnex --encode --lines: 1,000 lines %d KiB, 100,000 lines %d KiB (x%.3f)\n", a, b, b / a }'
  echo
  printf 'one document, median of %s runs x 3 rounds:\n' "$single_runs"
  printf '  %-46s %9s %9s %12s %s\n' "" "wall ms" "cpu ms" "instructions" "(wall ratios)"
  # shellcheck disable=SC2086  # the lists of times
  base_wall=$(median ${one_wall[0]})
  for i in "${!one_programs[@]}"; do
    # shellcheck disable=SC2086
    wall=$(median ${one_wall[$i]}) cpu=$(median ${one_cpu[$i]})
    awk -v n="${one_names[$i]}" -v w="$wall" -v c="$cpu" -v ir="${one_ir[$i]:-}" \
      -v t="$base_wall" -v i="$i" 'BEGIN {
      printf "  %-46s %9.3f %9.3f %12s", n, w * 1e3, c * 1e3, ir == "" ? "-" : ir
      if (i >= 2) printf "   encoding / it = %.2f", t / w
      printf "\n" }'
  done
  awk -v s="$(stat -c %s "$zarnex")" 'BEGIN { printf "  binary size: zarnex %.2f MB\n", s / 1e6 }'
} | tee "$work/results.txt"
