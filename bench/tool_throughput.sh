#!/usr/bin/env bash
# Lines per second of `orvik-chrono convert` on one million generated lines:
# HTTP dates to iso-ns, and ISO 8601 to http. Usage: bench/tool_throughput.sh [tool]
set -euo pipefail
tool=${1:-build/release/tools/orvik-chrono}
lines=1000000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Instants spread over 1970 to 2100 (one every 4111 s), written by the tool itself.
seq 0 4111 $((4111 * (lines - 1))) | "$tool" convert --to http >"$work/http.txt"
"$tool" convert --from http --to iso-ns <"$work/http.txt" >"$work/iso.txt"

rate() {
  local name=$1 to=$2 input=$3 start end
  start=$(date +%s%N)
  "$tool" convert --to "$to" <"$input" >/dev/null
  end=$(date +%s%N)
  printf '%-22s %12.0f lines/s  (%d lines in %.3f s)\n' "$name" \
    "$(echo "$lines * 1000000000 / ($end - $start)" | bc -l)" "$lines" "$(echo "($end - $start) / 1000000000" | bc -l)"
}
rate "http -> iso-ns" iso-ns "$work/http.txt"
rate "iso-ns -> http" http "$work/iso.txt"
