// TryFromMailDate on arbitrary bytes, alone and cut from a longer buffer:
// every refusal must carry its message, and an accepted text must be one whose
// fields its canonical form shows: "Tue, 05 Mar 2024 07:08:09 +0000", written
// by FormatHttpDate from the instant at the text's offset, must read as the
// text did, and so must that form with comments, folds and other letter case
// between and in its parts, without its weekday, and with a year of two or
// three digits where one stands for it.
#include <orvik/chrono/chrono.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "strict_checks.h"

namespace orvik::chrono::fuzz {
namespace {

// Places in FormatHttpDate's text: "Sun, 06 Nov 1994 08:49:37 GMT".
constexpr std::size_t kYearAt = 12;
constexpr std::size_t kSecondsAt = 23;
constexpr std::size_t kZoneAt = 26;

std::string Canonical(const Timestamp& read, TimePoint local) {
  char written[kHttpDateSize];
  FormatHttpDate(written, local);
  const std::string text = std::string(written, kZoneAt) + OffsetText(read.offset, read.offset.count() < 0 ? '-' : '+');
  return IsLeapSecondReading(read.instant) ? AtSecond60(text, kSecondsAt) : text;
}

// The canonical form without its weekday, with a comment, a fold, a tab or a
// comment with a nested one and a quoted pair around each part, in small
// letters.
std::string Decorated(std::string_view canonical) {
  std::string text = "\r\n (x)";
  for (const char c : canonical.substr(sizeof("Sun,") - 1)) {
    text += c == ' ' ? std::string(" (a (\\)) b)\r\n\t") : std::string(1, static_cast<char>(std::tolower(c)));
  }
  return text + " (y) ";
}

void CheckReadsAs(const std::string& variant, const Timestamp& read, std::string_view text) {
  const ParseResult<Timestamp> again =
      ReadAlone(Alone(variant), [](std::string_view view) { return TryFromMailDate(view); });
  if (!again || !(again.value == read)) Fail("a form of the same fields reads otherwise", text, variant);
}

void CheckAccepted(const Timestamp& read, std::string_view text) {
  const long offset = read.offset.count();
  if (offset % 60 != 0 || offset <= -86400 || offset >= 86400) Fail("an offset that no mail date writes", text);
  const std::int64_t nanoseconds = read.instant.time_since_epoch().count() % internal::kNanosecondsPerSecond;
  if (nanoseconds != 0 && !IsLeapSecondReading(read.instant)) Fail("not a whole second", text);
  const std::optional<TimePoint> local = Local(read);
  if (!local) return;  // the local time lies beyond the time points: no writer shows it
  const std::string canonical = Canonical(read, *local);
  CheckReadsAs(canonical, read, text);
  CheckReadsAs(Decorated(canonical), read, text);
  const int year = std::atoi(canonical.c_str() + kYearAt);
  std::string short_year = canonical;
  if (year >= 1950 && year < 2050) {
    CheckReadsAs(short_year.replace(kYearAt, 4, canonical.substr(kYearAt + 2, 2) + "  "), read, text);
  } else if (year >= 1900 && year < 2900) {
    CheckReadsAs(short_year.replace(kYearAt, 4, std::to_string(year - 1900 + 1000).substr(1) + " "), read, text);
  }
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvik::chrono;
  using namespace orvik::chrono::fuzz;
  CheckReading(
      Alone(std::string_view(reinterpret_cast<const char*>(data), size)),
      [](std::string_view text) { return TryFromMailDate(text); }, CheckAccepted,
      {ParseError::MailDateLayout, ParseError::MailDateNonexistent, ParseError::MailDateWeekday,
       ParseError::MailDateZone, ParseError::MailDateOutsideRange},
      "Not a mail date, ");
  return 0;
}
