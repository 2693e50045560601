#!/usr/bin/env bash
# Golden outputs of the orvik-chrono tool: standard output, standard error and
# exit status of each case. Run under TZ=UTC and TZ=Asia/Kolkata.
set -uo pipefail
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

india=false
[ "${TZ:-}" = Asia/Kolkata ] && india=true
local_iso() { if $india; then echo "$2"; else echo "$1"; fi; }

# Every output format, from each input kind.
formats=(http iso iso-ns iso-basic epoch epoch-ns)
outputs=("Sun, 06 Nov 1994 08:49:37 GMT" 1994-11-06T08:49:37Z 1994-11-06T08:49:37.000000000Z
  19941106T084937.000000000Z 784111777 784111777000000000)
for i in "${!formats[@]}"; do
  expect "http to ${formats[$i]}" 0 "${outputs[$i]}" "" -- convert --to "${formats[$i]}" "Sun, 06 Nov 1994 08:49:37 GMT"
done
expect "formats" 0 "Sun, 06 Nov 1994 08:49:37 GMT" "" -- convert --to http "Sunday, 06-Nov-94 08:49:37 GMT"
expect "iso" 0 "2024-03-05T07:08:09Z" "" -- convert --to iso 2024-03-05T12:38:09.012345678+05:30
expect "iso-ns default" 0 "2024-03-05T07:08:09.012345678Z" "" -- convert 20240305T123809.012345678+05:30
expect "iso-basic" 0 "20240305T070809.012345678Z" "" -- convert --to iso-basic @1709622489.012345678
expect "epoch" 0 "784111777" "" -- convert --to epoch "Sun Nov  6 08:49:37 1994"
expect "epoch floors" 0 "-2" "" -- convert --to epoch -- -1.5
expect "epoch-ns" 0 "-1500000000\n1709622489012345678" "" -- convert --to epoch-ns @-1.5 1709622489.012345678
expect "explicit epoch" 0 "1970-01-01T00:00:20.240305000Z" "" -- convert --from epoch 20.240305
expect "explicit iso" 0 "2024-03-05T00:00:00Z" "" -- convert --from iso --to iso 20240305T000000Z
expect "local" 0 "$(local_iso 2024-03-05T07:08:09.012345678Z 2024-03-05T12:38:09.012345678+05:30)" "" -- \
  convert --local 1709622489.012345678
expect "local basic" 0 "$(local_iso 20240305T070809.000000000Z 20240305T123809.000000000+05:30)" "" -- \
  convert --local --to iso-basic 1709622489
expect "utc flag" 0 "2024-03-05T07:08:09Z" "" -- convert --utc --to iso 1709622489

# Refusals: the library's message, the position, and the remaining inputs.
expect "refused arguments" 1 "1994-11-06T08:49:37Z\n1970-01-01T00:00:00Z" \
  "orvik-chrono: argument 2: Failed to parse ISO 8601 string: error converting the month: 2020-\norvik-chrono: argument 3: Failed to parse the month 'nov' of the HTTP timestamp: Sun, 06 nov 1994 08:49:37 GMT" -- \
  convert --to iso 784111777 2020- "Sun, 06 nov 1994 08:49:37 GMT" 0
expect "epoch out of range" 1 "" "orvik-chrono: argument 1: Epoch seconds outside the time point range: 9223372037" -- \
  convert 9223372037
expect "standard input" 1 "1994-11-06T08:49:37.000000000Z\r\n\n2024-03-05T07:08:09.500000000Z\n2024-03-05T07:08:09.000000000Z" \
  "orvik-chrono: line 3: Failed to interpret date string as HTTP timestamp: bogus\norvik-chrono: line 5: Failed to parse ISO 8601 string, the year is before 1900: 1899-12-31T23:59:59Z" \
  "Sun, 06 Nov 1994 08:49:37 GMT\r\n\nbogus\n1709622489.5\n1899-12-31T23:59:59Z\n2024-03-05T07:08:09Z" -- convert
expect "empty input" 0 "" "" -- convert

# parse, duration, now, version.
expect "parse iso" 0 "text         2020-01-01T05:30:00+05:30\nlayout       ISO 8601, extended\nnanoseconds  1577836800000000000\nutc          2020-01-01T00:00:00.000000000Z\noffset       +330 minutes\ncalendar     2020-01-01 00:00:00 Wed, day 1 of the year, isdst 0, UTC+0 s, GMT\nconvert      2020-01-01T00:00:00.000000000Z" "" -- \
  parse 2020-01-01T05:30:00+05:30
