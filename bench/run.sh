#!/usr/bin/env bash
# Builds the benchmark suite (preset "bench"), runs it with TZ unset and with
# TZ=Europe/Berlin, prints a Markdown table of medians with each peer's ratio
# to orvik, and writes it with the machine's description to
# bench/results/latest.md and as a chart to bench/results/latest.png.
#
# Settings (environment): ORVIK_BENCH_REPETITIONS (default 5),
# ORVIK_BENCH_MIN_TIME (seconds per repetition, default 0.05),
# ORVIK_BENCH_FILTER (a benchmark name regex, default all).
# Needs python3 for the table and gnuplot for the chart (without gnuplot the
# chart is left out).
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=${ORVIK_BENCH_REPETITIONS:-5}
min_time=${ORVIK_BENCH_MIN_TIME:-0.05}
filter=${ORVIK_BENCH_FILTER:-.}
results=bench/results
raw=build/bench/results
mkdir -p "$results" "$raw"

echo "Building the bench preset..." >&2
cmake --preset bench >"$raw/configure.log"
cmake --build --preset bench -j 2 >"$raw/build.log"
suite=build/bench/bench/orvik_chrono_bench

run() {  # <label> <file stem> [TZ value]; without a value TZ is unset
  local label=$1 stem=$2
  echo "Running the suite, $label ($repetitions repetitions of ${min_time}s)..." >&2
  local -a env_args=(-u TZ)
  [[ $# -ge 3 ]] && env_args=("TZ=$3")
  env "${env_args[@]}" "$suite" \
    --benchmark_filter="$filter" \
    --benchmark_repetitions="$repetitions" \
    --benchmark_min_time="$min_time" \
    --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true \
    --benchmark_out="$raw/$stem.json" --benchmark_out_format=json >"$raw/$stem.txt" 2>&1
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
if awk -v load="${load_before%% *}" 'BEGIN { exit !(load > 0.5) }'; then
  echo "Note: load average $load_before: other processes share the cores, so times are noisy" \
    "and two threads cannot scale." >&2
fi
started=$(date -u '+%Y-%m-%d %H:%M UTC')
run "TZ unset" tz_unset
run "TZ=Europe/Berlin" tz_berlin Europe/Berlin
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/bench/CMakeCache.txt)
peers=""
if command -v dpkg-query >/dev/null; then
  peers=$(dpkg-query -W -f '${Package} ${Version}, ' libc6 libabsl-dev libhowardhinnant-date-dev libfmt-dev \
    libcurl4-openssl-dev libbenchmark-dev 2>/dev/null | sed 's/, $//') || true
fi
missing=$(sed -n 's/^-- Benchmarks: //p' "$raw/configure.log")

python3 bench/report.py --zone "TZ unset" "$raw/tz_unset.json" --zone "TZ=Europe/Berlin" "$raw/tz_berlin.json" \
  --chart-data "$raw/chart.dat" >"$raw/table.md"

{
  echo "# orvik-chrono beside its peers"
  echo
  echo "- CPU: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), $(nproc) cores"
  echo "- Compiler: $("${compiler:-c++}" --version | head -1), Release (-O3)"
  echo "- Date: $started; load average $load_before before, $load_after after"
  [[ -n $peers ]] && echo "- Packages: $peers"
  while IFS= read -r line; do [[ -n $line ]] && echo "- Left out: $line"; done <<<"$missing"
  echo "- Command: \`bench/run.sh\` ($repetitions repetitions of ${min_time}s per benchmark, medians)"
  echo
  cat "$raw/table.md"
  echo
  echo "![ns per call](latest.png)"
} >"$results/latest.md"

if command -v gnuplot >/dev/null; then
  rows=$(awk -F'\t' 'NR > 1 { y = $1 } END { print y + 1 }' "$raw/chart.dat")
  gnuplot -e "data='$raw/chart.dat'; output='$results/latest.png'; rows=$rows; zone1='TZ unset'; \
zone2='TZ=Europe/Berlin'; subtitle='orvik-chrono (red) beside its peers: median ns per call (CPU time; _2_threads rows: wall time over both threads), $started'" bench/chart.gp
else
  echo "gnuplot not found: no chart" >&2
fi

cat "$results/latest.md"
