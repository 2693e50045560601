#!/usr/bin/env bash
# Installs with apt-get (through sudo unless run as root) the Debian 12 packages
# that building orvik-chrono needs (`build`), or building and testing it
# (`test`), or building the benchmarks with every peer they measure and
# counting instructions (`bench`).
set -euo pipefail
build=(cmake ninja-build g++ libcli11-dev)
tests=("${build[@]}" libgtest-dev tzdata pkg-config python3)
bench=("${build[@]}" libbenchmark-dev tzdata pkg-config python3 valgrind bc
  libabsl-dev libhowardhinnant-date-dev libfmt-dev libcurl4-openssl-dev)
case ${1:-} in
  build) packages=("${build[@]}") ;;
  test) packages=("${tests[@]}") ;;
  bench) packages=("${bench[@]}") ;;
  *) echo "usage: $0 build|test|bench" >&2; exit 2 ;;
esac
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${packages[@]}"
