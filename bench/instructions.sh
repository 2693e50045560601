#!/usr/bin/env bash
# Instructions per call of each call of orvik_chrono_instructions, by callgrind,
# for one build or two side by side with their ratio:
#   bench/instructions.sh BUILD [OTHER_BUILD]   (BUILD: a bench build folder, such as build/bench)
# TZ is left as the caller sets it; CALLS (default 8192) calls are counted, of
# the cases that CASES lists (default: every case).
set -euo pipefail
calls=${CALLS:-8192}
count() {  # build case
  local file
  file=$(mktemp)
  LD_LIBRARY_PATH="$1/src" valgrind --tool=callgrind --callgrind-out-file="$file" --toggle-collect='*Measured*' \
    "$1/bench/orvik_chrono_instructions" "$2" "$calls" 2>&1 | awk -v n="$calls" '/Collected/ {printf "%.1f", $4 / n}'
  rm -f "$file"
}
cases=${CASES:-$("$1/bench/orvik_chrono_instructions" 2>&1 | sed 's/.*calls://')} || true
for c in $cases; do
  if [ $# -eq 2 ]; then
    a=$(count "$1" "$c"); b=$(count "$2" "$c")
    printf '%-30s %8s %8s %6.3f\n' "$c" "$a" "$b" "$(echo "$b / $a" | bc -l)"
  else
    printf '%-30s %8s\n' "$c" "$(count "$1" "$c")"
  fi
done
