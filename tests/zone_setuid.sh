#!/usr/bin/env bash
# A setuid program's local time is left to localtime_r: the zone test's case
# for it, run by root from a copy of the test owned by nobody with the setuid
# bit, which makes the process AT_SECURE. Fails without root, which CI has.
#
# usage: zone_setuid.sh <zone_test executable>
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "not root: no setuid program to run"; exit 1; }
work=$(mktemp -d -p "$(dirname "$1")")
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/zone_test"
chmod 755 "$work"
chown nobody "$work/zone_test"
chmod 4755 "$work/zone_test"
out=$("$work/zone_test" --gtest_filter=LocalTime.DISABLED_LeavesASetuidProgramToLibc --gtest_also_run_disabled_tests)
echo "$out"
grep -q '^\[  PASSED  \] 1 test\.' <<<"$out"
