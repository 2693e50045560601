#!/usr/bin/env bash
# Every instant written is the instant, beside GNU `date`: random instants over
# the time point range, before 1970 and after, most with a fraction, written in
# each format in UTC, and with --local in zones whose offset once had seconds
# (local mean time, a POSIX zone of 2:00:01) and in zones whose never did. A
# whole-second format writes the second that holds the instant; an offset with
# seconds is refused with the line, naming --utc, and the text is kept; so is
# an instant whose local time counts leap seconds.
# parse's calendar line shows the same second.
set -uo pipefail
ulimit -f 100000  # a tool that writes without end fails here, not on a full disk
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passed=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

python3 -c 'import random
r = random.Random(33)
print("@-9223372036.854775808\n@-9223372036\n@9223372036.854775807\n@-0.5\n@-1.000000001\n@-3600.5\n@0\n@78796800\n@1483228800")
for _ in range(600):
    ns = r.randrange(-2**63, 2**63) if r.random() < 0.3 else r.randrange(-6 * 10**18, 3 * 10**18)
    ns -= ns % 10**9 if r.random() < 0.2 else 0
    print("@" + "-" * (ns < 0) + "%d.%09d" % divmod(abs(ns), 10**9))' >"$work/instants"

# compare ZONE FORMAT DATE_FORMAT [--local]: each line as date writes it, "Z" for +00:00, or where the
# offset has seconds a refusal of the line, in order on the same output, and the text as it came.
compare() {
  local zone=$1 format=$2 layout=$3
  shift 3
  TZ=$zone "$tool" convert --from epoch --to "$format" "$@" <"$work/instants" >"$work/out" 2>&1
  TZ=$zone date -f "$work/instants" "+$layout|%::z" | paste -d '|' "$work/instants" - | awk -F'|' -v local="$*" '
    { want = $2; sub(/\+00:00$/, "Z", want) }
    local != "" && $3 !~ /:00$/ { want = $1; print "orvik-chrono: line " NR ": Local offset " $3 " has seconds, which " \
      "ISO 8601 and RFC 3339 cannot write; --utc writes the instant in UTC: " $1 }
    { print want }' >"$work/want"
  if cmp -s "$work/want" "$work/out"; then passed=$((passed + 1)); else
    fail "TZ=$zone --to $format $*: $(diff "$work/want" "$work/out" | head -3)"; fi
}

compare UTC http '%a, %d %b %Y %T GMT'
compare UTC epoch '%s'
for zone in UTC Europe/Amsterdam Africa/Monrovia America/New_York Asia/Kolkata XXX-2:00:01 "<+0530>-5:30"; do
  compare "$zone" iso '%FT%T%:z' --local
  compare "$zone" iso-ns '%FT%T.%N%:z' --local
  compare "$zone" iso-basic '%Y%m%dT%H%M%S.%N%:z' --local
done

# A zone that counts leap seconds: where its local time, as date shows it, is not UTC's, the line is refused.
TZ=right/UTC "$tool" convert --from epoch --to iso --local <"$work/instants" >"$work/out" 2>&1
TZ=right/UTC date -f "$work/instants" +%FT%TZ | paste -d '|' "$work/instants" - <(date -u -f "$work/instants" +%FT%TZ) |
  awk -F'|' '$2 != $3 { print "orvik-chrono: line " NR ": Local time counts leap seconds (a right/ zone), which " \
    "ISO 8601 and RFC 3339 do not: its text would name another instant; --utc writes the instant in UTC: " $1 }
    { print $2 == $3 ? $3 : $1 }' >"$work/want"
cmp -s "$work/want" "$work/out" && passed=$((passed + 1)) || fail "TZ=right/UTC: $(diff "$work/want" "$work/out" | head -3)"
[ "$(grep -c 'leap seconds' "$work/want")" -gt 100 ] && passed=$((passed + 1)) || fail "too few instants after 1972"

# parse's calendar line, and now in a zone whose offset has seconds.
mapfile -t texts < <(head -100 "$work/instants")
got=$(TZ=UTC "$tool" parse --from epoch -- "${texts[@]}" | grep '^calendar' | cut -d, -f1-2)
[ "$got" = "$(date -u -f "$work/instants" '+calendar     %F %T %a, day %-j of the year' | head -100)" ] &&
  passed=$((passed + 1)) || fail "parse's calendar line"
got=$(TZ=XXX-2:00:01 "$tool" now --local --to iso 2>&1; echo "status $?")
[[ $got == "orvik-chrono: Local offset +02:00:01 has seconds, "*"--utc"*$'\nstatus 1' ]] &&
  passed=$((passed + 1)) || fail "now: $got"

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
