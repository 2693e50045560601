#!/usr/bin/env bash
# Golden outputs of the orvik-chrono tool: standard output, standard error and
# exit status of each case. Run under TZ=UTC and TZ=Asia/Kolkata.
set -uo pipefail
ulimit -f 100000  # a tool that writes without end fails here, not on a full disk
tool=$1
failures=0
passed=0

# expect NAME STATUS STDOUT STDERR [STDIN] -- ARGS...
expect() {
  local name=$1 status=$2 out=$3 err=$4 input=""
  shift 4
  if [ "$1" != "--" ]; then input=$1; shift; fi
  shift
  local got_out got_err got_status
  got_out=$(printf '%b' "$input" | "$tool" "$@" 2>/tmp/orvik-cli-err.$$)
  got_status=$?
  got_err=$(cat /tmp/orvik-cli-err.$$)
  rm -f /tmp/orvik-cli-err.$$
  if [ "$got_status" != "$status" ] || [ "$got_out" != "$(printf '%b' "$out")" ] ||
     [ "$got_err" != "$(printf '%b' "$err")" ]; then
    printf 'FAIL %s\n  status %s, want %s\n  stdout:\n%s\n  want:\n%b\n  stderr:\n%s\n  want:\n%b\n' \
      "$name" "$got_status" "$status" "$got_out" "$out" "$got_err" "$err"
    failures=$((failures + 1))
  else
    passed=$((passed + 1))
  fi
}

# usage NAME MESSAGE ARGS...: a usage error, its message and the pointer to --help.
usage() { local name=$1 message=$2; shift 2; expect "$name" 2 "" "orvik-chrono: $message\nRun with --help for more information." -- "$@"; }

# check WHAT: counts the status of the command before it; a failure is shown as WHAT.
check() { if [ $? -eq 0 ]; then passed=$((passed + 1)); else echo "FAIL $*"; failures=$((failures + 1)); fi; }

india=false
[ "${TZ:-}" = Asia/Kolkata ] && india=true
local_iso() { if $india; then echo "$2"; else echo "$1"; fi; }

# A refused input is reported with its place and, unless --invalid says otherwise (tests/tool/records_test.py
# has each mode), written as it came; an empty one is a missing value, no refusal. auto reads no epoch seconds
# of 4 to 8 whole digits, which may be a year or a date, with a sign or a fraction too; '@' makes them epoch
# seconds, and so are fewer or more digits (tests/tool/instants_test.sh reads each epoch unit beside GNU date).
no_instant="names no instant, which needs"
expect "refused arguments" 1 "2024\n20240305\n1970-01-01T00:02:03Z\n1994-11-06T08:49:37Z\n-2024\n1970-08-23T06:18:25Z\n20240305.5\n1970-01-01T00:00:00Z\n\n2020-\n5 Mar 2024 07:08 CET" \
  "orvik-chrono: argument 1: Ambiguous digits, a year or epoch seconds: @2024 or --from epoch reads epoch seconds, 1970-01-01T00:33:44Z; a year alone $no_instant a date, a time and a zone too, such as 2024-01-01T00:00:00Z: 2024
orvik-chrono: argument 2: Ambiguous digits, a date or epoch seconds: @20240305 or --from epoch reads epoch seconds, 1970-08-23T06:18:25Z; a date alone $no_instant a time and a zone too, such as 20240305T000000Z: 20240305
orvik-chrono: argument 5: Ambiguous digits, a year or epoch seconds: @-2024 or --from epoch reads epoch seconds, 1969-12-31T23:26:16Z; a year alone $no_instant a date, a time and a zone too, such as 2024-01-01T00:00:00Z: -2024
orvik-chrono: argument 7: Ambiguous digits, a date or epoch seconds: @20240305.5 or --from epoch reads epoch seconds, 1970-08-23T06:18:25Z; a date alone $no_instant a time and a zone too, such as 20240305T000000Z: 20240305.5
orvik-chrono: argument 10: Not an ISO 8601 timestamp, expected the month in two digits, found the end of the text: 2020-
orvik-chrono: argument 11: Not a mail date, zone 'CET' has no known offset: 5 Mar 2024 07:08 CET" -- \
  convert --to iso 2024 20240305 123 784111777 -2024 @20240305 20240305.5 -0 "" 2020- "5 Mar 2024 07:08 CET"

