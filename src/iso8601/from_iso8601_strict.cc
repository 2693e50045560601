// TryFromIso8601Strict: an RFC 3339 / ISO 8601 timestamp, read only as
// written.
//
// The layouts that writers use most, nanoseconds and 'Z' or an offset, are
// read whole at once, and give the reading that the parts give. Otherwise the
// byte after the year tells the layout ('-' extended, otherwise basic),
// which holds for the time of day too; the date and time are checked against
// it at once, then come the fraction and the zone, each checked where it
// stands, so a refusal names the first byte that departs from the layout. The
// fields are checked once the whole text has its layout.
#include <orvik/chrono/chrono.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/time_units.h"
#include "messages.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace internal {
namespace {

constexpr Layout kExtended{"yyyy-oo-dd?hh:ii:ss", ""};
constexpr Layout kBasic{"yyyyoodd?hhiiss", ""};
// The layouts that writers use most, each read whole at once.
constexpr Layout kExtendedUtc{"yyyy-oo-ddThh:ii:ss.fffffffffZ", ""};
constexpr Layout kExtendedOffset{"yyyy-oo-ddThh:ii:ss.fffffffff+uu:vv", ""};

constexpr StrictErrors kErrors{ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictNonexistent,
                               ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictOffset,
                               ParseError::Iso8601StrictOutsideRange};

constexpr std::string_view kUtc = " UTC";
// What a fault at an offset with seconds (+00:19:32, local mean time, as
// PostgreSQL writes it) expected: its message says that such an offset is not
// read, rather than what was found after the minutes.
constexpr std::string_view kNoOffsetSeconds = "an offset of hours and minutes";
constexpr std::string_view kOffsetWithSeconds = "an offset with seconds, ";
constexpr std::string_view kIsNotRead = ", is not ISO 8601 or RFC 3339, whose offsets end at the minutes: ";

// The zone, up to the end of the text: its offset's hours and minutes into
// `r`, and `west` for a '-'.
bool ReadZone(std::string_view text, std::size_t& at, StrictReading& r, bool& west) {
  const char first = at < text.size() ? text[at] : '\0';
  if (first == 'Z' || first == 'z') {
    ++at;
  } else if (first == '+' || first == '-') {
    const std::size_t sign = at;
    west = first == '-';
    if (!TakeDigits<2>(text, ++at, r.OffsetHours)) return r.Expect("the offset's hours in two digits", at);
    const bool colon = Take(text, at, ':');
    if ((colon || at < text.size()) && !TakeDigits<2>(text, at, r.OffsetMinutes)) {
      return r.Expect("the offset's minutes in two digits", at);
    }
    int seconds = 0;
    if (std::size_t end = at;
        (!colon || Take(text, end, ':')) && TakeDigits<2>(text, end, seconds) && end == text.size()) {
      return r.Expect(kNoOffsetSeconds, sign, end - sign);
    }
  } else if (text.substr(at) == kUtc) {
    at = text.size();
  } else {
    return r.Expect("a zone after the time: Z, z, +hh:mm, +hhmm, +hh or ' UTC'", at);
  }
  return at == text.size() || r.Expect("the end of the text after the zone", at);
}

// Any layout, each part checked where it stands.
bool ReadParts(std::string_view text, StrictReading& r, bool& west) {
  std::size_t at = 0;
  const bool extended = IsAt(text, sizeof("2024") - 1, '-');
  return (extended ? ReadLayout<kExtended>(text, at, r) : ReadLayout<kBasic>(text, at, r)) &&
         (!TakeDecimalSign(text, at) ||
          ReadFraction(text, at, "a zone after at most nine digits of a fraction", r.Fields.Nanoseconds, r)) &&
         ReadZone(text, at, r, west);
}

[[gnu::always_inline]] inline ParseResult<Timestamp> ReadStrict(std::string_view text, StrictReading& r) {
  bool west = IsAt(text, kExtendedOffset.Text.find('+'), '-');
  if (!IsWhole<kExtendedUtc>(text, 0, r) && !IsWhole<kExtendedOffset>(text, 0, r) &&
      !ReadParts(text, r = {}, west = false)) {
    return {{}, kErrors.Layout};
  }
  Problem problem = r.OffsetHours > 23     ? Problem::OffsetHours
                    : r.OffsetMinutes > 59 ? Problem::OffsetMinutes
                                           : Problem::None;
  const std::int64_t offset = (r.OffsetHours * kSecondsPerHour + r.OffsetMinutes * kSecondsPerMinute) * (west ? -1 : 1);
  Timestamp read;
  std::int64_t days = 0;
  if (problem == Problem::None) problem = FormTimestamp(r.Fields, offset, read, days);
  r.Fault.What = problem;
  return {read, ErrorOf(problem, kErrors)};
}

}  // namespace
}  // namespace internal

ParseResult<Timestamp> TryFromIso8601Strict(std::string_view text) noexcept {
  internal::StrictReading reading;
  return internal::ReadStrict(text, reading);
}

ParseResult<Timestamp> TryFromIso8601Strict(std::string_view text, std::string& message) {
  internal::StrictReading reading;
  const ParseResult<Timestamp> read = internal::ReadStrict(text, reading);
  const internal::ReadingFault& fault = reading.Fault;
  if (!read && fault.What == internal::Problem::Expected && fault.Expected == internal::kNoOffsetSeconds) {
    internal::AppendParts(message, {internal::kIso8601StrictHead, internal::kOffsetWithSeconds,
                                    text.substr(fault.At, fault.Size), internal::kIsNotRead, text});
  } else if (!read) {
    internal::AppendStrictMessage(message, internal::kIso8601StrictHead, reading, text);
  }
  return read;
}

}  // namespace orvik::chrono
