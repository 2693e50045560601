#!/usr/bin/env bash
# `orvik-chrono convert --from epoch --to iso` on one million random epoch
# seconds of 1970 to 2099, with --local beside --utc under one TZ (default
# Europe/Berlin): the fastest of ROUNDS runs (default 5) of each, by turns,
# and their ratio; then, with INSTRUCTIONS=1, valgrind's instruction count of
# the whole process on the first 100 000 lines, per line.
# Usage: bench/tool_local.sh [tool] (default build/release/tools/orvik-chrono)
set -euo pipefail
tool=${1:-build/release/tools/orvik-chrono}
rounds=${ROUNDS:-5}
zone=${ZONE:-Europe/Berlin}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 -c '
import random
random.seed(1)
print("\n".join(str(random.randrange(0, 4102444800)) for _ in range(1000000)))' >"$work/epochs.txt"
head -n 100000 "$work/epochs.txt" >"$work/epochs-100k.txt"

seconds() {  # <zone option> <input>: the run's wall time in seconds
  local start end
  start=$(date +%s%N)
  TZ=$zone "$tool" convert --from epoch --to iso "$1" <"$2" >/dev/null
  end=$(date +%s%N)
  echo "$(((end - start) / 1000))"
}

best_local=0
best_utc=0
for ((round = 0; round < rounds; ++round)); do
  for option in --local --utc; do
    us=$(seconds "$option" "$work/epochs.txt")
    if [ "$option" = --local ]; then
      if [ "$best_local" -eq 0 ] || [ "$us" -lt "$best_local" ]; then best_local=$us; fi
    elif [ "$best_utc" -eq 0 ] || [ "$us" -lt "$best_utc" ]; then
      best_utc=$us
    fi
  done
done
echo "TZ=$zone, 1 000 000 lines, fastest of $rounds; load average $(cut -d' ' -f1-3 /proc/loadavg)"
awk -v l="$best_local" -v u="$best_utc" 'BEGIN {
  printf "--local: %.3f s (%.0f ns/line)\n--utc:   %.3f s (%.0f ns/line)\nratio:   %.2f\n", l / 1e6, l / 1e3, u / 1e6, u / 1e3, l / u }'

if [ "${INSTRUCTIONS:-0}" = 1 ]; then
  for option in --local --utc; do
    TZ=$zone valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
      "$tool" convert --from epoch --to iso "$option" <"$work/epochs-100k.txt" >/dev/null 2>"$work/valgrind.txt"
    awk -v option="$option" '/^summary:/ { printf "%s: %.1f instructions per line (whole process, 100 000 lines)\n", option, $2 / 100000 }' \
      "$work/callgrind.out"
  done
fi
