// TryFromCivil's face with a message: what the refusal found, in words.
#include <orvik/chrono/chrono.h>

#include <cstdio>
#include <string>

#include "civil/instant.h"
#include "messages.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace {

// "2024-03-10 02:30:00", and ".000000001" where the nanosecond is not 0.
std::string Shown(const CivilTime& t) {
  char text[sizeof("-2147483648-2147483648-2147483648 -2147483648:-2147483648:-2147483648.-2147483648")];
  int size = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                           t.second);
  if (t.nanosecond != 0) {
    size += std::snprintf(text + size, sizeof text - static_cast<std::size_t>(size), ".%09d", t.nanosecond);
  }
  return {text, static_cast<std::size_t>(size)};
}

std::string Offset(std::chrono::seconds offset) {
  char text[sizeof("+00:00:00")];
  return {text, internal::WriteOffset(text, offset.count(), true)};
}

void AppendCivilMessage(std::string& message, ParseError error, const CivilTime& t, Zone zone) {
  using namespace internal;
  const CivilFields f{t.year, t.month, t.day, t.hour, t.minute, t.second, t.nanosecond};
  if (error == ParseError::CivilNonexistent) {
    const Problem problem = CheckFields(f);
    AppendParts(message, {FieldMessage(problem == Problem::None ? Problem::Second : problem, f)});
    return;
  }
  const ParseResult<CivilTimeLookup> lookup = LookUpCivilTime(t, zone);
  const CivilTimeLookup& found = lookup.value;
  if (error == ParseError::CivilSkipped && lookup) {
    AppendParts(message, {Shown(t), kDoesNotExistIn, zone.Name(), kSkippedFrom, Offset(found.before.offset), kSkippedTo,
                          Offset(found.after.offset)});
  } else if (error == ParseError::CivilRepeated && lookup) {
    AppendParts(message, {Shown(t), kOccursTwiceIn, zone.Name(), kOccursAt, Offset(found.before.offset), kAndAt,
                          Offset(found.after.offset)});
  } else {
    AppendParts(message, {Shown(t), kCivilIn, zone.Name(), ": ", kStrictOutsideRange});
  }
}

}  // namespace

ParseResult<Timestamp> TryFromCivil(const CivilTime& time, Zone zone, Disambiguation disambiguation,
                                    std::string& message) {
  const ParseResult<Timestamp> result = TryFromCivil(time, zone, disambiguation);
  if (!result) AppendCivilMessage(message, result.error, time, zone);
  return result;
}

}  // namespace orvik::chrono