# A text taken for an epoch count and refused: the unit, what was expected and what was found, or the range.
range="the instant is outside the time point range, 1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z"
epochs=("auto|5 |seconds|expected a digit, '.' or the end of the text, found ' '" "auto| 5|seconds|expected a digit, found ' '"
  "auto|1,5|seconds|expected a digit, '.' or the end of the text, found ','"
  "auto|1709622489.1234567891|seconds|expected the end of the text after at most nine digits of a fraction, found '1'"
  "auto|1.|seconds|expected a digit, found the end of the text" "epoch|12３|seconds|expected a digit, '.' or the end of the text, found '３'"
  "epoch|-9223372036.854775809|seconds|$range; for a count of smaller units, --from epoch-ms, epoch-us or epoch-ns"
  "epoch-ms|1.0000001|milliseconds|expected the end of the text after at most six digits of a fraction, found '1'"
  "epoch-ns|1.5|nanoseconds|expected a digit or the end of the text, found '.'" "epoch-ns|9223372036854775808|nanoseconds|$range")
for entry in "${epochs[@]}"; do
  IFS='|' read -r from text unit want <<<"$entry"
  got=$("$tool" convert --from "$from" -- "$text" 2>&1 >/dev/null)
  [[ $got == "orvik-chrono: argument 1: Not epoch $unit ("*"), $want: $text" ]]; check "epoch $from $text: $got"
done
# A text that the mail reader and the HTTP or ISO 8601 reader refuse alike for their layouts: text|why|the message.
shapes=("Tue, 5 Mar 2024 07:08 GMT+1|a one-digit day|Not a mail date, expected a comment or the end of the text after the zone, found '+'"
  "Tue, 05 Mar 2024 07:08 +0000 junk|no ' GMT' at the end|Not a mail date, expected a comment or the end of the text after the zone, found 'j'"
  "5 Mar 2024 7:08 +0000|the day first|Not a mail date, expected the hour in two digits, found ':'"
  "(x) 5 Mar 2024 07:08 CET+1|a comment first|Not a mail date, expected a comment or the end of the text after the zone, found '+'"
  "Tue, 05 Mar 2024 07:08:09.5 GMT|IMF-fixdate|Not an HTTP date, expected ' GMT' after the seconds, found '.'"
  "Sunday, 06-Nov-94 08:49:37 UT|RFC 850|Not an HTTP date, expected ' GMT' after the seconds, found 'U'"
  "Sun Nov  6 08:49:37 94|asctime|Not an HTTP date, expected the year in four digits, found the end of the text")
for entry in "${shapes[@]}"; do
  IFS='|' read -r text why want <<<"$entry"
  got=$("$tool" convert -- "$text" 2>&1 >/dev/null)
  [ "$got" = "orvik-chrono: argument 1: $want: $text" ]; check "message of $text ($why): $got"
done
# auto reads a mail date that starts with its day, --from iso does not.
expect "explicit iso" 1 "2024-03-05T00:00:00Z\n06 Nov 1994 08:49:37 GMT" "orvik-chrono: argument 2: Not an ISO 8601 timestamp, expected the year in four digits, found ' ': 06 Nov 1994 08:49:37 GMT" -- \
  convert --from iso --to iso 20240305T000000Z "06 Nov 1994 08:49:37 GMT"


# parse, duration, now, version.
expect "parse iso" 0 "text         2020-01-01T05:30:00+05:30\nlayout       ISO 8601, extended\nnanoseconds  1577836800000000000\nutc          2020-01-01T00:00:00.000000000Z\noffset       +05:30\ncalendar     2020-01-01 00:00:00 Wed, day 1 of the year, isdst 0, UTC+0 s, GMT" "" -- \
  parse 2020-01-01T05:30:00+05:30
