#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzzer for SECONDS seconds, JOBS at a
# time (default 1), each on a copy of its seed corpus in a temporary folder and
# with its dictionary; the formatters' fuzzer runs once under each TZ value of
# FUZZ_ZONES. Prints executions and coverage (libFuzzer's final cov and ft) per
# run, and exits non-zero if any run failed; a failing input is kept in
# build/fuzz/fuzz/findings/ and the run's whole log next to it.
#
#   fuzz/run.sh SECONDS [JOBS]
set -euo pipefail

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [JOBS]" >&2
  exit 2
fi
seconds=$1
jobs=${2:-1}
zones=${FUZZ_ZONES:-Europe/Berlin Asia/Kathmandu America/St_Johns Australia/Lord_Howe Africa/Monrovia right/Europe/Berlin}

cd "$(dirname "$0")/.."
source_dir=$PWD
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
binaries=$source_dir/build/fuzz/fuzz
findings=$binaries/findings
mkdir -p "$findings"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name|fuzzer|TZ value ("-" leaves TZ as it is)
runs=()
for fuzzer in scan_fuzzer iso8601_fuzzer http_date_fuzzer duration_fuzzer iso8601_strict_fuzzer http_strict_fuzzer \
  mail_date_fuzzer duration_strict_fuzzer zone_fuzzer layout_fuzzer layout_paths_fuzzer; do
  runs+=("$fuzzer|$fuzzer|-")
done
for zone in $zones; do runs+=("formatters_fuzzer[TZ=$zone]|formatters_fuzzer|$zone"); done

run_one() {
  local name=$1 fuzzer=$2 zone=$3
  local dir=$work/${name//[^A-Za-z0-9_]/_}
  mkdir -p "$dir/corpus"
  cp "$source_dir/fuzz/corpus/$fuzzer/"* "$dir/corpus/"
  local command=("$binaries/$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1
    -dict="$source_dir/fuzz/$fuzzer.dict" -artifact_prefix="$findings/" "$dir/corpus")
  local status=0
  if [[ $zone == - ]]; then
    "${command[@]}" >"$dir/log" 2>&1 || status=$?
  else
    TZ=$zone "${command[@]}" >"$dir/log" 2>&1 || status=$?
  fi
  echo "$status" >"$dir/status"
}

pids=()
for run in "${runs[@]}"; do
  IFS='|' read -r name fuzzer zone <<<"$run"
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
  run_one "$name" "$fuzzer" "$zone" &
  pids+=($!)
done
wait "${pids[@]}" || true

failed=0
printf '\n%-40s %14s %8s %8s %8s  %s\n' run executions exec/s cov ft result
for run in "${runs[@]}"; do
  IFS='|' read -r name fuzzer zone <<<"$run"
  dir=$work/${name//[^A-Za-z0-9_]/_}
  log=$dir/log
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  per_second=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  last=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  result=ok
  if [[ $(cat "$dir/status") != 0 ]]; then
    result="FAILED, log: $findings/${dir##*/}.log"
    cp "$log" "$findings/${dir##*/}.log"
    failed=1
  fi
  printf '%-40s %14s %8s %8s %8s  %s\n' "$name" "${executions:--}" "${per_second:--}" "${cov:--}" "${ft:--}" "$result"
done
exit "$failed"