expect "parse http local" 0 "text         Sun Nov  6 08:49:37 1994\nlayout       HTTP date, asctime\nnanoseconds  784111777000000000\nutc          1994-11-06T08:49:37.000000000Z\n$(local_iso 'calendar     1994-11-06 08:49:37 Sun, day 310 of the year, isdst 0, UTC+0 s, UTC' 'calendar     1994-11-06 14:19:37 Sun, day 310 of the year, isdst 0, UTC+19800 s, IST')\nconvert      1994-11-06T08:49:37.000000000Z" "" -- \
  parse --local "Sun Nov  6 08:49:37 1994"
expect "parse refused" 1 "" "orvik-chrono: argument 1: Failed to interpret date string as HTTP timestamp: x" -- parse x
expect "duration" 1 "5415000000000 ns  5415.000000000 s\n0 ns  0.000000000 s" \
  "orvik-chrono: argument 2: Durations with year/month/day components are not supported" -- duration PT1H30M15S P1Y PT0S
expect "version" 0 "orvik-chrono 1.1.0" "" -- --version

# Usage errors.
expect "no subcommand" 2 "" "A subcommand is required\nRun with --help for more information." --
expect "bad format" 2 "" "--to: xx not in {epoch,epoch-ns,http,iso,iso-basic,iso-ns}\nRun with --help for more information." -- convert --to xx 1
expect "both zones" 2 "" "--local excludes --utc\nRun with --help for more information." -- convert --local --utc 1
expect "parse needs text" 2 "" "text is required\nRun with --help for more information." -- parse

# Columns: field N of each line is converted, the rest copied; a line without it is refused alone.
expect "csv epoch column" 1 "a,2024-03-05T07:08:09Z,b\n\n,1970-01-01T00:00:00Z" \
  "orvik-chrono: line 2: no field 2 in: a\norvik-chrono: line 4: Failed to parse epoch seconds: x" \
  "a,1709622489,b\na\n\nx,x\n,0" -- convert --field 2 --delimiter , --from epoch --to iso
expect "tab column" 0 "1994-11-06T08:49:37Z\tkept" "" "Sun, 06 Nov 1994 08:49:37 GMT\tkept" -- convert --field 1 --to iso
expect "field from 1" 2 "" "--field: fields count from 1\nRun with --help for more information." -- convert --field 0
expect "one-byte delimiter" 2 "" "--delimiter: must be one character\nRun with --help for more information." -- \
  convert --field 1 --delimiter ab

# Messages show the whole input, control bytes escaped; an empty argument is an input.
expect "nul in line" 1 "" "orvik-chrono: line 1: Failed to interpret date string as HTTP timestamp: a\\\\x00b\\\\x01" \
  "a\0b\001" -- convert
expect "empty argument" 1 "" "orvik-chrono: argument 1: Invalid ISO8601 duration format" -- duration ""
expect "empty iso argument" 1 "" \
  "orvik-chrono: argument 1: ISO 8601 text too short: expected a date and a time of at least 5 characters, such as 2024-03-05T07:08:09Z or 20240305T070809Z: " -- convert ""

# The tool's own words where the standard library's would show.
expect "iso too short" 1 "" \
  "orvik-chrono: argument 1: ISO 8601 text too short: expected a date and a time of at least 5 characters, such as 2024-03-05T07:08:09Z or 20240305T070809Z: 1e3" \
  -- convert 1e3
expect "iso too short to parse" 1 "" \
  "orvik-chrono: argument 1: ISO 8601 text too short: expected a date and a time of at least 5 characters, such as 2024-03-05T07:08:09Z or 20240305T070809Z: 2020" \
  -- parse --from iso 2020
expect "five characters reach the library" 1 "" \
  "orvik-chrono: argument 1: Failed to parse ISO 8601 string: error converting the month: 2020-" -- convert 2020-
expect "duration number" 1 "" \
  "orvik-chrono: argument 1: Duration number too large: expected at most 2147483647 before each of H, M and S" -- \
  duration PT2147483648S
expect "largest duration number" 0 "2147483647000000000 ns  2147483647.000000000 s" "" -- duration PT2147483647S
expect "field too large" 2 "" "--field: no line has that many fields\nRun with --help for more information." -- \
  convert --field 18446744073709551616 1