expect "parse http local" 0 "text         Sun Nov  6 08:49:37 1994\nlayout       HTTP date, asctime\nnanoseconds  784111777000000000\nutc          1994-11-06T08:49:37.000000000Z\noffset       +00:00\n$(local_iso 'calendar     1994-11-06 08:49:37 Sun, day 310 of the year, isdst 0, UTC+0 s, UTC' 'calendar     1994-11-06 14:19:37 Sun, day 310 of the year, isdst 0, UTC+19800 s, IST')" "" -- \
  parse --local "Sun Nov  6 08:49:37 1994"
expect "version" 0 "orvik-chrono 1.1.0" "" -- --version

# Usage errors.
usage "no subcommand" "A subcommand is required"
usage "bad format" "--to: xx not in {epoch,epoch-ns,http,iso,iso-basic,iso-ns,iso-zone}" convert --to xx 1
usage "both zones" "--local excludes --utc" convert --local --utc 1
usage "parse needs text" "text is required" parse
usage "csv needs a field" "--csv requires --field" convert --csv 0
usage "header with text" "--header excludes text" convert --header 1
usage "name without header" "--field: a column name needs --header" convert --field '' 1
usage "field too large" "--field: no line has that many fields" convert --field 18446744073709551616 1

# Columns: field N of each line is converted, the rest copied.
for field in 0 -1 +1 ' 1' '2 '; do usage "field $field" "--field: fields count from 1" convert --field "$field"; done
for delimiter in ab '"' $'\r' $'\n' '¦'; do
  usage "delimiter $delimiter" "--delimiter: expected one byte other than a quote, CR and LF, such as , ; | or a tab" \
    convert --field 1 --delimiter "$delimiter"
done

# Messages show the whole input, control bytes escaped, but for a text too long to be an instant.
expect "nul and tab in line" 1 "" "orvik-chrono: line 1: Not an HTTP date, expected a weekday, Sun to Sat or Sunday to Saturday, found 'a': a\\\\x00b\\\\x09c\\\\x1b, then more bytes" \
  "a\0b\tc\033, then more bytes" -- convert --invalid drop
for n in $(seq 16); do # a control byte at each place of a block that the check reads at once
  got=$("$tool" convert -- "$(printf '%*s\001%*s' "$n" '' 40 '')" 2>&1 >/dev/null)
  [[ $got == *'\x01'* && $got != *$'\001'* ]]; check "control byte after $n spaces: $got"
done
# A field too long to be an instant is refused unread, and shown as a long record is: its first 256 bytes,
# whole UTF-8 sequences, and its size.
# Of bytes that are all inside a sequence, none is shown.
too_long="Too long to be an instant's text: expected at most 1024 bytes, such as 2024-03-05T07:08:09Z or Tue, 05 Mar 2024 07:08:09 GMT:"
expect "longest text" 1 "1970-01-01T00:00:01.000000000Z" \
  "orvik-chrono: line 2: $too_long $(printf '%0255d' 0)… (1026 bytes)\norvik-chrono: line 3: $too_long … (1100 bytes)" \
  "$(printf '%01024d\n%0255d\xc3\xa9%0769d\n' 1 0 0; head -c 1100 /dev/zero | tr '\0' '\200')" -- convert --invalid drop
# A quoted field is measured unquoted, and only its first bytes are unquoted: 600 of 'a""' are 1200 bytes.
expect "longest quoted text" 1 "" "orvik-chrono: line 1: $too_long $(printf 'a\"%.0s' {1..128})… (1200 bytes)" \
  "0,\"$(printf 'a\"\"%.0s' {1..600})\"" -- convert --csv --field 2 --invalid drop

# The tool's own words where the lenient readers would pass on the standard library's.
expect "iso too short" 1 "1e3" \
  "orvik-chrono: argument 1: ISO 8601 text too short: expected a date and a time of at least 5 characters, such as 2024-03-05T07:08:09Z or 20240305T070809Z: 1e3" \
  -- convert --lenient 1e3
expect "duration number" 1 "" \
  "orvik-chrono: argument 1: Duration number too large: expected at most 2147483647 before each of H, M and S" -- \
  duration --lenient PT2147483648S

