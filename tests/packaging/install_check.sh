#!/usr/bin/env bash
# Installs a build into a temporary prefix, checks what landed there, and builds
# and runs one consumer through find_package and one through pkg-config. The
# given build is checked first; then the library alone is built the other way
# (static if the given build is shared, shared if it is static) and checked the
# same way, so one run covers both kinds of library.
#
# usage: install_check.sh <build directory> <C++ compiler>
set -euo pipefail
build_dir=$1
compiler=$2
script_dir=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$script_dir/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
want="1.1.0 2024-03-05 07:08:09"

fail() { echo "$kind: $*"; exit 1; }

check_shared_files() {
  local prefix=$1
  [ "$(readlink "$prefix/lib/liborvik_chrono.so")" = liborvik_chrono.so.1 ] || fail "bad .so link"
  [ -e "$prefix/lib/liborvik_chrono.so.1" ] || fail "missing: lib/liborvik_chrono.so.1"
  [ ! -e "$prefix/lib/liborvik_chrono.a" ] || fail "a static library beside the shared one"
  local dynamic
  dynamic=$(readelf -d "$prefix/lib/liborvik_chrono.so.1.1.0")
  grep -q 'Library soname: \[liborvik_chrono.so.1\]' <<<"$dynamic" || fail "bad SONAME"
  # shellcheck disable=SC2016 # a literal $ORIGIN
  grep -q 'Library runpath: \[\$ORIGIN/../lib\]' <<<"$dynamic" || { echo "$dynamic"; fail "bad RUNPATH"; }
}

check_static_files() {
  local prefix=$1
  [ -e "$prefix/lib/liborvik_chrono.a" ] || fail "missing: lib/liborvik_chrono.a"
  ! compgen -G "$prefix/lib/liborvik_chrono.so*" >/dev/null || fail "a shared library beside the static one"
}

# A consumer of the static library must not need liborvik_chrono at run time;
# one of the shared library must.
check_linkage() {
  local program=$1 needed
  needed=$(readelf -d "$program" | grep -c 'NEEDED.*liborvik_chrono' || true)
  if [ "$kind" = shared ]; then
    [ "$needed" = 1 ] || fail "$program does not load liborvik_chrono.so"
  else
    [ "$needed" = 0 ] || fail "$program loads a shared liborvik_chrono"
  fi
}

# A host that does not link the library loads it with dlopen and calls it
# from two threads: as it is, and after copies of a library with 64 bytes of
# initial-exec thread-local storage have used up glibc's static TLS block
# (a copy that no longer fits is refused), where the library's own
# thread-local storage must come from elsewhere.
check_dlopen() {
  local prefix=$1 out
  "$compiler" -std=c++20 -I"$prefix/include" "$script_dir/plugin_host.cc" -o "$work/plugin_host" -ldl -pthread
  echo '__attribute__((tls_model("initial-exec"))) thread_local char block[64]; char* Block() { return block; }' \
    >"$work/tls_user.cc"
  "$compiler" -shared -fPIC "$work/tls_user.cc" -o "$work/tls_user.so"
  local users=()
  for i in $(seq 40); do cp "$work/tls_user.so" "$work/tls_user$i.so"; users+=("$work/tls_user$i.so"); done
  out=$("$work/plugin_host" "$prefix/lib/liborvik_chrono.so.1") || fail "dlopen: $out"
  out=$("$work/plugin_host" "$prefix/lib/liborvik_chrono.so.1" "${users[@]}") || fail "dlopen after TLS users: $out"
  grep -q 'static TLS' <<<"$out" || fail "the static TLS block was not used up: $out"
  echo "loaded with dlopen, also with the static TLS block used up: ${out##*$'\n'}"
}

# The tool, where the build has it, runs from the prefix as installed, with no
# search path from the environment.
check_tool() {
  local tool=$1/bin/orvik-chrono got
  [ -e "$tool" ] || return 0
  got=$(env -u LD_LIBRARY_PATH "$tool" convert --to iso 1709622489 2>&1) || fail "installed tool: $got"
  [ "$got" = 2024-03-05T07:08:09Z ] || fail "installed tool printed '$got'"
  echo "$kind: installed tool runs: $got"
}

# check_install <shared|static> <build directory>
check_install() {
  kind=$1
  local build=$2 prefix=$work/$1/prefix got flags
  cmake --install "$build" --prefix "$prefix" >/dev/null
  for file in include/orvik/chrono/chrono.h lib/cmake/orvik_chrono/orvik_chronoConfig.cmake \
      lib/cmake/orvik_chrono/orvik_chronoConfigVersion.cmake lib/pkgconfig/orvik_chrono.pc; do
    [ -e "$prefix/$file" ] || fail "missing: $file"
  done
  "check_${kind}_files" "$prefix"

  cmake -S "$script_dir/consumer" -B "$work/$kind/cmake-consumer" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" \
    -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  cmake --build "$work/$kind/cmake-consumer" >/dev/null
  check_linkage "$work/$kind/cmake-consumer/consumer"
  got=$("$work/$kind/cmake-consumer/consumer")
  [ "$got" = "$want" ] || fail "find_package consumer printed '$got'"

  flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs orvik_chrono)
  # shellcheck disable=SC2086
  "$compiler" -std=c++20 "$script_dir/consumer/main.cc" $flags -o "$work/$kind/pkg-config-consumer"
  check_linkage "$work/$kind/pkg-config-consumer"
  got=$(LD_LIBRARY_PATH="$prefix/lib" "$work/$kind/pkg-config-consumer")
  [ "$got" = "$want" ] || fail "pkg-config consumer printed '$got'"
  echo "$kind library installed, found by find_package and pkg-config: $got"
  if [ "$kind" = shared ]; then check_dlopen "$prefix"; fi
  check_tool "$prefix"
}

if [ -n "$(find "$build_dir" -maxdepth 2 -name 'liborvik_chrono.so*' -print -quit)" ]; then
  given=shared other=static shared_libs=OFF
else
  given=static other=shared shared_libs=ON
fi
check_install "$given" "$build_dir"

# The library alone, built the other way.
cmake -S "$source_dir" -B "$work/$other/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER="$compiler" -DBUILD_SHARED_LIBS="$shared_libs" \
  -DORVIK_CHRONO_BUILD_TESTS=OFF -DORVIK_CHRONO_BUILD_TOOLS=OFF >/dev/null
cmake --build "$work/$other/build" >/dev/null
check_install "$other" "$work/$other/build"
