#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what landed there, and
# builds and runs one consumer through find_package and one through pkg-config.
set -euo pipefail
build_dir=$1
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
for file in lib/liborvik_chrono.so lib/liborvik_chrono.so.1 lib/liborvik_chrono.so.1.0.0 \
    include/orvik/chrono/chrono.h lib/cmake/orvik_chrono/orvik_chronoConfig.cmake \
    lib/cmake/orvik_chrono/orvik_chronoConfigVersion.cmake lib/pkgconfig/orvik_chrono.pc; do
  [ -e "$prefix/$file" ] || { echo "missing: $file"; exit 1; }
done
[ "$(readlink "$prefix/lib/liborvik_chrono.so")" = liborvik_chrono.so.1 ] || { echo "bad .so link"; exit 1; }
dynamic=$(readelf -d "$prefix/lib/liborvik_chrono.so.1.0.0")
grep -q 'Library soname: \[liborvik_chrono.so.1\]' <<<"$dynamic" || { echo "bad SONAME"; exit 1; }
grep -q 'Library runpath: \[\$ORIGIN/../lib\]' <<<"$dynamic" || { echo "bad RUNPATH"; echo "$dynamic"; exit 1; }

want="1.0.0 2024-03-05 07:08:09"
cmake -S "$source_dir/consumer" -B "$work/cmake-consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake-consumer" >/dev/null
got=$("$work/cmake-consumer/consumer")
[ "$got" = "$want" ] || { echo "find_package consumer printed '$got'"; exit 1; }

flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs orvik_chrono)
# shellcheck disable=SC2086
c++ -std=c++20 "$source_dir/consumer/main.cc" $flags -o "$work/pkg-config-consumer"
got=$(LD_LIBRARY_PATH="$prefix/lib" "$work/pkg-config-consumer")
[ "$got" = "$want" ] || { echo "pkg-config consumer printed '$got'"; exit 1; }
echo "installed, found by find_package and pkg-config: $got"