# A failed read ends the input with a message and status 1.
for redirect in "</" "<&-"; do
  reason="Is a directory"
  [ "$redirect" = "<&-" ] && reason="not open for reading (Bad file descriptor)"
  got=$(eval "\"\$tool\" convert $redirect" 2>&1; echo "status $?")
  [ "$got" = "$(printf 'orvik-chrono: cannot read standard input: %s\nstatus 1' "$reason")" ]; check "read error $redirect: $got"
done

# Headers: the first line copied unchanged; --field NAME is the column under that name. Tab-separated text
# has no quoting: a quote is data.
expect "header's first column" 0 "when\tid\n1970-01-01T00:00:00.000000000Z\t\"x\n1970-01-01T00:00:01.000000000Z\t\"" "" \
  "when\tid\n0\t\"x\n1\t\"" -- convert --header --field when
expect "header only" 0 "a\tb" "" "a\tb" -- convert --header --field b
expect "no header line" 0 "" "" -- convert --header --field time
expect "empty header line" 2 "" "orvik-chrono: --field time: no column of the header line has that name: " "\n0" -- \
  convert --header --field time
expect "byte-order mark, no header line" 0 "\xef\xbb\xbf" "" "\xef\xbb\xbf" -- convert --header --field time
expect "header that breaks RFC 4180" 0 'id,15",t\n1,x,0' "" 'id,15",t\n1,x,@0' -- convert --header --field 3 --csv --to epoch --invalid drop
expect "column in a header that breaks RFC 4180" 2 "" \
  "orvik-chrono: --field t: Malformed CSV record, text after a closing quote: id,\"a\"b,t" 'id,"a"b,t\n1,x,0' -- \
  convert --header --field t --csv
expect "no such column" 2 "" \
  "orvik-chrono: --field : no column of the header line has that name: id,time" "id,time\n7,0" -- \
  convert --header --field '' --delimiter ,
expect "quoted column name" 0 '"x""y",b\n1970-01-01T00:00:00Z,1' "" '"x""y",b\n0,1' -- convert --header --field 'x"y' --csv --from epoch --to iso
expect "column without a name" 0 "a,,b\n1,1970-01-01T00:00:00Z,2" "" "a,,b\n1,0,2" -- \
  convert --header --field '' --csv --from epoch --to iso
expect "two such columns" 2 "" \
  "orvik-chrono: --field t: more than one column of the header line has that name, give its number: t\\\\x01\\\\x09t\\\\x09t" \
  "t\001\tt\tt\n0\t0\t0" -- convert --header --field t

# CSV by RFC 4180 at any delimiter but a tab (tests/tool/records_test.py has generated exports beside
# Python's csv); a malformed record is refused with the line where it began, and the input goes on. In an
# argument a line end is data, and so is a carriage return after a closing quote; the whole text is checked.
expect "byte-order mark alone" 0 "\xef\xbb\xbf" "" "\xef\xbb\xbf" -- convert --field 1 --csv
not_epoch="Not epoch seconds (such as 1709622489 or @-1.5), expected a digit"
malformed="orvik-chrono: argument %s: Malformed CSV record"
expect "malformed argument" 1 "\"0\"x,1\n1970-01-01T00:00:00Z,\"1\"\n,2\n\n\"0\"\r\nx,\"a\na,b\"c" \
  "$(printf "$malformed, %s" 1 'text after a closing quote: "0"x,1')\norvik-chrono: argument 3: $not_epoch, found 'x': x
orvik-chrono: argument 4: $not_epoch, '.' or the end of the text, found '\\\\x0a': 1\\\\x0a2
$(printf "$malformed, %s\n" 5 'text after a closing quote: "0"\\x0d' 6 'a quote open at the end of the input: x,"a' 7 \
  'a quote inside an unquoted field: a,b"c')" -- convert --field 1 --csv --from epoch --to iso --invalid empty \
  "\"0\"x,1" "\"0\",\"1\"" x,2 $'1\n2' $'"0"\r' 'x,"a' 'a,b"c'