expect "line too long" 1 "1970-01-01T00:00:01.000000000Z" \
  "orvik-chrono: line 1: line too long: expected at most 65536 bytes, far more than any instant's text" \
  "$(head -c 65537 /dev/zero | tr '\0' 1)\n1" -- convert
expect "line too long for one read" 1 "1970-01-01T00:00:12.000000000Z" \
  "orvik-chrono: line 1: line too long: expected at most 65536 bytes, far more than any instant's text" \
  "$(head -c 300000 /dev/zero | tr '\0' 1)\n12" -- convert

# A failed read ends the input with a message and status 1.
for redirect in "</" "<&-"; do
  reason="Is a directory"
  [ "$redirect" = "<&-" ] && reason="not open for reading (Bad file descriptor)"
  got=$(eval "\"\$tool\" convert $redirect" 2>&1; echo "status $?")
  if [ "$got" = "$(printf 'orvik-chrono: cannot read standard input: %s\nstatus 1' "$reason")" ]; then
    passed=$((passed + 1)); else echo "FAIL read error $redirect: $got"; failures=$((failures + 1)); fi
done

# Headers: the first line copied unchanged; --field NAME is the column under that name.
expect "header by name" 0 "id,time\r\n7,2024-03-05T07:08:09Z" "" "id,time\r\n7,1709622489\n" -- \
  convert --header --field time --delimiter , --to iso
expect "header by number" 0 "id,time\n7,2024-03-05T07:08:09Z" "" "id,time\n7,1709622489" -- \
  convert --header --field 2 --delimiter , --to iso
expect "header of whole lines" 1 "when\n1970-01-01T00:00:00Z" \
  "orvik-chrono: line 3: Failed to parse epoch seconds: when" "when\n0\nwhen" -- convert --header --from epoch --to iso
expect "header's first column" 0 "when\tid\n1970-01-01T00:00:00.000000000Z\tx" "" "when\tid\n0\tx" -- \
  convert --header --field when
expect "header only" 0 "a\tb" "" "a\tb" -- convert --header --field b
expect "no header line" 0 "" "" -- convert --header --field time
expect "no such column" 2 "" \
  "orvik-chrono: --field when: no column of the header line has that name: id,time" "id,time\n7,0" -- \
  convert --header --field when --delimiter ,
expect "two such columns" 2 "" \
  "orvik-chrono: --field t: more than one column of the header line has that name, give its number: t\\\\x01\\\\x09t\\\\x09t" \
  "t\001\tt\tt\n0\t0\t0" -- convert --header --field t
expect "header too long to find a name in" 2 "" \
  "orvik-chrono: line 1: line too long: expected at most 65536 bytes, far more than any instant's text" \
  "$(head -c 65537 /dev/zero | tr '\0' t)\n1" -- convert --header --field t
expect "name without header" 2 "" "--field: a column name needs --header\nRun with --help for more information." -- \
  convert --field time 1
expect "header with text" 2 "" "--header excludes text\nRun with --help for more information." -- \
  convert --header 1

# CSV by RFC 4180 at any delimiter but a tab; a malformed record ends the input with the line where it began.
expect "quoted delimiter before" 0 "name,created,updated\n\"Smith, John\",2024-01-01T00:00:00Z,1709622489\nAda,x,1709708889" "" \
  "name,created,updated\n\"Smith, John\",2024-01-01T00:00:00Z,2024-03-05T07:08:09Z\nAda,x,2024-03-06T07:08:09Z" -- \
  convert --header --field updated --csv --to epoch
expect "quoted delimiter after, doubled quotes" 0 "1,1709622489,\"a,\"\"b\"\"\"" "" "1,2024-03-05T07:08:09Z,\"a,\"\"b\"\"\"" -- \
  convert --field 2 --csv --to epoch
expect "line break inside quotes" 1 "\"a\r\nb\",1970-01-01T00:00:00Z\r" "orvik-chrono: line 3: Failed to parse epoch seconds: x" \
  "\"a\r\nb\",0\r\n\"c\nd\",x" -- convert --field 2 --csv --from epoch --to iso
expect "quoted date in, quoted out" 0 "1,\"Sun, 06 Nov 1994 08:49:37 GMT\"\n2,\"Sun, 06 Nov 1994 08:49:37 GMT\"" "" \
  "1,\"Sun, 06 Nov 1994 08:49:37 GMT\"\n2,784111777" -- convert --field 2 --csv --to http
