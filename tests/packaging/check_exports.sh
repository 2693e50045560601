#!/usr/bin/env bash
# The library's dynamic symbol table holds exactly the public functions.
set -euo pipefail
library=$1
expected=$2
actual=$(nm -D --defined-only "$library" | awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); print }' | c++filt | sort)
if ! diff <(sort "$expected") <(echo "$actual"); then
  echo "exported symbols differ from $expected (< expected, > exported)"
  exit 1
fi
echo "$(wc -l <<<"$actual") exported symbols, as expected"
