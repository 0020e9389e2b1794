#!/usr/bin/env bash
# Runs fuzz targets one after the other, each for a bounded time, on a copy
# of its seed corpus and regression inputs (the repository is not changed).
#
#   fuzz/run.sh [-t SECONDS] [-w WORKDIR] BUILD_DIR [TARGET...]
#
# BUILD_DIR is a clang build configured with -DZARNEX_BUILD_FUZZ=ON and with
# the zarnex_fuzzers target built. TARGETs are decode, encode, sequence and
# round_trip (all of them by default). SECONDS is the time per target
# (default 60). Without -w the working corpora live in a temporary directory
# that is removed at the end; with -w they stay in WORKDIR/<target>/, so a
# later run goes on from what an earlier one found, and crash inputs stay in
# WORKDIR/<target>-crash-*. Exits non-zero when a target fails, after
# printing the failure and the input that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
workdir=
while getopts "t:w:" option; do
  case $option in
    t) seconds=$OPTARG ;;
    w) workdir=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
build=${1:?usage: fuzz/run.sh [-t SECONDS] [-w WORKDIR] BUILD_DIR [TARGET...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(decode encode sequence round_trip)

if [ -z "$workdir" ]; then
  workdir=$(mktemp -d)
  trap 'rm -rf "$workdir"' EXIT
fi
mkdir -p "$workdir"

failed=0
for target in "${targets[@]}"; do
  binary=$build/fuzz/zarnex_fuzz_$target
  [ -x "$binary" ] || { echo "fuzz: no target $binary" >&2; exit 2; }
  case $target in
    encode | round_trip) dict=fuzz/xml.dict ;;
    *) dict=fuzz/sequence.dict ;;
  esac
  corpus=$workdir/$target
  mkdir -p "$corpus"
  cp fuzz/corpus/"$target"/* "$corpus"/
  if [ -d fuzz/regressions/"$target" ]; then
    cp fuzz/regressions/"$target"/* "$corpus"/ 2>/dev/null || true
  fi
  log=$workdir/$target.log
  status=0
  # -close_fd_mask=2 would hide the sequence mode's diagnostics, but the log
  # file takes them instead, and only its summary is printed.
  "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict="$dict" -print_final_stats=1 -artifact_prefix="$workdir/$target-" \
    "$corpus" >"$log" 2>&1 || status=$?
  if [ $status -eq 0 ]; then
    # The sequence mode's diagnostics can share a line with libFuzzer's.
    done_line=$(grep -ao '#[0-9]*[[:space:]]*DONE.*' "$log" | tail -n 1 || true)
    echo "fuzz $target: ${seconds}s, no finding. runs: ${done_line#\#}"
    continue
  fi
  failed=1
  echo "fuzz $target: FAILED with status $status"
  grep -av -e '^bad input format' -e '^ ' -e '^Bad format input data' \
    -e '^$' "$log" | tail -n 60
  for artifact in "$workdir/$target"-*; do
    [ -f "$artifact" ] || continue
    echo "input $artifact ($(wc -c <"$artifact") bytes, first 4 KiB):"
    head -c 4096 "$artifact" | od -A d -t x1z | head -n 300
  done
done
exit $failed
