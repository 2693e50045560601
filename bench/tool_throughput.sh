#!/usr/bin/env bash
# Lines per second of `orvik-chrono convert` on one million generated lines:
# HTTP dates to iso-ns (by --from auto and --from http), the same instants in
# an access log's layout by --from-format, ISO 8601 to http, a tab-separated
# column of HTTP dates to iso, a CSV column of epoch seconds to iso, unquoted
# and with every field quoted, HTTP dates that are all refused (a ':' made an 'x') and HTTP dates of
# which every tenth is, their messages written to a file and counted; HTTP
# dates to iso-ns in UTC (--utc) and in a zone (--zone), and ISO 8601 texts
# read in a zone (--assume-zone), with an offset (which the zone does not
# change) and the same texts without one, as wall-clock time. Given
# several tools (an old and a new build), each round runs them by turns, so
# that the machine's slow spells fall on all alike, and the fastest of ROUNDS
# runs (default 5) is shown. A tool that refuses lines of a case other than
# those meant shows "refused"; one that refuses fewer shows "accepted".
# Then the largest resident memory of one run of each tool: the CSV case on
# 100 000 and 1 000 000 records, 1 GB of records of 1 MB each, one record
# of 200 MB, and one of 100 MB with a quoted field of doubled quotes and line
# breaks, as the field converted and before it.
# Usage: bench/tool_throughput.sh [tool...]
set -euo pipefail
[ $# -gt 0 ] || set -- build/release/tools/orvik-chrono
tools=("$@")
rounds=${ROUNDS:-5}
lines=1000000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Instants spread over 1970 to 2100 (one every 4111 s), written by the tool itself.
seq 0 4111 $((4111 * (lines - 1))) | "${tools[0]}" convert --from epoch --to http >"$work/http.txt"
"${tools[0]}" convert --from http --to iso-ns <"$work/http.txt" >"$work/iso.txt"
sed 's/.*/row\t&\tok/' "$work/http.txt" >"$work/http.tsv"
seq 0 4111 $((4111 * (lines - 1))) | sed 's/.*/row,&,ok/' >"$work/epoch.csv"
seq 0 4111 $((4111 * (lines - 1))) | sed 's/.*/"row","&","ok"/' >"$work/quoted.csv"
sed 's/:/x/' "$work/http.txt" >"$work/refused.txt"
sed '0~10 s/:/x/' "$work/http.txt" >"$work/tenth.txt"
# The UTC times of iso.txt as wall-clock times, some in Berlin's gaps and folds.
sed 's/Z$/+01:00/' "$work/iso.txt" >"$work/offset.txt"
sed 's/Z$//' "$work/iso.txt" >"$work/wall.txt"
# The same instants as an access log writes them, by GNU date.
seq 0 4111 $((4111 * (lines - 1))) | sed 's/^/@/' | LC_ALL=C date -u -f - '+%d/%b/%Y:%H:%M:%S %z' >"$work/access.txt"

# name|input|expected exit status|lines refused|arguments (split at spaces; a '~' inside one stands for a space,
# as in the access log's format)
cases=("http -> iso-ns|http.txt|0|0|--to iso-ns"
  "http --from http|http.txt|0|0|--from http --to iso-ns"
  "access log --from-format|access.txt|0|0|--from-format %d/%b/%Y:%H:%M:%S~%z --to iso-ns"
  "iso-ns -> http|iso.txt|0|0|--to http"
  "tsv http -> iso|http.tsv|0|0|--field 2 --to iso"
  "csv epoch -> iso|epoch.csv|0|0|--field 2 --delimiter , --from epoch --to iso"
  "quoted csv epoch -> iso|quoted.csv|0|0|--field 2 --delimiter , --from epoch --to iso"
  "refused http|refused.txt|1|$lines|--to iso-ns"
  "http, a tenth refused|tenth.txt|1|$((lines / 10))|--to iso-ns"
  "http -> iso-ns --utc|http.txt|0|0|--utc --to iso-ns"
  "http -> iso-ns --zone|http.txt|0|0|--zone Europe/Berlin --to iso-ns"
  "iso +01:00, assume-zone|offset.txt|0|0|--assume-zone Europe/Berlin --disambiguate compatible --to iso-ns"
  "iso wall, assume-zone|wall.txt|0|0|--assume-zone Europe/Berlin --disambiguate compatible --to iso-ns")

# Runs one tool on one case; prints nanoseconds, 0 when it refused lines of
# a case meant to have none, or -1 when it refused other than those meant.
run() {
  local tool=$1 input=$2 status=$3 refused=$4 start ns code=0 argv
  read -r -a argv <<<"$5"
  argv=("${argv[@]//\~/ }")
  # The last run's messages (a refusing tool's can be a hundred megabytes)
  # are dropped before the clock starts, not by this run's redirection.
  rm -f "$work/errors.txt"
  start=$(date +%s%N)
  "$tool" convert "${argv[@]}" <"$work/$input" >/dev/null 2>"$work/errors.txt" || code=$?
  ns=$(($(date +%s%N) - start))
  if [ "$code" -ne "$status" ]; then ns=0; fi
  if [ "$status" -ne 0 ] && [ "$(wc -l <"$work/errors.txt")" -ne "$refused" ]; then ns=-1; fi
  echo "$ns"
}

declare -A best
for ((round = 0; round < rounds; ++round)); do
  for entry in "${cases[@]}"; do
    IFS='|' read -r name input status refused args <<<"$entry"
    for t in "${!tools[@]}"; do
      ns=$(run "${tools[t]}" "$input" "$status" "$refused" "$args")
      key="$name|$t"
      if [ -z "${best[$key]:-}" ] || { [ "$ns" -gt 0 ] && [ "$ns" -lt "${best[$key]}" ]; }; then best[$key]=$ns; fi
    done
  done
done

for t in "${!tools[@]}"; do echo "tool $((t + 1)): ${tools[t]}"; done
printf '%-24s' case
for t in "${!tools[@]}"; do printf '%18s' "tool $((t + 1)) lines/s"; done
echo
for entry in "${cases[@]}"; do
  name=${entry%%|*}
  printf '%-24s' "$name"
  for t in "${!tools[@]}"; do
    ns=${best[$name|$t]}
    if [ "$ns" -eq 0 ]; then
      printf '%18s' refused
    elif [ "$ns" -lt 0 ]; then
      printf '%18s' accepted
    else
      printf '%18.0f' "$(echo "$lines * 1000000000 / $ns" | bc -l)"
    fi
  done
  echo
done

# Largest resident memory in kB, and the exit status, of `convert` on what the command "$@" writes.
memory() {
  local tool=$1 code=0
  shift
  "$@" | /usr/bin/time -q -f %M -o "$work/rss" "$tool" convert --field 2 --delimiter , --from epoch --to iso \
    >/dev/null 2>&1 || code=$?
  printf '%18s' "$(cat "$work/rss") kB ($code)"
}
records() { head -n "$1" "$work/epoch.csv"; }
megabytes() { awk 'BEGIN { for (s = "x"; length(s) < 1000000; s = s s) {}; s = substr(s, 1, 1000000); for (i = 0; i < 1000; ++i) print "0,0," s }'; }
# One record of 200 MB, refused (it has one field) and written as it came.
long_record() { head -c 200000000 /dev/zero | tr '\0' x; echo; }
# One record of 100 MB whose quoted field holds doubled quotes and line breaks: field 2, refused as too long
# to be an instant's text, or field 1 before field 2, copied around the converted value.
quoted_record() {
  python3 -c 'import sys; field = b"\"" + b"xy\"\"z\n" * 16666666 + b"\""
sys.stdout.buffer.write((b"0," + field if sys.argv[1] == "2" else field + b",0") + b"\n")' "$1"
}
echo "max RSS (exit status)"
for input in "100 000 records|records 100000" "1 000 000 records|records 1000000" "1000 records of 1 MB|megabytes" \
  "one record of 200 MB|long_record" "quoted 100 MB field 2|quoted_record 2" "quoted 100 MB field 1|quoted_record 1"; do
  printf '%-24s' "${input%%|*}"
  # shellcheck disable=SC2086
  for tool in "${tools[@]}"; do memory "$tool" ${input#*|}; done
  echo
done
