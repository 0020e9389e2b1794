#!/usr/bin/env bash
# Runs the zarnex binary under valgrind's memcheck through the scenarios of
# the command-line tests: single and bulk mode, every run mode, success and
# failure paths, hostile input. A run fails when valgrind reports a memory
# error or a definite or indirect leak, or when the exit status is not the
# expected one.
#
#   scripts/valgrind-cli.sh [ZARNEX_BINARY]     (default build-test/zarnex)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build-test/zarnex}
[ -x "$bin" ] || { echo "valgrind-cli: no binary at $bin" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "valgrind-cli: valgrind is not installed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
runs=0
failures=0

# valgrind_tool ARGS...: the tool under memcheck, standard error into $work/err.
valgrind_tool() {
  valgrind -q --error-exitcode=99 --leak-check=full \
    --errors-for-leak-kinds=definite,indirect --log-file="$work/valgrind.log" \
    "$bin" "$@" 2>"$work/err"
}
# run EXPECTED NAME INPUT_FILE [ARGS...]
# EXPECTED is an exit status, or "nonzero" where the tool only has to fail.
# The tool's output lands in $work/out and $work/err.
run() {
  run_to "$1" "$2" "$3" "$work/out" "${@:4}"
}
# run_to EXPECTED NAME INPUT OUTPUT [ARGS...]: as run, with standard output
# into OUTPUT; INPUT "closed" runs with standard input closed.
run_to() {
  local expected=$1 name=$2 input=$3 output=$4
  shift 4
  local status=0
  if [ "$input" = closed ]; then
    valgrind_tool "$@" <&- >"$output" || status=$?
  else
    valgrind_tool "$@" <"$input" >"$output" || status=$?
  fi
  runs=$((runs + 1))
  local ok=1
  if [ -s "$work/valgrind.log" ] || [ "$status" -eq 99 ]; then
    ok=0
  elif [ "$expected" = nonzero ]; then
    [ "$status" -ne 0 ] || ok=0
  elif [ "$status" -ne "$expected" ]; then
    ok=0
  fi
  if [ $ok -eq 0 ]; then
    failures=$((failures + 1))
    echo "FAIL: $name (zarnex $*): status $status, expected $expected"
    sed 's/^/  valgrind: /' "$work/valgrind.log"
    head -c 2000 "$work/err" | sed 's/^/  stderr: /'
    echo
  fi
}

# text NAME CONTENT: writes CONTENT (printf %b escapes allowed) to $work/NAME.
text() { printf '%b' "$2" >"$work/$1"; }

: >"$work/empty"
sequence=$(sed -n 2p examples/sequences.txt)
text sequence "$sequence"

# Options and usage.
run 0 "usage" "$work/empty"
run 0 "help" "$work/empty" --help
run 0 "version" "$work/empty" -V
run 1 "unknown option" "$work/empty" --foo=bar
run 1 "missing mode" "$work/empty" -i -f

# Single mode: every example encodes, its code decodes.
codes="$work/codes"
: >"$codes"
for xml in examples/*.xml; do
  run 0 "encode $xml" "$xml" --encode
  cp "$work/out" "$work/code"
  cat "$work/code" >>"$codes"
  echo >>"$codes"
done
run 0 "decode from stdin" "$work/code" --decode
run 0 "decode as value" "$work/empty" "--decode=$(cat "$work/code")"
text eot "$(cat "$work/code")\x04\n"
run 0 "decode up to EOT" "$work/eot" -d
run 0 "encode with id" examples/invoice.xml --encode --invoice_id
run 254 "encode with id, no InvoiceID" examples/pay-standing-order.xml -e -i
run 0 "sequence" "$work/sequence" --sequence
run 0 "sequence as value" "$work/empty" "--sequence=$sequence"
run 0 "sequence with id" "$work/sequence" -s -i

# Single mode: failures.
code=$(head -n 1 "$codes")
text code_newline "$code\n"
text code_lower "$(printf '%s' "$code" | tr 'A-V' 'a-v')"
text code_type3 "6${code:1}"
middle=$((${#code} / 2))
[ "${code:$middle:1}" = 0 ] && other=1 || other=0
text code_altered "${code:0:$middle}$other${code:$middle+1}"
text code_garbage '\x01\xff\x00ABCDEF\x00\n\x7f'
run 8 "short code" "$work/empty" -d=ABC
run 8 "empty code" "$work/empty" -d
run 1 "code and newline" "$work/code_newline" -d
run 1 "lower-case code" "$work/code_lower" -d
run 254 "code of type 3" "$work/code_type3" -d
run nonzero "altered code" "$work/code_altered" -d
run nonzero "binary garbage as code" "$work/code_garbage" -d
run nonzero "timestamped error" "$work/code_altered" -d -f
text broken_xml '<Pay>\n<InvoiceID>1</InvoiceID>\n'
text other_root '<pay/>'
text wrong_type '<Pay xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:type="Invoice"/>'
text no_currency '<Pay><Payments><Payment><PaymentOptions>paymentorder</PaymentOptions></Payment></Payments></Pay>'
text bad_amount '<Pay><Payments><Payment><Amount>12,5</Amount></Payment></Payments></Pay>'
sed 's/30\.5 cm/30.55 cm/' examples/invoice-items-full.xml >"$work/too_long"
{
  printf '<?xml version="1.0"?><!DOCTYPE Pay ['
  printf '<!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa">'
  prev=a
  for e in b c d e f g h i; do
    printf '<!ENTITY %s "' "$e"
    for _ in 1 2 3 4 5 6 7 8 9 10; do printf '&%s;' "$prev"; done
    printf '">'
    prev=$e
  done
  printf ']><Pay><InvoiceID>&i;</InvoiceID></Pay>'
} >"$work/bomb"
text external '<?xml version="1.0"?><!DOCTYPE Pay [<!ENTITY x SYSTEM "file:///etc/passwd">]><Pay><InvoiceID>&x;</InvoiceID></Pay>'
run 9 "broken XML" "$work/broken_xml" -e
run 9 "empty XML" "$work/empty" -e
run 254 "unknown root" "$work/other_root" -e
run 9 "wrong type attribute" "$work/wrong_type" -e
run 4 "missing value" "$work/no_currency" -e
run 9 "malformed amount" "$work/bad_amount" -e
run 7 "sequence limit" "$work/too_long" -e
run nonzero "entity bomb" "$work/bomb" -e
run nonzero "external entity" "$work/external" -e
text bad_prefix '3\t0\tX'
text bad_number '0\t0\tINV-1\t1\t1\t12x\tEUR\t20150131\t123\t\t\t\ttest\t1\tSK3112000000198742637541\tTATRSKBX\t0\t0'
run 5 "malformed sequence prefix" "$work/bad_prefix" -s
run 4 "malformed sequence number" "$work/bad_number" -s
run 5 "empty sequence" "$work/empty" -s

# Bulk mode: examples as lines, their codes, a few hundred sequence lines
# with good and bad ones mixed, and hostile lines; always status 0.
for xml in examples/*.xml; do tr '\r\n' '  ' <"$xml"; echo; done >"$work/xml_lines"
run 0 "bulk encode" "$work/xml_lines" -e -l
run 0 "bulk encode with ids, stamped errors" "$work/xml_lines" -e -l -i -f
{
  cat "$codes"
  printf '\n   \nNOT-A-CODE\n%s\n%s\r\n' "$(cat "$work/code_altered")" "$code"
  cat "$work/code_type3"; echo
} >"$work/code_lines"
run 0 "bulk decode" "$work/code_lines" -d -l
for i in $(seq 1 300); do
  case $((i % 10)) in
    3) printf '9\t0\tX-%d\n' "$i" ;;
    7) printf '0\t0\tID-%d\t1\t1\t%d,5\tEUR\t\t\t\t\t\t\t1\tSK3112000000198742637541\tTATRSKBX\t0\t0\n' "$i" "$i" ;;
    *) printf '0\t0\tID-%d\t1\t1\t%d.5\tEUR\t\t\t\t\t\t\t1\tSK3112000000198742637541\tTATRSKBX\t0\t0\n' "$i" "$i" ;;
  esac
done >"$work/sequence_lines"
cat examples/sequences.txt >>"$work/sequence_lines"
run 0 "bulk sequences" "$work/sequence_lines" -s -l
run 0 "bulk sequences with ids, stamped errors" "$work/sequence_lines" -s -l -i -f
{
  head -c 1048576 /dev/zero | tr '\0' 'A'; echo
  head -c 4096 /dev/urandom | tr '\n' 'x'; echo
  echo "$code"
  printf '\x04\n'
} >"$work/hostile_lines"
run 0 "bulk decode, hostile lines" "$work/hostile_lines" -d -l
run 0 "bulk encode, hostile lines" "$work/hostile_lines" -e -l
run 0 "bulk sequences, hostile lines" "$work/hostile_lines" -s -l

# Streams that fail: a full output, an unreadable or closed input, an input
# beyond the bound; single and bulk mode. (A closed output cannot be tried
# under valgrind: its log file would take the free descriptor 1.)
run_to 12 "encode into a full disk" examples/invoice.xml /dev/full -e
run_to 12 "bulk decode into a full disk" "$work/code_lines" /dev/full -d -l
run_to 12 "encode from a directory" / "$work/out" -e
run_to 12 "bulk sequences from a directory" / "$work/out" -s -l
run_to 12 "decode from a closed input" closed "$work/out" -d
run_to 12 "bulk decode from a closed input" closed "$work/out" -d -l
{ head -c 70000000 /dev/zero | tr '\0' ' '; } >"$work/too_long_input"
run 12 "input beyond the bound" "$work/too_long_input" -e
{ cat "$work/too_long_input"; echo; echo "$code"; } >"$work/too_long_line"
run 0 "bulk line beyond the bound" "$work/too_long_line" -d -l

# Codes whose strings XML cannot carry, a line feed written as a reference,
# an InvoiceID that would break its line.
run 4 "decode a control byte" fuzz/regressions/decode/code-control-byte -d
run 4 "decode Latin-1 text" fuzz/regressions/decode/code-latin1 -d
run 0 "decode a line feed" fuzz/regressions/decode/code-line-feed -d
{ for f in fuzz/regressions/decode/*; do cat "$f"; echo; done; } >"$work/text_codes"
run 0 "bulk decode of refused texts" "$work/text_codes" -d -l
text id_tab '0\t0\tA\tB\t1\t1\t10\tEUR\t\t\t\t\t\t\t1\tSK3112000000198742637541\tTATRSKBX\t0\t0'
run nonzero "sequence with an id that holds a tab" "$work/id_tab" -s -i
# QR targets that are not regular files, output files.
run_to 11 "QR symbol onto a device" examples/invoice.xml "$work/out" -e --qr=/dev/null --qr_format=png
run_to 12 "output file onto a device" examples/invoice.xml "$work/out" -e --output=/dev/null
run 0 "encode into an output file" examples/invoice.xml -e "--output=$work/code_file"
run 0 "bulk decode from and into files" "$work/empty" -d -l "--input=$codes" "--output=$work/xml_file"
# JSON, strict reading and check mode.
run 0 "encode JSON" examples/json/invoice.json -e --json
run 0 "decode to JSON" "$work/code" -d --json
text bad_json '{"type": "Pay", "Payments": [}'
run 13 "broken JSON" "$work/bad_json" -e --json
run 0 "strict encode" examples/pay-several.xml -e --strict
text five_problems '<Pay xmlns="urn:zarnex:document:1"><Payments><Payment><PaymentOptions>paymentorder banktransfer</PaymentOptions><Ammount>1</Ammount><CurrencyCode>EUR</CurrencyCode><PaymentDueDate>2024-02-30</PaymentDueDate></Payment></Payments></Pay>'
run nonzero "strict refusal" "$work/five_problems" -e --strict
run nonzero "check every problem" "$work/five_problems" --check --strict
run 0 "bulk check" "$work/xml_lines" --check -l

echo "valgrind-cli: $runs runs, $failures failed"
[ "$failures" -eq 0 ]
