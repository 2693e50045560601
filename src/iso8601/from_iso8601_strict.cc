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

#include "civil/instant.h"
#include "messages.h"
#include "text/fraction.h"
#include "text/pattern.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace internal {
namespace {

constexpr BytePattern kExtended{"yyyy-oo-dd?hh:ii:ss", ""};
constexpr BytePattern kBasic{"yyyyoodd?hhiiss", ""};
// The layouts that writers use most, each read whole at once.
constexpr BytePattern kExtendedUtc{"yyyy-oo-ddThh:ii:ss.fffffffffZ", ""};
constexpr BytePattern kExtendedOffset{"yyyy-oo-ddThh:ii:ss.fffffffff+uu:vv", ""};

constexpr StrictErrors kErrors{ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictNonexistent,
                               ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictOffset,
                               ParseError::Iso8601StrictOutsideRange};

constexpr std::string_view kUtc = " UTC";
// The zone, up to the end of the text: its offset's hours and minutes into
// `r`, and `west` for a '-'.
bool ReadZone(std::string_view text, std::size_t& at, StrictReading& r, bool& west) {
  const char first = at < text.size() ? text[at] : '\0';
  if (first == 'Z' || first == 'z') {
    ++at;
  } else if (first == '+' || first == '-') {
    const std::size_t sign = at;
    west = first == '-';
    if (!TakeDigits<2>(text, ++at, r.OffsetHours)) return r.Refuse("the offset's hours in two digits", at);
    const bool colon = Take(text, at, ':');
    if ((colon || at < text.size()) && !TakeDigits<2>(text, at, r.OffsetMinutes)) {
      return r.Refuse("the offset's minutes in two digits", at);
    }
    // An offset with seconds (+00:19:32, local mean time, as PostgreSQL
    // writes it) is named as such, rather than what follows its minutes.
    int seconds = 0;
    if (std::size_t end = at;
        (!colon || Take(text, end, ':')) && TakeDigits<2>(text, end, seconds) && end == text.size()) {
      r.Fault = {
          Problem::OffsetWithSeconds, {}, static_cast<std::uint32_t>(sign), static_cast<std::uint32_t>(end - sign)};
      return false;
    }
  } else if (text.substr(at) == kUtc) {
    at = text.size();
  } else {
    return r.Refuse("a zone after the time: Z, z, +hh:mm, +hhmm, +hh or ' UTC'", at);
  }
  return at == text.size() || r.Refuse("the end of the text after the zone", at);
}

// Any layout, each part checked where it stands.
bool ReadParts(std::string_view text, StrictReading& r, bool& west) {
  std::size_t at = 0;
  const bool extended = IsAt(text, sizeof("2024") - 1, '-');
  return (extended ? ReadPattern<kExtended>(text, at, r) : ReadPattern<kBasic>(text, at, r)) &&
         (!TakeDecimalSign(text, at) ||
          ReadFraction(text, at, "a zone after at most nine digits of a fraction", r.Fields.Nanoseconds, r)) &&
         ReadZone(text, at, r, west);
}

[[gnu::always_inline]] inline ParseResult<Timestamp> ReadStrict(std::string_view text, StrictReading& r) {
  bool west = IsAt(text, kExtendedOffset.Text.find('+'), '-');
  if (!IsWholePattern<kExtendedUtc>(text, r) && !IsWholePattern<kExtendedOffset>(text, r) &&
      !ReadParts(text, r = {}, west = false)) {
    return {{}, kErrors.Layout};
  }
  std::int64_t offset = 0;
  Problem problem = OffsetSeconds(r.OffsetHours, r.OffsetMinutes, west, offset);
  Timestamp read;
  std::int64_t days = 0;
  if (problem == Problem::None) problem = FormTimestamp(r.Fields, offset, read, days);
  return Outcome(r, problem, read, kErrors);
}

}  // namespace
}  // namespace internal

ParseResult<Timestamp> TryFromIso8601Strict(std::string_view text) noexcept {
  return internal::ReadAlone<internal::ReadStrict>(text);
}

ParseResult<Timestamp> TryFromIso8601Strict(std::string_view text, std::string& message) {
  return internal::ReadWithMessage<internal::ReadStrict>(text, message, internal::kIso8601StrictHead);
}

}  // namespace orvik::chrono
