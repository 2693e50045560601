// Every declaration of the public header, built as C++17 and as C++20: each
// call with a value that it must give, the status the count of those it did
// not give.
#include <orvik/chrono/chrono.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace oc = orvik::chrono;

namespace {

int failures = 0;

void Check(bool good, const char* what) {
  if (!good) {
    std::printf("failed: %s\n", what);
    ++failures;
  }
}

}  // namespace

int main() {
  static_assert(ORVIK_CHRONO_VERSION_MAJOR >= 1 && ORVIK_CHRONO_VERSION_MINOR >= 0 && ORVIK_CHRONO_VERSION_PATCH >= 0);
  static_assert(oc::kMaxIso8601Size == 35 && oc::kHttpDateSize == 29);
  const oc::TimePoint t = oc::FileTimePointToSystemTimePoint(784111777);
  const oc::TimePoint fraction = t + std::chrono::milliseconds(5);
  Check(oc::ToCalendarTime(t, oc::TimeZone::UTC).tm_hour == 8, "ToCalendarTime");
  Check(oc::ToCalendarTime(t, oc::TimeZone::Local).tm_year == 94, "ToCalendarTime, local");
  const oc::LocalZone zone = oc::CurrentLocalZone();
  Check(zone.Source != oc::LocalZoneSource::TzifFile || !zone.Name.empty(), "CurrentLocalZone");
  Check(oc::ToIso8601(t, oc::Iso8601Format::Extended, oc::TimeZone::UTC) == "1994-11-06T08:49:37Z", "ToIso8601");
  Check(oc::ToIso8601(fraction, oc::TimeZone::UTC) == "1994-11-06T08:49:37.005000000Z", "ToIso8601, nanoseconds");
  Check(oc::SplitIso8601("1994-11-06T14:19:37+05:30").second.count() == 330, "SplitIso8601");
  Check(oc::FromIso8601("19941106T084937Z") == t, "FromIso8601");
  Check(oc::ToHttpDate(t) == "Sun, 06 Nov 1994 08:49:37 GMT", "ToHttpDate");
  Check(oc::FromHttpDate("Sun Nov  6 08:49:37 1994") == t, "FromHttpDate");
  Check(oc::duration::FromIso8601("PT1M").count() == 60000000000, "duration::FromIso8601");
  const oc::ParseResult<oc::TimePoint> refused = oc::TryFromIso8601("1899-12-31T23:59:59Z");
  Check(!refused && refused.error == oc::ParseError::Iso8601YearBefore1900, "TryFromIso8601");
  Check(oc::ErrorMessage(oc::ParseError::DurationInvalid, "P") == "Invalid ISO8601 duration format", "ErrorMessage");
  try {
    oc::ThrowParseError(oc::ParseError::HttpOutsideRange, "x");
  } catch (const std::out_of_range& e) {
    Check(std::string(e.what()).size() > 1, "ThrowParseError");
  }
  Check(oc::TrySplitIso8601("1994-11-06T08:49:37.005Z").value.first == fraction, "TrySplitIso8601");
  Check(oc::TryFromHttpDate("Sunday, 06-Nov-94 08:49:37 GMT").value == t, "TryFromHttpDate");
  Check(oc::duration::TryFromIso8601("PT1S").value.count() == 1000000000, "duration::TryFromIso8601");
  const oc::Timestamp expected{t, std::chrono::seconds(0)};
  const oc::Timestamp shifted{t, std::chrono::seconds(60)};
  std::string message;
  Check(oc::TryFromIso8601Strict("1994-11-06T08:49:37Z").value == expected, "TryFromIso8601Strict");
  Check(!oc::TryFromIso8601Strict("1994-11-06", message) && !message.empty(), "TryFromIso8601Strict, message");
  Check(oc::TryFromHttpDateStrict("Sun, 06 Nov 1994 08:49:37 GMT", t).value == expected, "TryFromHttpDateStrict");
  Check(oc::TryFromHttpDateStrict("Sun, 06 Nov 1994 08:49:37 GMT").value != shifted, "TryFromHttpDateStrict, now");
  Check(oc::TryFromHttpDateStrict("Sun, 06 Nov 1994 08:49:37 GMT", t, message).value == expected,
        "TryFromHttpDateStrict, message");
  Check(oc::TryFromMailDate("6 Nov 1994 08:50:37 +0001").value == shifted, "TryFromMailDate");
  Check(oc::TryFromMailDate("6 Nov 1994 08:49:37 UT", message).value == expected, "TryFromMailDate, message");
  Check(oc::duration::TryFromIso8601Strict("PT1H").value == std::chrono::hours(1), "duration::TryFromIso8601Strict");
  Check(oc::duration::TryFromIso8601Strict("P1D", message).error == oc::ParseError::DurationNotSupported,
        "duration::TryFromIso8601Strict, message");
  char out[oc::kMaxIso8601Size];
  Check(oc::FormatIso8601(out, t, oc::Iso8601Format::BasicNanoseconds, oc::TimeZone::UTC) == out + 26, "FormatIso8601");
  Check(oc::FormatHttpDate(out, t) == out + oc::kHttpDateSize, "FormatHttpDate");
  return failures;
}