expect "quoted header, BOM, CRLF" 0 "\xef\xbb\xbf\"id\",\"when\"\r\n7,1970-01-01T00:00:00Z\r" "" \
  "\xef\xbb\xbf\"id\",\"when\"\r\n7,0\r\n" -- convert --header --field when --csv --from epoch --to iso
expect "quote inside a field" 1 "1,1970-01-01T00:00:00Z" \
  "orvik-chrono: line 2: Malformed CSV record, a quote inside an unquoted field; nothing after it is read: 2,x\"y,\"" \
  "1,0\n2,x\"y,\"\n3,0\n4,0" -- convert --field 2 --csv --from epoch --to iso
expect "text after a quote" 1 "" \
  "orvik-chrono: line 1: Malformed CSV record, text after a closing quote; nothing after it is read: \"0\"x,0" \
  "\"0\"x,0\n0,0" -- convert --field 2 --csv --from epoch --to iso
expect "quote open at the end" 1 "1,1970-01-01T00:00:00Z" \
  "orvik-chrono: line 2: Malformed CSV record, a quote open at the end of the input: 2,\"0\\\\x0a3,0" \
  "1,0\n2,\"0\n3,0" -- convert --field 2 --csv --from epoch --to iso
expect "record too long" 1 "" \
  "orvik-chrono: line 1: record too long: expected at most 65536 bytes, far more than any instant's text; nothing after it is read" \
  "\"$(head -c 65537 /dev/zero | tr '\0' 1)\n\",0\n0,0" -- convert --field 2 --csv --from epoch
expect "a fault shown to the end of its line" 1 "" \
  "orvik-chrono: line 1: Malformed CSV record, text after a closing quote; nothing after it is read: \"a\\\\x0ab\"c,0" \
  "\"a\nb\"c,0\n1,0" -- convert --field 2 --csv --from epoch --to iso
expect "quote open at the end, last line end left out" 1 "" \
  "orvik-chrono: line 1: Malformed CSV record, a quote open at the end of the input: 1,\"0\\\\x0d\\\\x0a2,0" \
  "1,\"0\r\n2,0\r\n" -- convert --field 2 --csv --from epoch --to iso
expect "carriage return after a closing quote" 1 "1,1970-01-01T00:00:00Z\r\n2,1970-01-01T00:00:00Z\r" \
  "orvik-chrono: line 3: Malformed CSV record, text after a closing quote; nothing after it is read: 3,\"0\"\\\\x0dx" \
  "1,\"0\"\r\n2,\"0\"\r\n3,\"0\"\rx\n" -- convert --field 2 --csv --from epoch --to iso
expect "line ends inside quotes counted" 1 "\"a\n\nb\",1970-01-01T00:00:00Z" "orvik-chrono: line 4: Failed to parse epoch seconds: x" \
  "\"a\n\nb\",0\n,x" -- convert --field 2 --csv --from epoch --to iso
expect "byte-order mark alone" 0 "\xef\xbb\xbf" "" "\xef\xbb\xbf" -- convert --field 1 --csv
expect "malformed argument" 1 "\"1\",1970-01-01T00:00:00Z" \
  "orvik-chrono: argument 1: Malformed CSV record, text after a closing quote; nothing after it is read: 1,\"0\"x" -- \
  convert --field 2 --csv --from epoch --to iso "1,\"0\"x" "\"1\",\"0\""
long=$(head -c 65532 /dev/zero | tr '\0' x)
expect "longest line" 0 "0,xx$long" "" "0,xx$long\n" -- convert --field 1 --csv --from epoch --to epoch
expect "longest quoted record" 0 "\"$long\",0" "" "\"$long\",0\n" -- convert --field 2 --csv --from epoch --to epoch
expect "tab-separated text has no quoting" 0 "\"a\t1970-01-01T00:00:00Z\n\"\t1970-01-01T00:00:01Z" "" "\"a\t0\n\"\t1" -- \
  convert --field 2 --from epoch --to iso
expect "csv needs a field" 2 "" "--csv requires --field\nRun with --help for more information." -- convert --csv 0

# A record read in parts, as a slow writer sends it: each split resumes where the last read ended.
parts=("\"a" "\nb\"\"c\",0\n" "\"1\"" "\"2\",5\n" "1,0" "5\n2,\"" "0\"\r" "\n")
want=$(printf '"a\nb""c",1970-01-01T00:00:00Z\n"1""2",1970-01-01T00:00:05Z\n1,1970-01-01T00:00:05Z\n2,1970-01-01T00:00:00Z\r')
got=$(for part in "${parts[@]}"; do printf '%b' "$part"; sleep 0.05; done |
  "$tool" convert --field 2 --csv --from epoch --to iso 2>&1)
