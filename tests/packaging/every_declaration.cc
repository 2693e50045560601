// Every declaration of the public header, built as C++17 and as C++20: each
// call with a value that it must give. The status counts the calls that did
// not give theirs, and the output names each by its place.
#include <orvik/chrono/chrono.h>

#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace oc = orvik::chrono;

int main() {
  static_assert(ORVIK_CHRONO_VERSION_MAJOR >= 1 && ORVIK_CHRONO_VERSION_MINOR >= 0 && ORVIK_CHRONO_VERSION_PATCH >= 0);
  static_assert(oc::kMaxIso8601Size == 35 && oc::kHttpDateSize == 29);
  const oc::TimePoint t = oc::FileTimePointToSystemTimePoint(784111777);
  const oc::TimePoint fraction = t + std::chrono::milliseconds(5);
  const oc::LocalZone zone = oc::CurrentLocalZone();
  const oc::ParseResult<oc::TimePoint> refused = oc::TryFromIso8601("1899-12-31T23:59:59Z");
  const oc::Timestamp expected{t, std::chrono::seconds(0)};
  const oc::Timestamp shifted{t, std::chrono::seconds(60)};
  std::string message;
  char out[oc::kMaxIso8601WithZoneNameSize];
  const oc::Zone kolkata = oc::LoadZone("Asia/Kolkata");
  const oc::CivilTime civil{1994, 11, 6, 14, 19, 37, 0};
  oc::Layout layout;
  const bool kCalls[] = {
      oc::ToCalendarTime(t, oc::TimeZone::UTC).tm_hour == 8,
      zone.Source != oc::LocalZoneSource::TzifFile || !zone.Name.empty(),
      oc::ToIso8601(t, oc::Iso8601Format::Extended, oc::TimeZone::UTC) == "1994-11-06T08:49:37Z",
      oc::ToIso8601(fraction, oc::TimeZone::UTC) == "1994-11-06T08:49:37.005000000Z",
      oc::SplitIso8601("1994-11-06T14:19:37+05:30").second.count() == 330,
      oc::FromIso8601("19941106T084937Z") == t,
      oc::ToHttpDate(t) == "Sun, 06 Nov 1994 08:49:37 GMT",
      oc::FromHttpDate("Sun Nov  6 08:49:37 1994") == t,
      oc::duration::FromIso8601("PT1M").count() == 60000000000,
      !refused && refused.error == oc::ParseError::Iso8601YearBefore1900,
      !oc::ErrorMessage(oc::ParseError::DurationInvalid, "P").empty(),
      !oc::ErrorMessage(oc::ParseError::HttpStrictWeekday, "Sunday, 06-Nov-94 08:49:37 GMT", t).empty(),
      oc::TrySplitIso8601("1994-11-06T08:49:37.005Z").value.first == fraction,
      oc::TryFromHttpDate("Sunday, 06-Nov-94 08:49:37 GMT").value == t,
      oc::duration::TryFromIso8601("PT1S").value.count() == 1000000000,
      oc::TryFromIso8601Strict("1994-11-06T08:49:37Z").value == expected,
      !oc::TryFromIso8601Strict("1994-11-06", message) && !message.empty(),
      oc::TryFromHttpDateStrict("Sun, 06 Nov 1994 08:49:37 GMT", t).value == expected,
      oc::TryFromHttpDateStrict("Sun, 06 Nov 1994 08:49:37 GMT").value != shifted,
      oc::TryFromHttpDateStrict("Sun, 06 Nov 1994 08:49:37 GMT", t, message).value == expected,
      oc::TryFromMailDate("6 Nov 1994 08:50:37 +0001").value == shifted,
      oc::TryFromMailDate("6 Nov 1994 08:49:37 UT", message).value == expected,
      oc::duration::TryFromIso8601Strict("PT1H").value == std::chrono::hours(1),
      oc::duration::TryFromIso8601Strict("P1D", message).error == oc::ParseError::DurationNotSupported,
      oc::FormatIso8601(out, t, oc::Iso8601Format::BasicNanoseconds, oc::TimeZone::UTC) == out + 26,
      oc::FormatHttpDate(out, t) == out + oc::kHttpDateSize,
      oc::TryLoadZone("UTC").zone.Name() == "UTC" && oc::Zone::Utc() == oc::Zone() && kolkata != oc::Zone::Utc(),
      oc::TryLoadZone("Europe/Berln").error == oc::ZoneError::NotFound,
      oc::TryFixedOffsetZone(std::chrono::minutes(330)).zone.Name() == "+05:30",
      static_cast<bool>(oc::TryPosixRuleZone("CET-1CEST,M3.5.0,M10.5.0/3")),
      !oc::ZoneErrorMessage(oc::ZoneError::NotFound, "x").empty(),
      oc::ToCalendarTime(t, kolkata).tm_gmtoff == 19800,
      oc::FormatIso8601(out, t, oc::Iso8601Format::Extended, kolkata) == out + 25,
      oc::ToIso8601(t, oc::Iso8601Format::Extended, kolkata) == "1994-11-06T14:19:37+05:30",
      oc::LookUpCivilTime(civil, kolkata).value.kind == oc::CivilTimeKind::Unique,
      oc::TryFromCivil(civil, kolkata, oc::Disambiguation::Reject).value.instant == t,
      oc::TryFromCivil(civil, kolkata, oc::Disambiguation::Earlier, message).value.instant == t,
      oc::TryFromIso8601Strict("1994-11-06 14:19:37", kolkata, oc::Disambiguation::Later).value.timestamp.instant == t,
      oc::TryFromIso8601Strict("1994-11-06T14:19", kolkata, oc::Disambiguation::Compatible, message)
              .value.timestamp.instant == t - std::chrono::seconds(37),
      oc::FormatIso8601WithZoneName(out, t, oc::Iso8601Format::Extended, kolkata) == out + 25 + 14,
      oc::ToIso8601WithZoneName(t, oc::Iso8601Format::Extended, kolkata) == "1994-11-06T14:19:37+05:30[Asia/Kolkata]",
      oc::TryCompileLayout("%F %T", layout, message) && layout.Format() == "%F %T" && layout.MaxSize() == 19,
      oc::CompileLayout("%H:%M").MaxSize() == 5 && !oc::LayoutReadingProblem(oc::Layout()).empty(),
      oc::LayoutReadsWallClock(layout),
      oc::TryFromLayout("1994-11-06 14:19:37", layout, kolkata, oc::Disambiguation::Reject).value.timestamp.instant ==
          t,
      oc::TryFromLayout("Nov  6", oc::CompileLayout("%b %e"), kolkata, oc::Disambiguation::Reject, t).value.wall_clock,
      oc::TryFromLayout("1994-11-06", layout, kolkata, oc::Disambiguation::Reject, message).error ==
          oc::ParseError::LayoutMismatch,
      oc::TryFromLayout("x", layout, kolkata, oc::Disambiguation::Reject, t, message).error ==
          oc::ParseError::LayoutMismatch,
      oc::FormatLayout(out, sizeof out, t, layout, kolkata) == out + 19,
      oc::FormatLayout(out, sizeof out, t, layout, oc::TimeZone::UTC) == out + 19,
      oc::ToLayout(t, layout, kolkata) == "1994-11-06 14:19:37",
      oc::ToLayout(t, layout, oc::TimeZone::UTC) == "1994-11-06 08:49:37",
  };
  int failed = 0;
  for (std::size_t i = 0; i < sizeof kCalls; ++i) {
    if (!kCalls[i]) std::printf("call %zu failed\n", i);
    failed += kCalls[i] ? 0 : 1;
  }
  try {
    oc::ThrowParseError(oc::ParseError::HttpOutsideRange, "x");
  } catch (const std::out_of_range&) {
    return failed;
  }
}
