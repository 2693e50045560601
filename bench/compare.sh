#!/usr/bin/env bash
# Compares two builds of the benchmark suite (an old tree's and a new one's),
# benchmark family by family in turn (old, then new, then the next family),
# so that a slow spell of the machine falls on both alike; prints for every
# row the median CPU time of each (ns) and new ÷ old.
# Usage: bench/compare.sh <old suite> <new suite> [TZ value]; without a value
# TZ is unset. Settings: REPETITIONS (default 5; at least 2, for a median),
# MIN_TIME (default 0.05), FILTER (a regex of family names, default all).
set -euo pipefail
old=$1 new=$2
env_args=(-u TZ)
[[ $# -ge 3 ]] && env_args=("TZ=$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A family: a benchmark's function and variant, its first two parts.
mapfile -t families < <("$new" --benchmark_list_tests=true | sed -E 's|^([^/]+/[^/]+)/.*|\1|' | sort -u | grep -E "${FILTER:-.}")
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) before" >&2
for family in "${families[@]}"; do
  pattern="^$family/"  # names hold letters, digits, "_", ":" and "/" only
  for side in old new; do
    suite=$old
    [[ $side == new ]] && suite=$new
    env "${env_args[@]}" "$suite" --benchmark_filter="$pattern" --benchmark_repetitions="${REPETITIONS:-5}" \
      --benchmark_min_time="${MIN_TIME:-0.05}" --benchmark_report_aggregates_only=true \
      --benchmark_enable_random_interleaving=true --benchmark_format=json 2>/dev/null |
      python3 -c '
import json, sys
for b in json.load(sys.stdin)["benchmarks"]:
    if b.get("aggregate_name") == "median":
        time = b["real_time"] if "threads:" in b["run_name"] else b["cpu_time"]
        print(b["run_name"], time, sep="\t")' >>"$work/$side.tsv"
  done
done
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) after" >&2
python3 - "$work/old.tsv" "$work/new.tsv" <<'EOF'
import sys
old = dict(line.rstrip("\n").split("\t") for line in open(sys.argv[1]))
new = dict(line.rstrip("\n").split("\t") for line in open(sys.argv[2]))
print("| benchmark | old ns | new ns | new/old |")
print("|---|---:|---:|---:|")
for name, time in new.items():
    if name in old:
        print(f"| `{name}` | {float(old[name]):.3g} | {float(time):.3g} | {float(time) / float(old[name]):.2f} |")
    else:
        print(f"| `{name}` | — | {float(time):.3g} | — |")
EOF
