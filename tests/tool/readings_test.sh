#!/usr/bin/env bash
# convert beside two independent readers, GNU `date -u -d` and Python's
# datetime.fromisoformat: a text the table accepts converts to the instant that
# every reader accepting it gives (Python to the microsecond); one it refuses
# ends in a message and status 1. --lenient gives the library's reading.
set -uo pipefail
tool=$1
failures=0
passed=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

texts=()
wants=()
row() { texts+=("$1"); wants+=("$2"); }

# check TEXT A|R PYTHON
check() {
  local text=$1 want=$2 python=$3 got status gnu
  got=$("$tool" convert -- "$text" 2>&1)
  status=$?
  if [ "$want" = R ]; then
    if [ "$status" = 1 ] && [[ $got == "orvik-chrono: argument 1: "* ]]; then passed=$((passed + 1)); else
      fail "'$text' should be refused: $got"; fi
    return
  fi
  gnu=$(date -u -d "$text" +%FT%T.%NZ 2>/dev/null)
  if [ "$status" != 0 ] || { [ -n "$gnu" ] && [ "$gnu" != "$got" ]; } ||
     { [ "$python" != - ] && [ "$python" != "${got:0:26}" ]; } || { [ -z "$gnu" ] && [ "$python" = - ]; }; then
    fail "'$text': $got (status $status), GNU date '$gnu', Python '$python'"
  else
    passed=$((passed + 1))
  fi
}

# Each fraction length and each offset form, in both ISO 8601 layouts.
for zone in Z +05:30 +0530 +05 -08:00 -0800 -00:00; do
  for digits in 0 1 2 3 4 5 6 7 8 9; do
    fraction=${digits/#0/}
    [ "$digits" = 0 ] || fraction=.$(cut -c1-"$digits" <<<987654321)
    row "2024-03-05T07:08:09$fraction$zone" A
    row "20240305T070809$fraction$zone" A
  done
done

# Each fraction length of epoch seconds.
for digits in 1 2 3 4 5 6 7 8 9; do row "@1709622489.$(cut -c1-"$digits" <<<987654321)" A; done

while IFS='|' read -r text want; do row "$text" "$want"; done <<'TABLE'
Sun, 06 Nov 1994 08:49:37 GMT|A
Sun, 06 Nov 1994 08:49:37 UT|A
Sun, 06 Nov 1994 08:49:37 UTC|A
Sun, 06 Nov 1994 08:49:37|A
Sun, 06 Nov 1994 08:49:37 -0500|A
Sun, 6 Nov 1994 08:49:37 +0530|A
Sunday, 06-Nov-94 08:49:37 GMT|A
Sunday, 06-Nov-94 08:49:37 -0500|A
Sun Nov  6 08:49:37 1994|A
Sun Nov  6 08:49:37 1994 +0100|R
Tue Nov 15 08:49:37 1994 GMT|A
Sun, 06 Nov 1994 08:49:37 PST|R
Sun, 06 Nov 1994 08:49:37 +05:30|R
Sun, 06 Nov 1994 08:49:37 +2400|R
Sun, 06 Nov 1994 08:49:37.5 GMT|R
Mon, 06 Nov 1994 08:49:37 GMT|R
Monday, 15-Jul-24 12:00:00 GMT|R
Sun, 31 Nov 1994 08:49:37 GMT|R
Sun, 06 Nov 1994 24:00:00 GMT|R
Mon, 06 Nov 1994 24:00:00 GMT|R
Mon, 00 Nov 1994 08:49:37 GMT|R
Wed, 29 Feb 2023 08:49:37 GMT|R
Sun, 06 Nov 1994 08:60:00 GMT|R
Mon, 28 Feb 2022 23:59:59 GMT|A
Tue, 01 Mar 2022 00:00:00 GMT|A
Tue, 31 Dec 2024 23:59:59 GMT|A
Sun, 06 Nov 1994 08:49:60 GMT|R
Sun,06 Nov 1994 08:49:37 GMT|R
Fri, 11 Apr 2262 23:47:16 -0100|R
2024-02-29T00:00:00Z|A
2024-03-31T07:08:09.10-08:00|A
2000-02-29T12:00:00Z|A
1900-01-01T00:00:00Z|A
2262-04-11T23:47:16Z|A
2262-04-11T23:59:59+01:00|A
2024-02-30T07:08:09Z|R
2023-02-29T07:08:09Z|R
1900-02-29T07:08:09Z|R
2024-13-05T07:08:09Z|R
2024-00-05T07:08:09Z|R
2024-03-00T07:08:09Z|R
2024-11-15T24:00:00Z|R
2024-11-15T17:61:19Z|R
2024-11-15T17:18:61.123Z|R
2024-03-05T07:08:09+05:75|R
2024-03-05T07:08:09+24:00|R
2024-03-05T07:08:09.1234567891Z|R
2024-03-05T07:08:09Zjunk|R
2024-03-05T07:08:09Z |R
 2024-03-05T07:08:09Z|R
2024-03-05 07:08:09Z|R
@-1.5|A
@0.000000001|A
@1709622489.1|A
@9223372036.854775807|A
@-9223372036.854775808|A
@9223372036.854775808|R
@99999999999999999999|R
@92233720360|R
@1.1234567890|R
@1.|R
TABLE

# Python reads every text in one run, one line each: its UTC text or "-".
mapfile -t pythons < <(printf '%s\n' "${texts[@]}" | python3 -c 'import sys, datetime
for line in sys.stdin:
    try: print(datetime.datetime.fromisoformat(line[:-1]).astimezone(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%S.%f"))
    except ValueError: print("-")')
for i in "${!texts[@]}"; do check "${texts[i]}" "${wants[i]}" "${pythons[i]:-}"; done

# The messages say what the text holds and what it would become.
want='orvik-chrono: argument 1: Not the instant written: "02-30" would be read as "03-01" (2024-03-01T07:08:09Z); --lenient allows it: 2024-02-30T07:08:09Z
orvik-chrono: argument 2: Not the instant written: "PST" would be read as "GMT" (Sun, 06 Nov 1994 08:49:37 GMT); --lenient allows it: Sun, 06 Nov 1994 08:49:37 PST'
got=$("$tool" convert --invalid drop 2024-02-30T07:08:09Z "Sun, 06 Nov 1994 08:49:37 PST" 2>&1)
[ "$got" = "$want" ] && passed=$((passed + 1)) || fail "messages: $got"

# --lenient: the library's reading, unchanged.
got=$("$tool" convert --lenient 2024-02-30T07:08:09Z 2024-03-05T07:08:09.5Z "Sun, 06 Nov 1994 08:49:37 -0500" 2>&1)
[ "$got" = $'2024-03-01T07:08:09.000000000Z\n2024-03-05T07:08:09.000000005Z\n1994-11-06T08:49:37.000000000Z' ] &&
  passed=$((passed + 1)) || fail "lenient: $got"

# parse says what convert writes, or why it refuses.
got=$("$tool" parse 2024-03-05T07:08:09.5Z 2024-02-30T07:08:09Z | grep '^convert')
[ "$got" = 'convert      2024-03-05T07:08:09.500000000Z
convert      refused: Not the instant written: "02-30" would be read as "03-01" (2024-03-01T07:08:09Z); --lenient allows it: 2024-02-30T07:08:09Z' ] &&
  passed=$((passed + 1)) || fail "parse: $got"

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
