#!/usr/bin/env bash
# Installs the Debian package with apt-get, builds the consumer against the
# installed copy through find_package and through pkg-config, runs the tool and
# reads its manual page, then removes the package again. Needs root.
# Usage: tests/packaging/deb_check.sh build/release/orvik-chrono_<version>_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'apt-get remove -y -qq orvik-chrono >/dev/null; rm -rf "$work"' EXIT

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
want="1.1.0 2024-03-05 07:08:09"
cmake -S "$source_dir/consumer" -B "$work/cmake-consumer" -G Ninja >/dev/null
cmake --build "$work/cmake-consumer" >/dev/null
got=$("$work/cmake-consumer/consumer")
[ "$got" = "$want" ] || { echo "find_package consumer printed '$got'"; exit 1; }

# shellcheck disable=SC2046
c++ -std=c++20 "$source_dir/consumer/main.cc" $(pkg-config --cflags --libs orvik_chrono) -o "$work/pkg-config-consumer"
got=$("$work/pkg-config-consumer")
[ "$got" = "$want" ] || { echo "pkg-config consumer printed '$got'"; exit 1; }

[ "$(orvik-chrono convert --to iso 1709622489)" = 2024-03-05T07:08:09Z ] || { echo "installed tool failed"; exit 1; }
man orvik-chrono 2>/dev/null | grep -q 'convert instants between ISO 8601' || { echo "man orvik-chrono failed"; exit 1; }
echo "$(basename "$deb"): installed, found by find_package and pkg-config, tool and manual page work"
