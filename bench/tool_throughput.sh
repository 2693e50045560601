#!/usr/bin/env bash
# Lines per second of `orvik-chrono convert` on one million generated lines:
# HTTP dates to iso-ns, ISO 8601 to http, a tab-separated column of HTTP dates
# to iso, a CSV column of epoch seconds to iso, unquoted and with every field
# quoted, and HTTP dates that are all refused (a ':' made an 'x'), their
# messages written to a file and counted. Given several tools (an old and a new
# build), each round runs them by turns, so that the machine's slow spells fall
# on all alike, and the fastest of ROUNDS runs (default 5) is shown. A tool
# that refuses a case's lines shows "refused"; one that does not refuse every
# line of the refused case shows "accepted".
# Usage: bench/tool_throughput.sh [tool...]
set -euo pipefail
[ $# -gt 0 ] || set -- build/release/tools/orvik-chrono
tools=("$@")
rounds=${ROUNDS:-5}
lines=1000000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Instants spread over 1970 to 2100 (one every 4111 s), written by the tool itself.
seq 0 4111 $((4111 * (lines - 1))) | "${tools[0]}" convert --to http >"$work/http.txt"
"${tools[0]}" convert --from http --to iso-ns <"$work/http.txt" >"$work/iso.txt"
sed 's/.*/row\t&\tok/' "$work/http.txt" >"$work/http.tsv"
seq 0 4111 $((4111 * (lines - 1))) | sed 's/.*/row,&,ok/' >"$work/epoch.csv"
seq 0 4111 $((4111 * (lines - 1))) | sed 's/.*/"row","&","ok"/' >"$work/quoted.csv"
sed 's/:/x/' "$work/http.txt" >"$work/refused.txt"

# name|input|expected exit status|arguments
cases=("http -> iso-ns|http.txt|0|--to iso-ns"
  "iso-ns -> http|iso.txt|0|--to http"
  "tsv http -> iso|http.tsv|0|--field 2 --to iso"
  "csv epoch -> iso|epoch.csv|0|--field 2 --delimiter , --from epoch --to iso"
  "quoted csv epoch -> iso|quoted.csv|0|--field 2 --delimiter , --from epoch --to iso"
  "refused http|refused.txt|1|--to iso-ns")

# Runs one tool on one case; prints nanoseconds, or 0 when its lines were
# refused (or, for the refused case, not every line was).
run() {
  local tool=$1 input=$2 status=$3 args=$4 start ns code=0
  # The last run's messages (a refusing tool's can be a hundred megabytes)
  # are dropped before the clock starts, not by this run's redirection.
  rm -f "$work/errors.txt"
  start=$(date +%s%N)
  # shellcheck disable=SC2086
  "$tool" convert $args <"$work/$input" >/dev/null 2>"$work/errors.txt" || code=$?
  ns=$(($(date +%s%N) - start))
  if [ "$code" -ne "$status" ]; then ns=0; fi
  if [ "$status" -ne 0 ] && [ "$(wc -l <"$work/errors.txt")" -ne "$lines" ]; then ns=-1; fi
  echo "$ns"
}

declare -A best
for ((round = 0; round < rounds; ++round)); do
  for entry in "${cases[@]}"; do
    IFS='|' read -r name input status args <<<"$entry"
    for t in "${!tools[@]}"; do
      ns=$(run "${tools[t]}" "$input" "$status" "$args")
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
