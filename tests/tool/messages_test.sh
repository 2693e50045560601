#!/usr/bin/env bash
# Every message that the tool writes for random and malformed inputs is its own
# or the library's: each line of standard error is "orvik-chrono: ", the input's
# place and a message that starts with one of the texts of src/messages.h and
# tools/cli_messages.h. Every input ends in one output line, or with --invalid
# drop in one output line or one refusal, and every status other than 0 comes
# with a message.
set -uo pipefail
tool=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passed=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# The first string literal of each message constant, however it is wrapped;
# not the one the library keeps as std::stoi's text, which the tool replaces.
awk '/constexpr std::string_view k/ { want = !/kDurationRunOutOfRange/ }
     want && /"/ { split($0, parts, "\""); if (parts[2] != "") print parts[2]; want = 0 }' \
  "$root/src/messages.h" "$root/tools/cli_messages.h" >"$work/known"
[ "$(wc -l <"$work/known")" -ge 20 ] || fail "too few messages read from the sources: $(wc -l <"$work/known")"

# Random texts over the bytes of every format, and valid texts cut, stretched
# or with one byte replaced. The seed makes each run the same.
awk 'BEGIN {
  srand(22); alphabet = "0123456789-:+.@ TZPHMS,WDYGNovSunMonFriDecJan\t\001/x"
  n = split("2024-03-05T07:08:09.012345678+05:30|20240305T070809Z|Sun, 06 Nov 1994 08:49:37 GMT|" \
            "Sunday, 06-Nov-94 08:49:37 GMT|Sun Nov  6 08:49:37 1994|@-1709622489.5|PT1H30M15S|" \
            "PT99999999999H|P1Y2M|1e3|9223372037|2262-04-11T23:47:17Z", valid, "|")
  for (i = 0; i < 1500; ++i) {
    if (i % 2 == 0) {
      s = ""; len = int(rand() * 36)
      for (j = 0; j < len; ++j) s = s substr(alphabet, int(rand() * length(alphabet)) + 1, 1)
    } else {
      s = valid[int(rand() * n) + 1]; at = int(rand() * (length(s) + 1))
      if (i % 6 == 1) s = substr(s, 1, at)
      else if (i % 6 == 3) s = substr(s, 1, at) substr(alphabet, int(rand() * length(alphabet)) + 1, 1) substr(s, at + 2)
      else s = s s
    }
    print s
  }
}' >"$work/inputs"
mapfile -t inputs <"$work/inputs"
count=${#inputs[@]}

# check NAME EXPECTED_LINES: the run's status, its messages and, unless
# EXPECTED_LINES is "-", that outputs and refusals add up to the inputs, or
# with "=" before it that the outputs alone do.
check() {
  local name=$1 lines=$2 status=$3 out err bad
  out=$(wc -l <"$work/out")
  err=$(wc -l <"$work/err")
  bad=$(awk 'NR == FNR { known[++n] = $0; next }
    !sub(/^orvik-chrono: (argument|line) [0-9]+: /, "") { print "unplaced: " $0; next }
    { for (i = 1; i <= n; ++i) if (index($0, known[i]) == 1) next; print }' "$work/known" "$work/err" | head -3)
  if [ "$status" -gt 1 ] || { [ "$status" -ne 0 ] && [ "$err" -eq 0 ]; } ||
     { [ "$status" -eq 0 ] && [ "$err" -ne 0 ]; }; then fail "$name: status $status with $err messages"; return; fi
  [[ $lines == =* ]] && err=0
  if [ "$lines" != - ] && [ $((out + err)) -ne "${lines#=}" ]; then fail "$name: $out outputs and $err refusals of $lines inputs"; return; fi
  if [ -n "$bad" ]; then fail "$name: messages not the tool's nor the library's:"$'\n'"$bad"; return; fi
  passed=$((passed + 1))
}

for from in auto iso http epoch epoch-ms; do
  "$tool" convert --from "$from" --invalid drop -- "${inputs[@]}" >"$work/out" 2>"$work/err"
  check "convert --from $from arguments" "$count" $?
  "$tool" convert --from "$from" <"$work/inputs" >"$work/out" 2>"$work/err"
  check "convert --from $from lines" "=$count" $?
  "$tool" parse --from "$from" -- "${inputs[@]}" >"$work/out" 2>"$work/err"
  check "parse --from $from" - $?
done
"$tool" duration -- "${inputs[@]}" >"$work/out" 2>"$work/err"
check "duration" "$count" $?
"$tool" convert --field 2 --delimiter : --invalid drop <"$work/inputs" >"$work/out" 2>"$work/err"
check "convert --field 2" "$count" $?

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