expect "empty argument, a missing value" 0 "\n1,1970-01-01T00:00:00Z" "" -- convert --csv --field 2 --to iso '' 1,@0

# With standard output and standard error on one file, results and refusals keep the order of the inputs.
x_refused="Not an HTTP date, expected a weekday, Sun to Sat or Sunday to Saturday, found 'x': x"
merged=("convert --to epoch 1 x 2" "1\norvik-chrono: argument 2: $x_refused\nx\n2"
  "convert --to epoch" "1\norvik-chrono: line 2: $x_refused\nx\n2"
  "duration PT1S P1D PT2S" "1000000000 ns  1.000000000 s\norvik-chrono: argument 2: Not an ISO 8601 duration, years, months, weeks and days are not read: P1D\n2000000000 ns  2.000000000 s"
  "parse x 0" "orvik-chrono: argument 1: $x_refused\ntext         0")
for ((i = 0; i < ${#merged[@]}; i += 2)); do
  # shellcheck disable=SC2086
  want=$(printf '%b' "${merged[i + 1]}")
  got=$(printf '1\nx\n2\n' | "$tool" ${merged[i]} 2>&1 | head -n "$(wc -l <<<"$want")")
  [ "$got" = "$want" ]; check "order of ${merged[i]}: $got"
done

# What is converted is written before each read that may wait, so a line of a live pipe comes out at once;
# a report is written before the output after it, so a pipe closed early (head) loses none before it.
coproc live { "$tool" convert --from epoch --to epoch; }
echo 7 >&"${live[1]}" && read -r -t 20 got <&"${live[0]}"; kill "$live_PID"
[ "$got" = 7 ]; check "a line of a live pipe: $got"
{ echo x; yes @0 | head -200000; } | "$tool" convert --to epoch 2>/tmp/orvik-cli-err.$$ | head -1 >/dev/null
got=$(cat /tmp/orvik-cli-err.$$) && rm -f /tmp/orvik-cli-err.$$
[ "$got" = "orvik-chrono: line 1: $x_refused" ]; check "a report before a closed pipe: $got"

# The rule that --from auto follows, as --help states it, is in the README and the manual page word for word.
rule=$("$tool" convert --help | grep '^auto takes')
[ "$("$tool" convert --help | grep -oE '=[a-z-]+( |$)' | tr -d ' \n')" = "=auto=iso-ns=reject=keep" ]; check "the defaults --help shows"
for doc in README.md tools/orvik-chrono.1.in; do
  [ -n "$rule" ] && grep -qF -- "$rule" "$(dirname "$0")/../../$doc"; check "the auto rule is not in $doc: $rule"
done

# The layout that parse names, strictly and with --lenient.
# (ISO 8601, extended and HTTP date, asctime: "parse iso" and "parse http local" above.)
layouts=("Sun, 06 Nov 1994 08:49:37 GMT" "HTTP date, IMF-fixdate" "Sunday, 06-Nov-94 08:49:37 GMT" "HTTP date, RFC 850"
  "--lenient|Sun, 06-Nov-94 08:49:37 -0500" "HTTP date, RFC 850" "20200101t000000Z" "ISO 8601, basic" "@1" "epoch seconds"
  "--from|epoch-us|1" "epoch microseconds")
for ((i = 0; i < ${#layouts[@]}; i += 2)); do
  IFS='|' read -ra args <<<"${layouts[i]}"
  got=$("$tool" parse "${args[@]}" | sed -n 's/^layout *//p')
  [ "$got" = "${layouts[i + 1]}" ]; check "layout of ${layouts[i]}: $got"
done

# A write that fails ends the tool with one message.
for args in "convert 0" "parse 0" "duration PT1S" "now" "--version"; do
  # shellcheck disable=SC2086
  got=$("$tool" $args 2>&1 >/dev/full; echo "status $?")
  [ "$got" = "$(printf 'orvik-chrono: write error: No space left on device\nstatus 1')" ]; check "write error of $args: $got"
done

# Zones by name: texts without an offset read in one (--assume-zone), a gap refused unless --disambiguate
# picks an instant, ISO output in one (--zone; http stays GMT), and names that load no zone.
no_zone="Not an ISO 8601 timestamp, expected a zone after the time: Z, z, +hh:mm, +hhmm, +hh or ' UTC', found the end of the text"
expect "assumed zone" 0 "2024-03-05T12:08:09.000000000Z\n2024-03-05T06:08:09.000000000Z" "" -- \
  convert --assume-zone America/New_York '2024-03-05 07:08:09' 2024-03-05T07:08:09+01:00
expect "no zone assumed" 1 "2024-03-05 07:08:09" \
  "orvik-chrono: argument 1: $no_zone; --assume-zone NAME reads it as wall-clock time in a zone: 2024-03-05 07:08:09" -- convert '2024-03-05 07:08:09'
expect "gap refused" 1 "" "orvik-chrono: argument 1: Not an ISO 8601 timestamp, 2024-03-10 02:30:00 does not exist in America/New_York, skipped from -05:00 to -04:00: 2024-03-10T02:30" -- \
  convert --assume-zone America/New_York --invalid drop 2024-03-10T02:30
expect "zone output" 0 "2024-03-05T12:38:09+05:30\n1970-01-01T05:30:00+05:30" "" -- convert --zone Asia/Kolkata --to iso 2024-03-05T07:08:09Z @0
expect "zone, http stays GMT" 0 "Tue, 05 Mar 2024 07:08:09 GMT" "" -- convert --zone Asia/Kolkata --to http 2024-03-05T07:08:09Z
usage "unknown zone" "--zone: no zone named 'Europe/Berln' under /usr/share/zoneinfo" convert --zone Europe/Berln 0
usage "unknown assumed zone" "--assume-zone: no zone named 'Europe/Berln' under /usr/share/zoneinfo" parse --assume-zone Europe/Berln 0
usage "zone and utc" "--utc excludes --zone" convert --zone Asia/Kolkata --utc 0
usage "lenient in a zone" "--assume-zone excludes --lenient" parse --assume-zone Asia/Kolkata --lenient 0
got=$("$tool" parse --zone America/New_York --assume-zone America/New_York --disambiguate later 2024-11-03T01:30 | grep -E '^(utc|calendar) ')
[ "$got" = "$(printf 'utc          2024-11-03T06:30:00.000000000Z\ncalendar     2024-11-03 01:30:00 Sun, day 308 of the year, isdst 0, UTC-18000 s, EST')" ]; check "parse in a zone: $got"
# RFC 9557 suffixes read without --assume-zone; written by --to iso-zone in --zone's zone or, by its name, TZ's.
expect "suffix" 0 "2024-03-05T06:08:09.000000000Z\n2024-07-05T05:08:00.000000000Z" "" -- \
  convert '2024-03-05T07:08:09+01:00[Europe/Berlin]' '2024-07-05T07:08[!Europe/Berlin][u-ca=iso8601]'
expect "suffix disagrees" 1 "" "orvik-chrono: argument 1: Not an ISO 8601 timestamp, offset +02:00 is not the offset of Europe/Berlin at that instant, +01:00: 2024-03-05T07:08:09+02:00[Europe/Berlin]" -- \
  convert --invalid drop '2024-03-05T07:08:09+02:00[Europe/Berlin]'
expect "iso-zone" 0 "2024-01-05T07:08:09.500000000+00:00[Europe/London]\n2024-07-05T08:08:09.000000000+01:00[Europe/London]" "" -- \
  convert --to iso-zone --zone Europe/London 2024-01-05T07:08:09.5Z 2024-07-05T07:08:09Z
got=$(TZ=Asia/Kolkata "$tool" convert --to iso-zone --local 2024-01-05T07:08:09Z | "$tool" convert --to iso-zone --zone America/Sao_Paulo)
[ "$got" = "2024-01-05T04:08:09.000000000-03:00[America/Sao_Paulo]" ]; check "iso-zone read back: $got"
expect "iso-zone without a zone" 2 "" "orvik-chrono: --to iso-zone needs --zone NAME or --local" -- convert --to iso-zone 0
got=$("$tool" parse --assume-zone America/New_York --disambiguate later 2024-11-03T01:30 '2024-03-05T07:08:09Z[Europe/Paris]' | grep -E '^(zone|wall-clock) ')
[ "$got" = "$(printf 'zone         America/New_York (--assume-zone)\nwall-clock   shown twice, read by --disambiguate later\nzone         Europe/Paris (named by the text)')" ]; check "parse, zones: $got"
# Wall-clock times beside Python's zoneinfo under every rule: tests/tool/wall_clock_test.py.

# Formats (real layouts beside strptime and GNU date: tests/tool/layouts_test.py). A format that the library refuses,
# that reads no instant, or without an offset and --assume-zone is a usage error. A text that no format reads is
# refused with the message of the first whose shape it has, else of --from's reader where given, else of the first.
usage "bad directive" "--from-format '%d/%Q': unknown directive %Q at 3" convert --from-format '%d/%Q' 0
usage "format without a date" "--from-format '%H:%M': the format has no date" parse --from-format '%H:%M' 0
usage "format without an offset" "--from-format '%F %T': the format has no offset (%z, %:z or %Z) and no %s; --assume-zone NAME reads its texts as wall-clock time in a zone" convert --from-format '%F %T' 0
usage "bad flag" "--to-format '%-a': flag '-' does not apply to %a at 0" convert --to-format '%-a' 0
expect "formats, then --from's reader" 1 "2024-03-05T06:08:09Z\n2024-02-30\nx\n2024-03-05T00:00:00Z" "orvik-chrono: argument 2: Not a date of format '%F', day 30 does not exist in February 2024: 2024-02-30
orvik-chrono: argument 3: Not an ISO 8601 timestamp, expected the year in four digits, found 'x': x" -- convert --to iso \
  --from-format '%d/%b/%Y:%H:%M:%S %z' --from-format %F --assume-zone UTC --from iso '05/Mar/2024:07:08:09 +0100' 2024-02-30 x 2024-03-05T00:00:00Z
expect "formats alone" 1 "x" "orvik-chrono: argument 1: Not a date of format '%s', expected a count of seconds at 0 for %s, found 'x': x" -- convert --from-format %s x
expect "parse by a format" 0 "text         05/Mar/2024:07:08:09 +0100\nformat       %d/%b/%Y:%H:%M:%S %z\nnanoseconds  1709618889000000000\nutc          2024-03-05T06:08:09.000000000Z\noffset       +01:00\n$(local_iso 'calendar     2024-03-05 06:08:09 Tue, day 65 of the year, isdst 0, UTC+0 s, UTC' 'calendar     2024-03-05 11:38:09 Tue, day 65 of the year, isdst 0, UTC+19800 s, IST')" "" -- \
  parse --local --from-format '%d/%b/%Y:%H:%M:%S %z' '05/Mar/2024:07:08:09 +0100'
# --reference pins the instant that an RFC 850 year is read within 50 years of (1924 here, not 2024).
expect "reference" 0 "1924-03-05T07:08:09Z" "" -- convert --to iso --reference 1960-01-01T00:00:00Z 'Wednesday, 05-Mar-24 07:08:09 GMT'
got=$(TZ=right/UTC "$tool" convert --to-format %T --local @1709622489 2>&1)
[ "$got" = "orvik-chrono: argument 1: Local time counts leap seconds (a right/ zone): its text would name another instant; --utc writes the instant in UTC: @1709622489
@1709622489" ]; check "--to-format in a right/ zone: $got"

got=$(TZ=Invalid/Zone "$tool" convert --local 0 2>&1; echo "status $?")
[ "$got" = "$(printf 'orvik-chrono: --local: TZ names no readable time zone: Invalid/Zone\nstatus 2')" ]; check "zone: $got"

now=$("$tool" now --to epoch)
[ "$now" -ge "$(date +%s)" ] 2>/dev/null || [ $(($(date +%s) - now)) -le 5 ]; check "now: $now"

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
