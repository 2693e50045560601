#!/usr/bin/env bash
# Lines per second of `orvik-chrono convert` on one million generated lines:
# HTTP dates to iso-ns, ISO 8601 to http, a CSV column of epoch seconds to
# iso, and HTTP dates that are all refused (a ':' made an 'x'), their messages
# written to a file. Usage: bench/tool_throughput.sh [tool]
set -euo pipefail
tool=${1:-build/release/tools/orvik-chrono}
lines=1000000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Instants spread over 1970 to 2100 (one every 4111 s), written by the tool itself.
seq 0 4111 $((4111 * (lines - 1))) | "$tool" convert --to http >"$work/http.txt"
"$tool" convert --from http --to iso-ns <"$work/http.txt" >"$work/iso.txt"
seq 0 4111 $((4111 * (lines - 1))) | sed 's/.*/row,&,ok/' >"$work/epoch.csv"
sed 's/:/x/' "$work/http.txt" >"$work/refused.txt"

rate() {
  local name=$1 input=$2 start end
  shift 2
  start=$(date +%s%N)
  "$tool" convert "$@" <"$input" >/dev/null 2>"$work/errors.txt" || [ $? -eq 1 ]
  end=$(date +%s%N)
  printf '%-22s %12.0f lines/s  (%d lines in %.3f s)\n' "$name" \
    "$(echo "$lines * 1000000000 / ($end - $start)" | bc -l)" "$lines" "$(echo "($end - $start) / 1000000000" | bc -l)"
}
rate "http -> iso-ns" "$work/http.txt" --to iso-ns
rate "iso-ns -> http" "$work/iso.txt" --to http
rate "csv epoch -> iso" "$work/epoch.csv" --field 2 --delimiter , --from epoch --to iso
rate "refused http" "$work/refused.txt" --to iso-ns
[ "$(wc -l <"$work/errors.txt")" -eq "$lines" ] || { echo "expected $lines refusals" >&2; exit 1; }
