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
//
// Its reading in a zone is a separate entry point over the same parts: the
// seconds may be left out, a text without a zone is wall-clock time in the
// zone, and an RFC 9557 suffix may follow.
#include <orvik/chrono/chrono.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/disambiguation.h"
#include "civil/instant.h"
#include "civil/time_units.h"
#include "iso8601/canonical.h"
#include "iso8601/record.h"
#include "messages.h"
#include "text/digits.h"
#include "text/fraction.h"
#include "text/pattern.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace internal {
namespace {

constexpr const BytePattern& kExtended = kExtendedDateTime;
constexpr BytePattern kBasic{"yyyyoodd?hhiiss", ""};

constexpr StrictErrors kErrors{ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictNonexistent,
                               ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictOffset,
                               ParseError::Iso8601StrictOutsideRange};

constexpr std::string_view kUtc = " UTC";
// The zone, up to the end of the text: its offset's hours and minutes into
// `r`, and `west` for a '-'. An offset's seconds are read into `*seconds`
// where it is given, and refused otherwise.
bool ReadZone(std::string_view text, std::size_t& at, StrictReading& r, bool& west, int* seconds = nullptr) {
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
    // writes it) is named as such where it is refused, rather than what
    // follows its minutes.
    int held = 0;
    if (std::size_t end = at;
        (!colon || Take(text, end, ':')) && TakeDigits<2>(text, end, held) && end == text.size()) {
      if (seconds != nullptr) {
        *seconds = held;
        return held < kSecondsPerMinute || r.Refuse(kOffsetSecondsRange, end - 2, 2);
      }
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

// The reading of record; where `misfit`, of a text whose first bytes are
// known not to fit kExtended.
[[gnu::always_inline]] inline ParseResult<Timestamp> ReadRecord(std::string_view text, StrictReading& r, bool misfit) {
  bool west = false;
  if (misfit) {
    RefuseMisfit<kExtended>(text, 0, r);
    return {{}, kErrors.Layout};
  }
  if (!ReadParts(text, r, west)) return {{}, kErrors.Layout};
  std::int64_t offset = 0;
  Problem problem = OffsetSeconds(r.OffsetHours, r.OffsetMinutes, west, offset);
  Timestamp read;
  std::int64_t days = 0;
  // The layouts whose dates FormTimestamp's tables would serve are the
  // shortcut's; the others are formed by arithmetic alone.
  if (problem == Problem::None) problem = CheckFields(r.Fields);
  if (problem == Problem::None) problem = FormCheckedTimestamp(r.Fields, offset, read, days);
  return Outcome(r, problem, read, kErrors);
}

}  // namespace

ParseResult<Timestamp> ReadIso8601StrictRecord(std::string_view text, StrictReading& r, bool misfit) {
  return ReadRecord(text, r, misfit);
}

namespace {

// The reading of record of a text that the shortcut left to it. Out of line,
// so that the shortcut's texts take no frame for it.
[[gnu::noinline]] ParseResult<Timestamp> ReadAfterShortcut(std::string_view text, Shortcut shortcut) {
  StrictReading reading;
  return ReadRecord(text, reading, shortcut == Shortcut::Misfit);
}

// The shortcut's instant of `text` into `read`; Misfit or Other where it
// leaves the text to the reading of record.
[[gnu::always_inline]] inline Shortcut ReadShortcut(std::string_view text, Timestamp& read) {
  InnerFields fields;
  std::int64_t days = 0;
  const Shortcut shortcut = ReadIso8601Shortcut(text, fields);
  if (shortcut != Shortcut::Read) return shortcut;
  return FormInnerTimestamp(fields, read, days) ? Shortcut::Read : Shortcut::Other;
}

// The reading in a zone: the time of day may end after its minutes, the
// zone may be left out, and an RFC 9557 suffix may follow.
constexpr BytePattern kExtendedMinutes{"yyyy-oo-dd?hh:ii", ""};
constexpr BytePattern kBasicMinutes{"yyyyoodd?hhii", ""};

// What a reading in a zone found beyond StrictReading's: the suffix's zone,
// and a refusal that the strict reading's message does not tell.
struct ZonedReading {
  StrictReading Strict;
  std::string_view ZoneName;  // of the suffix, empty without one
  ZoneError LoadError = ZoneError::None;
  CivilTime Civil;  // a text without an offset, read in Zone
  Zone In;
  std::int64_t Offset = 0;  // written, and the zone's, where they disagree
  std::int64_t ZoneOffset = 0;
  int OffsetSeconds = 0;
};

// The date, the time of day with or without its seconds, a fraction after
// seconds and a zone if one is written, up to the end of `text`.
bool ReadZonedParts(std::string_view text, StrictReading& r, bool& west, bool& zoned, bool& utc, int& seconds) {
  std::size_t at = 0;
  const bool extended = IsAt(text, sizeof("2024") - 1, '-');
  if (!(extended ? ReadPattern<kExtendedMinutes>(text, at, r) : ReadPattern<kBasicMinutes>(text, at, r))) return false;
  if (extended ? Take(text, at, ':') : at < text.size() && digits::IsDigit(text[at])) {
    if (!TakeDigits<2>(text, at, r.Fields.Second)) return r.Refuse("the seconds in two digits", at);
    if (TakeDecimalSign(text, at) &&
        !ReadFraction(text, at, "a zone after at most nine digits of a fraction", r.Fields.Nanoseconds, r)) {
      return false;
    }
  }
  zoned = at < text.size();
  utc = zoned && text[at] != '+' && text[at] != '-';
  return !zoned || ReadZone(text, at, r, west, &seconds);
}

// Whether `annotation` is an RFC 9557 key=value: a key of 'a' to 'z', '_',
// digits and '-' that starts with a letter or '_', and values of letters and
// digits joined by '-'.
bool IsKeyValue(std::string_view annotation, std::size_t equals) {
  const std::string_view key = annotation.substr(0, equals);
  const std::string_view value = annotation.substr(equals + 1);
  const auto lower = [](char c) { return (c >= 'a' && c <= 'z') || c == '_'; };
  const auto alphanumeric = [](char c) { return IsLetter(c) || digits::IsDigit(c); };
  bool fits = !key.empty() && lower(key[0]) && !value.empty() && value.front() != '-' && value.back() != '-' &&
              value.find("--") == std::string_view::npos;
  for (const char c : key) fits = fits && (lower(c) || digits::IsDigit(c) || c == '-');
  for (const char c : value) fits = fits && (alphanumeric(c) || c == '-');
  return fits;
}

// Whether a suffix's zone that starts with a sign is an offset, +hh:mm with
// hours 00 to 23 and minutes 00 to 59; its minutes east of UTC into `east`.
bool ReadSuffixOffset(std::string_view zone, std::int64_t& east) {
  std::size_t at = 1;
  int hours = 0;
  int minutes = 0;
  if (zone.size() != sizeof("+hh:mm") - 1 || !TakeDigits<2>(zone, at, hours) || !Take(zone, at, ':') ||
      !TakeDigits<2>(zone, at, minutes) || hours >= kHoursPerDay || minutes >= kMinutesPerHour) {
    return false;
  }
  east = (hours * kMinutesPerHour + minutes) * (zone[0] == '-' ? -1 : 1);
  return true;
}

// The zone that a suffix names: a fixed offset for +hh:mm, else a name.
ZoneLoad LoadSuffixZone(std::string_view zone) {
  std::int64_t east = 0;
  if (zone[0] != '+' && zone[0] != '-') return TryLoadZone(zone);
  ReadSuffixOffset(zone, east);
  return TryFixedOffsetZone(std::chrono::minutes(east));
}

// An RFC 9557 suffix from `at` on: a zone name first if any, then keys;
// u-ca=iso8601 is read, other keys are ignored unless critical ('!'), and a
// key that starts with '_' is refused.
bool ReadSuffix(std::string_view text, std::size_t at, ZonedReading& z) {
  StrictReading& r = z.Strict;
  for (bool first = true; at < text.size(); first = false) {
    if (!Take(text, at, '[')) return r.Refuse(kSuffixExpected, at);
    const bool critical = Take(text, at, '!');
    const std::size_t close = text.find(']', at);
    if (close == std::string_view::npos || close == at) {
      return r.Refuse(kSuffixExpected, close == at ? at : text.size());
    }
    const std::string_view inside = text.substr(at, close - at);
    const std::size_t equals = inside.find('=');
    if (equals == std::string_view::npos) {
      if (!first) return r.Refuse(kSuffixKeyExpected, at, inside.size());
      std::int64_t east = 0;
      if ((inside[0] == '+' || inside[0] == '-') && !ReadSuffixOffset(inside, east)) {
        return r.Refuse(kSuffixOffset, at, inside.size());
      }
      z.ZoneName = inside;
    } else if (inside[0] == '_') {
      return r.Refuse(kSuffixPrivateKey, at);
    } else if (!IsKeyValue(inside, equals)) {
      return r.Refuse(kSuffixKeySyntax, at, inside.size());
    } else if (critical && inside != "u-ca=iso8601") {
      return r.Refuse(kSuffixCriticalKey, at, inside.size());
    }
    at = close + 1;
  }
  return true;
}

ParseResult<ZonedTimestamp> ReadInZone(std::string_view text, Zone zone, Disambiguation rule, ZonedReading& z) {
  StrictReading& r = z.Strict;
  // The shortcut's texts end in a zone, 'Z' or +hh:mm, and have no suffix.
  const bool zone_last = !text.empty() && (IsLetter(text.back()) || IsAt(text, text.size() - 3, ':'));
  if (ZonedTimestamp read{{}, zone, false, false, CivilTimeKind::Unique};
      zone_last && ReadShortcut(text, read.timestamp) == Shortcut::Read) {
    return {read, ParseError::None};
  }
  bool west = false;
  bool zoned = true;
  bool utc = false;
  const std::string_view main = text.substr(0, text.find('['));
  if (!ReadZonedParts(main, r, west, zoned, utc, z.OffsetSeconds) || !ReadSuffix(text, main.size(), z)) {
    return {{}, kErrors.Layout};
  }
  z.In = zone;
  if (!z.ZoneName.empty()) {
    const ZoneLoad load = LoadSuffixZone(z.ZoneName);
    if (!load) {
      z.LoadError = load.error;
      return {{}, kErrors.Zone};
    }
    z.In = load.zone;
  }
  ZonedTimestamp read{{}, z.In, !z.ZoneName.empty(), !zoned, CivilTimeKind::Unique};
  if (!zoned) {
    const CivilFields& f = r.Fields;
    z.Civil = {f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second, f.Nanoseconds};
    const ParseResult<CivilTimeLookup> found = LookUpCivilTime(z.Civil, z.In);
    if (!found) return {{}, found.error};
    const ParseResult<Timestamp> picked = PickInstant(found.value, rule);
    read.timestamp = picked.value;
    read.kind = found.value.kind;
    return {read, picked.error};
  }
  Problem problem = OffsetSeconds(r.OffsetHours, r.OffsetMinutes, west, z.Offset);
  z.Offset += west ? -z.OffsetSeconds : z.OffsetSeconds;
  std::int64_t days = 0;
  if (problem == Problem::None) problem = FormTimestamp(r.Fields, z.Offset, read.timestamp, days);
  const ParseResult<Timestamp> formed = Outcome(r, problem, read.timestamp, kErrors);
  if (!formed) return {{}, formed.error};
  // Z and -00:00 name the instant alone, and never disagree with a zone.
  if (z.ZoneName.empty() || utc || (west && z.Offset == 0)) return {read, ParseError::None};
  z.ZoneOffset = ToCalendarTime(read.timestamp.instant, z.In).tm_gmtoff;
  return z.ZoneOffset == z.Offset ? ParseResult<ZonedTimestamp>{read, ParseError::None}
                                  : ParseResult<ZonedTimestamp>{{}, kErrors.Zone};
}

void AppendZonedMessage(std::string& message, const ZonedReading& z, ParseError error, Disambiguation rule,
                        std::string_view text) {
  const auto tail = {std::string_view(": "), text};
  if (z.LoadError != ZoneError::None) {
    AppendParts(message, {kIso8601StrictHead, ZoneErrorMessage(z.LoadError, z.ZoneName), ": ", text});
  } else if (error >= ParseError::CivilNonexistent && error <= ParseError::CivilOutsideRange) {
    AppendParts(message, {kIso8601StrictHead});
    TryFromCivil(z.Civil, z.In, rule, message);
    AppendParts(message, tail);
  } else if (z.ZoneOffset != z.Offset) {
    char written[sizeof("+00:00:00")];
    char held[sizeof("+00:00:00")];
    AppendParts(message, {kIso8601StrictHead,
                          kOffsetHead,
                          {written, WriteOffset(written, z.Offset, true)},
                          kIsNotOffsetOf,
                          z.In.Name(),
                          kAtThatInstant,
                          {held, WriteOffset(held, z.ZoneOffset, true)},
                          ": ",
                          text});
  } else {
    AppendStrictMessage(message, kIso8601StrictHead, z.Strict, text);
  }
}

}  // namespace
}  // namespace internal

ParseResult<Timestamp> TryFromIso8601Strict(std::string_view text) noexcept {
  ParseResult<Timestamp> read;
  const internal::Shortcut shortcut = internal::ReadShortcut(text, read.value);
  if (shortcut == internal::Shortcut::Read) return read;
  return internal::ReadAfterShortcut(text, shortcut);
}

ParseResult<Timestamp> TryFromIso8601Strict(std::string_view text, std::string& message) {
  Timestamp read;
  const internal::Shortcut shortcut = internal::ReadShortcut(text, read);
  if (shortcut == internal::Shortcut::Read) return {read, ParseError::None};
  internal::StrictReading reading;
  const ParseResult<Timestamp> result =
      internal::ReadIso8601StrictRecord(text, reading, shortcut == internal::Shortcut::Misfit);
  if (!result) internal::AppendStrictMessage(message, internal::kIso8601StrictHead, reading, text);
  return result;
}

}  // namespace orvik::chrono

namespace orvik::chrono {

ParseResult<ZonedTimestamp> TryFromIso8601Strict(std::string_view text, Zone zone, Disambiguation rule) noexcept {
  internal::ZonedReading reading;
  return internal::ReadInZone(text, zone, rule, reading);
}

ParseResult<ZonedTimestamp> TryFromIso8601Strict(std::string_view text, Zone zone, Disambiguation rule,
                                                 std::string& message) {
  internal::ZonedReading reading;
  const ParseResult<ZonedTimestamp> result = internal::ReadInZone(text, zone, rule, reading);
  if (!result) internal::AppendZonedMessage(message, reading, result.error, rule, text);
  return result;
}

}  // namespace orvik::chrono