if [ "$got" = "$want" ]; then passed=$((passed + 1)); else echo "FAIL records in parts: $got"; failures=$((failures + 1)); fi

# With standard output and standard error on one file, results and refusals keep the order of the inputs.
merged=("convert --to epoch 1 x 2" "1\norvik-chrono: argument 2: Failed to interpret date string as HTTP timestamp: x\n2"
  "convert --to epoch" "1\norvik-chrono: line 2: Failed to interpret date string as HTTP timestamp: x\n2"
  "duration PT1S P1D PT2S" "1000000000 ns  1.000000000 s\norvik-chrono: argument 2: Durations with year/month/day components are not supported\n2000000000 ns  2.000000000 s"
  "parse x 0" "orvik-chrono: argument 1: Failed to interpret date string as HTTP timestamp: x\ntext         0")
for ((i = 0; i < ${#merged[@]}; i += 2)); do
  # shellcheck disable=SC2086
  want=$(printf '%b' "${merged[i + 1]}")
  got=$(printf '1\nx\n2\n' | "$tool" ${merged[i]} 2>&1 | head -n "$(wc -l <<<"$want")")
  if [ "$got" = "$want" ]; then passed=$((passed + 1)); else
    echo "FAIL order of ${merged[i]}: $got"; failures=$((failures + 1)); fi
done

# The rule that --from auto follows, as --help states it, is in the README and the manual page word for word.
rule=$("$tool" convert --help | grep '^auto reads')
for doc in README.md tools/orvik-chrono.1.in; do
  if [ -n "$rule" ] && grep -qF -- "$rule" "$(dirname "$0")/../../$doc"; then passed=$((passed + 1)); else
    echo "FAIL the auto rule is not in $doc: $rule"; failures=$((failures + 1)); fi
done

# The layout that parse names is the one the library read, with what it ignored.
layouts=("Sun, 06 Nov 1994 08:49:37 -0500" "HTTP date, IMF-fixdate|\" -0500\""
  "Sun, 06 Nov 1994 08:49:37.5 GMT" "HTTP date, IMF-fixdate|\".5 GMT\""
  "Sun, 06-Nov-94 08:49:37 GMT" "HTTP date, RFC 850"
  "Sun Nov  6 08:49:37 1994 +0100" "HTTP date, asctime|\" +0100\""
  "Sun Nov 16 08:49:37 1994" "HTTP date, asctime"
  "20200101T000000Z" "ISO 8601, basic"
  "2020-01-01T00:00:00+0530" "ISO 8601, extended|\"30\""
  "2020-01-01T00:00:00.5Zjunk" "ISO 8601, extended|\"junk\""
  "@1" "epoch seconds")
for ((i = 0; i < ${#layouts[@]}; i += 2)); do
  got=$("$tool" parse "${layouts[i]}" | sed -n 's/^\(layout\|ignored\) *//p' | paste -sd'|')
  if [ "$got" = "${layouts[i + 1]}" ]; then passed=$((passed + 1)); else
    echo "FAIL layout of ${layouts[i]}: $got"; failures=$((failures + 1)); fi
done

# A write that fails ends the tool with one message.
for args in "convert 0" "parse 0" "duration PT1S" "now" "--version"; do
  # shellcheck disable=SC2086
  got=$("$tool" $args 2>&1 >/dev/full; echo "status $?")
  if [ "$got" = "$(printf 'orvik-chrono: write error: No space left on device\nstatus 1')" ]; then
    passed=$((passed + 1)); else echo "FAIL write error of $args: $got"; failures=$((failures + 1)); fi
done

got=$(TZ=Invalid/Zone "$tool" convert --local 0 2>&1; echo "status $?")
if [ "$got" = "$(printf 'orvik-chrono: --local: TZ names no readable time zone: Invalid/Zone\nstatus 2')" ]; then
  passed=$((passed + 1)); else echo "FAIL unreadable zone: $got"; failures=$((failures + 1)); fi

now=$("$tool" now --to epoch)
if [ "$now" -ge "$(date +%s)" ] 2>/dev/null || [ $(( $(date +%s) - now )) -le 5 ]; then passed=$((passed + 1)); else
  echo "FAIL now: $now"; failures=$((failures + 1)); fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
