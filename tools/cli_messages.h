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
    "auto reads epoch seconds when the text is an optional '@', an optional '-' and digits with an optional "
    "fraction of up to nine digits (1709622489, @-1.5); an HTTP date when it starts with a letter; "
    "ISO 8601 otherwise.";

// Refusals of one input, followed by the text.
inline constexpr std::string_view kEpochUnreadable = "Failed to parse epoch seconds: ";
inline constexpr std::string_view kEpochOutsideRange = "Epoch seconds outside the time point range: ";
inline constexpr std::string_view kIsoTooShort =
    "ISO 8601 text too short: expected a date and a time of at least 5 characters, such as "
    "2024-03-05T07:08:09Z or 20240305T070809Z: ";
// Refusal of a text that the library would read as another instant: the
// differing parts of the text and of the instant written back in its layout,
// each in quotes and joined by kWouldBeReadAs, then that instant in
// parentheses, kLenientAllows and the text.
inline constexpr std::string_view kNotAsWritten = "Not the instant written: ";
inline constexpr std::string_view kWouldBeReadAs = " would be read as ";
inline constexpr std::string_view kLenientAllows = "; --lenient allows it: ";
inline constexpr std::string_view kInstantOutsideRange =
    "Instant outside the time point range, 1677-09-21T00:12:44Z to 2262-04-11T23:47:16Z: ";
// Followed by the field's number, kNoFieldIn and the line.
inline constexpr std::string_view kNoField = "no field ";
inline constexpr std::string_view kNoFieldIn = " in: ";

// Malformed CSV records, followed by the record; nothing after one is read.
inline constexpr std::string_view kQuoteInField =
    "Malformed CSV record, a quote inside an unquoted field; nothing after it is read: ";
inline constexpr std::string_view kTextAfterQuote =
    "Malformed CSV record, text after a closing quote; nothing after it is read: ";
inline constexpr std::string_view kUnterminatedQuote = "Malformed CSV record, a quote open at the end of the input: ";

// Refusals of one input without its text.
inline constexpr std::string_view kDurationNumberTooLarge =
    "Duration number too large: expected at most 2147483647 before each of H, M and S";
inline constexpr std::string_view kLineTooLong =
    "line too long: expected at most 65536 bytes, far more than any instant's text";
inline constexpr std::string_view kRecordTooLong =
    "record too long: expected at most 65536 bytes, far more than any instant's text; nothing after it is read";

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
inline constexpr std::string_view kOneCharacter = "must be one character";

// Usage errors of --field NAME, after "--field NAME: " and before the header line.
inline constexpr std::string_view kNameNeedsHeader = "a column name needs --header";
inline constexpr std::string_view kNoColumn = "no column of the header line has that name: ";
inline constexpr std::string_view kManyColumns =
    "more than one column of the header line has that name, give its number: ";

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_CLI_MESSAGES_H_
