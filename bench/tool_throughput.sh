#!/usr/bin/env bash
# Lines per second of `orvik-chrono convert` on one million generated lines:
# HTTP dates to iso-ns, ISO 8601 to http, a tab-separated column of HTTP dates
# to iso, and a CSV column of epoch seconds to iso, unquoted and with every
# field quoted. Given several tools (an old and a new build), each round runs
# them by turns, so that the machine's slow spells fall on all alike, and the
# fastest of ROUNDS runs (default 5) is shown. A tool that refuses a case's
# lines shows "refused".
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

cases=("http -> iso-ns|http.txt|--to iso-ns"
  "iso-ns -> http|iso.txt|--to http"
  "tsv http -> iso|http.tsv|--field 2 --to iso"
  "csv epoch -> iso|epoch.csv|--field 2 --delimiter , --from epoch --to iso"
  "quoted csv epoch -> iso|quoted.csv|--field 2 --delimiter , --from epoch --to iso")

declare -A best
for ((round = 0; round < rounds; ++round)); do
  for entry in "${cases[@]}"; do
    IFS='|' read -r name input args <<<"$entry"
    for t in "${!tools[@]}"; do
      start=$(date +%s%N)
      # shellcheck disable=SC2086
      if "${tools[t]}" convert $args <"$work/$input" >/dev/null 2>&1; then
        ns=$(($(date +%s%N) - start))
      else
        ns=0
      fi
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
    if [ "$ns" -eq 0 ]; then printf '%18s' refused; else printf '%18.0f' "$(echo "$lines * 1000000000 / $ns" | bc -l)"; fi
  done
  echo
done
