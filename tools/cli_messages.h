// Every text of the tool's own, once: its refusals, its failures and the rule
// that `--from auto` follows. The library's messages are in src/messages.h and
// reach the user unchanged.
#ifndef ORVIK_CHRONO_TOOLS_CLI_MESSAGES_H_
#define ORVIK_CHRONO_TOOLS_CLI_MESSAGES_H_

#include <string_view>

namespace orvik::chrono::cli {

// The --help footer of the commands that read instants; the README and the
// manual page carry it word for word (tests/tool/cli_test.sh checks them).
inline constexpr std::string_view kAutoRule =
    "auto takes a text for epoch seconds when it starts with '@' or, white space around it aside, is a number: an "
    "optional '-' and digits with at most one '.' or ',' (1709622489, -1.5); of those it refuses one whose digits "
    "before any '.' are 4 to 8, signed or not (2024, -2024, 20240305.5), which may be a year or a date (YYYYMMDD) as "
    "well. It takes a text for an HTTP date, or else a mail date, "
    "when it starts with a letter; for ISO 8601 otherwise, or else a mail date.";

// What every message of the tool begins with.
inline constexpr std::string_view kPrefix = "orvik-chrono: ";

// Said of an ISO 8601 text that lacks only its zone, before the text.
inline constexpr std::string_view kAssumeZoneHint = "; --assume-zone NAME reads it as wall-clock time in a zone";

// Usage errors of --from-format and --to-format, after the option and the
// format in quotes: the library's message of a format it refuses to compile
// or to read with, or this of a format whose texts name no instant alone.
inline constexpr std::string_view kFormatWithoutOffset =
    "the format has no offset (%z, %:z or %Z) and no %s; --assume-zone NAME reads its texts as wall-clock time in a "
    "zone";

// Usage errors of --to iso-zone.
inline constexpr std::string_view kIsoZoneNeedsZone = "--to iso-zone needs --zone NAME or --local";
inline constexpr std::string_view kLocalZoneUnnamed =
    "--to iso-zone --local needs TZ or /etc/localtime to name a file of the zone directory; --zone NAME names one";

// What parse says of the zone that a text was read in, and of its wall-clock
// time, by CivilTimeKind and Disambiguation.
inline constexpr std::string_view kNamedByText = " (named by the text)";
inline constexpr std::string_view kAssumed = " (--assume-zone)";
inline constexpr std::string_view kWallClockKinds[] = {
    "unique", "skipped by a change of offset, read by --disambiguate ", "shown twice, read by --disambiguate "};
inline constexpr std::string_view kRuleNames[] = {"compatible", "earlier", "later", "reject"};

// Refusals of one input, followed by the text.
inline constexpr std::string_view kIsoTooShort =
    "ISO 8601 text too short: expected a date and a time of at least 5 characters, such as "
    "2024-03-05T07:08:09Z or 20240305T070809Z: ";

// A text taken for an epoch count and refused: kNotEpoch, the unit's name,
// " (", its examples, "), ", what was expected, kFound, what was found
// (kEndOfText or the byte in quotes), ": " and the text; or after the
// examples, kEpochOutsideRange, the range's first and last instants between
// kRangeTo, then kSmallerUnits and the smaller units where there are any.
inline constexpr std::string_view kNotEpoch = "Not epoch ";
// What was expected, by the Expected value (instant_text.cc); the last, then
// the most fraction digits in words and kFractionDigits.
inline constexpr std::string_view kExpected[] = {"expected a digit", "expected a digit, '.' or the end of the text",
                                                 "expected a digit or the end of the text",
                                                 "expected the end of the text after at most "};
inline constexpr std::string_view kFractionDigits = " digits of a fraction";
inline constexpr std::string_view kFound = ", found ";
inline constexpr std::string_view kEndOfText = "the end of the text";
inline constexpr std::string_view kEpochOutsideRange = "the instant is outside the time point range, ";
inline constexpr std::string_view kRangeTo = " to ";
inline constexpr std::string_view kSmallerUnits = "; for a count of smaller units, --from ";

// What the refusals of each epoch unit say of it, in the order of the epoch
// kinds of --from.
struct EpochUnitWords {
  std::string_view Name;
  std::string_view Examples;
  std::string_view MostFractionDigits;  // in words; empty for a unit that takes no fraction
  std::string_view Smaller;             // the kinds of --from that count smaller units
};
inline constexpr EpochUnitWords kEpochUnits[] = {
    {"seconds", "such as 1709622489 or @-1.5", "nine", "epoch-ms, epoch-us or epoch-ns"},
    {"milliseconds", "such as 1709622489123 or @-1500", "six", "epoch-us or epoch-ns"},
    {"microseconds", "such as 1709622489123456 or @-1500000", "three", "epoch-ns"},
    {"nanoseconds", "such as 1709622489123456789 or @-1500000000", "", ""},
};

// Epoch seconds of 4 to 8 whole digits, which --from auto does not read:
// kAmbiguous, what else they may be (kYear, or kDate from 5 digits on), kOrEpochSeconds, the text,
// kReadsEpochSeconds, the instant they are as epoch seconds, kYearIsNoInstant
// or kDateIsNoInstant, ": " and the text.
inline constexpr std::string_view kAmbiguous = "Ambiguous digits, ";
inline constexpr std::string_view kYear = "a year";
inline constexpr std::string_view kDate = "a date";
inline constexpr std::string_view kOrEpochSeconds = " or epoch seconds: @";
inline constexpr std::string_view kReadsEpochSeconds = " or --from epoch reads epoch seconds, ";
inline constexpr std::string_view kYearIsNoInstant =
    "; a year alone names no instant, which needs a date, a time and a zone too, such as 2024-01-01T00:00:00Z";
inline constexpr std::string_view kDateIsNoInstant =
    "; a date alone names no instant, which needs a time and a zone too, such as 20240305T000000Z";

// Refusal of an instant that --local cannot write in ISO 8601: kOffsetWithSeconds,
// the offset as +hh:mm:ss and kHasSeconds, or kLocalCountsLeapSeconds; that
// --zone cannot: kZoneCountsHead, the name and kZoneCountsLeapSeconds; after
// either of those kIsoCountsNone and kNamesAnotherInstant; then kUseUtc and
// the text. With --to-format, the library's refusal for --zone, and
// kLocalCountsLeapSeconds and kNamesAnotherInstant for --local.
inline constexpr std::string_view kOffsetWithSeconds = "Local offset ";
inline constexpr std::string_view kHasSeconds = " has seconds, which ISO 8601 and RFC 3339 cannot write";
inline constexpr std::string_view kLocalCountsLeapSeconds = "Local time counts leap seconds (a right/ zone)";
inline constexpr std::string_view kZoneCountsHead = "Zone ";
inline constexpr std::string_view kZoneCountsLeapSeconds = " counts leap seconds";
inline constexpr std::string_view kIsoCountsNone = ", which ISO 8601 and RFC 3339 do not";
inline constexpr std::string_view kNamesAnotherInstant = ": its text would name another instant";
inline constexpr std::string_view kUseUtc = "; --utc writes the instant in UTC: ";
// Followed by the field's number, kNoFieldIn and the line.
inline constexpr std::string_view kNoField = "no field ";
inline constexpr std::string_view kNoFieldIn = " in: ";

// Malformed CSV records, by the Malformed value of each after No (csv.h),
// followed by the record: one that breaks RFC 4180 runs to the end of the line
// where it does.
inline constexpr std::string_view kMalformed[] = {
    "Malformed CSV record, a quote inside an unquoted field: ", "Malformed CSV record, text after a closing quote: ",
    "Malformed CSV record, a quote open at the end of the input: "};

// Refusals of one input without its text.
inline constexpr std::string_view kDurationNumberTooLarge =
    "Duration number too large: expected at most 2147483647 before each of H, M and S";
// Then an excerpt of the text.
inline constexpr std::string_view kTooLong =
    "Too long to be an instant's text: expected at most 1024 bytes, such as 2024-03-05T07:08:09Z or "
    "Tue, 05 Mar 2024 07:08:09 GMT: ";

// How a message shows a text longer than 256 bytes: its first bytes, kCut,
// the text's size and kCutBytes.
inline constexpr std::string_view kCut = "\u2026 (";
inline constexpr std::string_view kCutBytes = " bytes)";

// Failures that end the tool: "cannot read " and the input's name, then
// ": " and the reason.
inline constexpr std::string_view kCannotRead = "cannot read ";
inline constexpr std::string_view kStandardInput = "standard input";
inline constexpr std::string_view kNotOpen = "not open for reading (Bad file descriptor)";
inline constexpr std::string_view kOutOfMemory = "out of memory";

// --local where local time would be glibc's fallback for a zone it cannot
// read, before the name; a usage error.
inline constexpr std::string_view kUnreadableZone = "--local: TZ names no readable time zone: ";

// Usage errors of the options, after "--field: " or "--delimiter: ".
inline constexpr std::string_view kFieldsFromOne = "fields count from 1";
inline constexpr std::string_view kFieldTooLarge = "no line has that many fields";
inline constexpr std::string_view kOneByte = "expected one byte other than a quote, CR and LF, such as , ; | or a tab";

// Usage errors of --field NAME, after "--field NAME: " and before the header line.
inline constexpr std::string_view kNameNeedsHeader = "a column name needs --header";
inline constexpr std::string_view kNoColumn = "no column of the header line has that name: ";
inline constexpr std::string_view kManyColumns =
    "more than one column of the header line has that name, give its number: ";

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_CLI_MESSAGES_H_
