#!/usr/bin/env bash
# Runs clang-tidy with the root .clang-tidy over every C++ source of src/, tools/
# and tests/ (and, through its header filter, the headers they include), two
# files at a time, and fails if any file draws a warning.
#
# usage: cmake/clang-tidy.sh [build directory with compile_commands.json, default build/dev]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build/dev}
[ -f "$build_dir/compile_commands.json" ] || {
  echo "no $build_dir/compile_commands.json: configure it first (cmake --preset dev)"
  exit 1
}
clang_tidy=${CLANG_TIDY:-clang-tidy}

# clang has no -mtls-dialect, which a g++ build passes (src/CMakeLists.txt):
# tidy with a copy of the compilation database without it.
database=$(mktemp -d)
trap 'rm -rf "$database"' EXIT
sed 's/ -mtls-dialect=gnu2//g' "$build_dir/compile_commands.json" >"$database/compile_commands.json"

# Largest files first, so that the two queues finish close together.
git ls-files -z 'src/*.cc' 'tools/*.cc' 'tests/*.cc' | xargs -0 ls -S |
  xargs -P2 -n1 "$clang_tidy" -p "$database" --quiet 2> >(grep -v -e '^[0-9]* warnings* generated\.$' \
    -e '^Suppressed [0-9]* warnings' -e '^Use -header-filter=' -e '^[0-9]* warnings* treated as errors$' >&2) || {
  echo "clang-tidy: warnings above"
  exit 1
}
echo "clang-tidy: no warnings"
