// TryFromHttpDateStrict on arbitrary bytes, alone and cut from a longer
// buffer, against several instants taken for now: every refusal must carry
// its message; an accepted text must be the text that FormatHttpDate writes
// of its instant, put in the text's own layout, second 60 only as a leap
// second; TryFromHttpDate must read it alike but for an RFC 850 year that is
// not 19yy; and an RFC 850 year must lie within 50 years of now, while no
// other layout's reading depends on now.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "civil/names.h"
#include "strict_checks.h"

namespace orvik::chrono::fuzz {
namespace {

using namespace std::chrono;

enum class TextShape { ImfFixdate, Rfc850, Asctime };

// The layout that a text's weekday starts: "Sun, ", "Sun " or "Sunday, ".
TextShape ShapeOf(std::string_view text) {
  if (text.size() > 3 && text[3] == ',') return TextShape::ImfFixdate;
  return text.size() > 3 && text[3] == ' ' ? TextShape::Asctime : TextShape::Rfc850;
}

// "Sun, 06 Nov 1994 08:49:37 GMT", as FormatHttpDate writes it, in `layout`;
// an asctime day below 10 with a space or a zero before it, as `text` has.
std::string InShape(const std::string& written, TextShape layout, std::string_view text) {
  const std::string weekday = written.substr(0, 3);
  const std::string day = written.substr(5, 2);
  const std::string month = written.substr(8, 3);
  const std::string year = written.substr(12, 4);
  const std::string time = written.substr(17, 8);
  switch (layout) {
    case TextShape::ImfFixdate:
      return written;
    case TextShape::Asctime:
      return weekday + " " + month + " " + (day[0] == '0' && text[8] == ' ' ? " " + day.substr(1) : day) + " " + time +
             " " + year;
    case TextShape::Rfc850:
      for (const std::string_view name : internal::kWeekdayNames) {
        if (name.starts_with(weekday)) {
          return std::string(name) + ", " + day + "-" + month + "-" + year.substr(2) + " " + time + " GMT";
        }
      }
  }
  return {};
}

void CheckAccepted(const Timestamp& read, std::string_view text) {
  if (read.offset.count() != 0) Fail("an HTTP date away from UTC", text);
  const bool leap = IsLeapSecondReading(read.instant);
  if (!leap && read.instant.time_since_epoch().count() % internal::kNanosecondsPerSecond != 0) {
    Fail("not a whole second", text);
  }
  std::string written(kHttpDateSize, '\0');
  FormatHttpDate(written.data(), read.instant);
  if (leap) written = AtSecond60(written, sizeof("Sun, 06 Nov 1994 08:49:") - 1);
  const TextShape layout = ShapeOf(text);
  const std::string expected = InShape(written, layout, text);
  if (expected != text) Fail("the text is not what the writer writes of its reading", text, expected);
  // The lenient reader reads second 60 as the next minute's first.
  if (leap || (layout == TextShape::Rfc850 && !written.substr(12).starts_with("19"))) return;
  const ParseResult<TimePoint> lenient = TryFromHttpDate(text);
  if (!lenient || lenient.value != read.instant) Fail("TryFromHttpDate reads the text otherwise", text);
}

// `now` moved by whole years of the calendar, at the same time of day.
sys_seconds YearsFrom(TimePoint now, int count) {
  const sys_seconds second = floor<seconds>(now);
  const sys_days day = floor<days>(second);
  return sys_days(year_month_day(day) + years(count)) + (second - day);
}

// `second` as a time point, where one holds it.
std::optional<TimePoint> AsTimePoint(sys_seconds second) {
  if (std::abs(second.time_since_epoch().count()) >= internal::kMaxTimePointSeconds) return std::nullopt;
  return TimePoint(second);
}

// A time as the calendar orders it: its date's fields, then the second of
// its day; `count` years later, the same fields but the year.
std::pair<year_month_day, seconds> FieldsOf(TimePoint t, int count = 0) {
  const sys_seconds second = floor<seconds>(t);
  const sys_days day = floor<days>(second);
  return {year_month_day(day) + years(count), second - day};
}

void CheckWindow(const Timestamp& read, std::string_view text, TimePoint now) {
  const auto fields = FieldsOf(read.instant);
  if (!IsLeapSecondReading(read.instant) && (fields <= FieldsOf(now, -50) || fields > FieldsOf(now, 50))) {
    Fail("an RFC 850 year more than 50 years from now", text, std::to_string(now.time_since_epoch().count()));
  }
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvik::chrono;
  using namespace orvik::chrono::fuzz;
  const Alone text(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto read_at = [&text](TimePoint now) {
    return ReadAlone(text, [now](std::string_view view) { return TryFromHttpDateStrict(view, now); });
  };
  const ParseResult<Timestamp> read = CheckReading(
      text, [](std::string_view view) { return TryFromHttpDateStrict(view); }, CheckAccepted,
      {ParseError::HttpStrictLayout, ParseError::HttpStrictNonexistent, ParseError::HttpStrictWeekday,
       ParseError::HttpStrictOutsideRange},
      "Not an HTTP date, ");
  // The header's own example, the ends of the time points, the epoch, and
  // where the reading's year is 50 years away.
  std::vector<TimePoint> nows = {TimePoint(sys_days(2026y / December / 7)), TimePoint::min(), TimePoint::max(),
                                 TimePoint{}};
  if (read) {
    for (const int count : {-50, 50}) {
      for (const int moved : {-1, 0, 1}) {
        const std::optional<TimePoint> edge = AsTimePoint(YearsFrom(read.value.instant, count) + seconds(moved));
        if (edge) nows.push_back(*edge);
      }
    }
  }
  const bool rfc850 = ShapeOf(text.View()) == TextShape::Rfc850;
  for (const TimePoint now : nows) {
    const ParseResult<Timestamp> at_now = read_at(now);
    if (!rfc850 && (at_now.error != read.error || !(at_now.value == read.value))) {
      Fail("a reading that depends on now outside RFC 850", text.View());
    }
    if (rfc850 && at_now) {
      CheckAccepted(at_now.value, text.View());
      CheckWindow(at_now.value, text.View(), now);
    }
  }
  return 0;
}
