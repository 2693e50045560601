// TryFromIso8601Strict on arbitrary bytes, alone and cut from a longer
// buffer: every refusal must carry its message; an accepted text must be the
// text that FormatIso8601 writes of its instant at its offset, put in the
// text's own layout (basic or extended, its separator, its decimal sign and
// fraction length, its zone's letter or offset form), second 60 only as a
// leap second; and TrySplitIso8601 must read it alike where the header says,
// and so must the reading in a zone, whose texts with a zone's name are read
// back alike once written with it.
#include <orvik/chrono/chrono.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "strict_checks.h"

namespace orvik::chrono::fuzz {
namespace {

// The layout of an accepted text, told by its punctuation.
struct TextShape {
  bool Extended;
  char Separator;                // 'T', 't' or ' '
  std::string_view DecimalSign;  // "", "." or ","
  std::string_view Fraction;     // its digits
  std::string_view Zone;         // "Z", "z", " UTC" or an offset
};

TextShape ShapeOf(std::string_view text) {
  if (text.size() < sizeof("20240305T070809Z") - 1) Fail("an accepted text too short for its fields", text);
  const bool extended = text[4] == '-';
  const std::size_t date_size = extended ? sizeof("2024-03-05") - 1 : sizeof("20240305") - 1;
  const std::size_t seconds_end = date_size + (extended ? sizeof("T07:08:09") : sizeof("T070809")) - 1;
  std::size_t zone = seconds_end;
  if (text[zone] == '.' || text[zone] == ',') {
    ++zone;
    while (zone < text.size() && text[zone] >= '0' && text[zone] <= '9') ++zone;
  }
  if (zone - seconds_end > 10) Fail("a fraction of more than nine digits", text);
  const std::size_t fraction = std::min(seconds_end + 1, zone);
  return {extended, text[date_size], text.substr(seconds_end, fraction - seconds_end),
          text.substr(fraction, zone - fraction), text.substr(zone)};
}

// "YYYY-MM-DDTHH:MM:SS.nnnnnnnnnZ", as FormatIso8601 writes a UTC time, put in
// `layout`: the fields where it has them, its own fraction's length, and the
// offset `offset` in its zone's form.
std::string InShape(const std::string& written, const TextShape& layout, long offset) {
  constexpr std::size_t kFractionAt = sizeof("2024-03-05T07:08:09.") - 1;
  const std::string_view omitted = std::string_view(written).substr(kFractionAt + layout.Fraction.size(), 9);
  if (omitted.find_first_not_of("0Z") != std::string_view::npos) return "(digits beyond the fraction)";
  std::string text = written.substr(0, kFractionAt - 1);
  text[sizeof("2024-03-05") - 1] = layout.Separator;
  if (!layout.Extended) std::erase_if(text, [](char c) { return c == '-' || c == ':'; });
  text.append(layout.DecimalSign).append(written, kFractionAt, layout.Fraction.size());
  const std::string_view zone = layout.Zone;
  if (zone == "Z" || zone == "z" || zone == " UTC") return offset == 0 ? text.append(zone) : "(an offset)";
  char sign = offset < 0 ? '-' : '+';
  if (offset == 0) sign = zone[0];
  const std::chrono::seconds seconds(offset);
  if (offset % 60 != 0 || std::labs(offset) >= 86400) return "(an offset of seconds or of a day)";
  if (zone.size() == sizeof("+hh:mm") - 1) return text.append(OffsetText(seconds, sign, ":"));
  if (zone.size() == sizeof("+hhmm") - 1) return text.append(OffsetText(seconds, sign));
  return offset % 3600 == 0 ? text.append(OffsetText(seconds, sign, {}, true)) : "(offset minutes)";
}

void CheckAccepted(const Timestamp& read, std::string_view text) {
  const TextShape layout = ShapeOf(text);
  const std::optional<TimePoint> local = Local(read);
  if (!local) return;  // the local time lies beyond the time points: no writer shows it
  std::string written(kMaxIso8601Size, '\0');
  const char* end = FormatIso8601(written.data(), *local, Iso8601Format::ExtendedNanoseconds, TimeZone::UTC);
  written.resize(static_cast<std::size_t>(end - written.data()));
  const bool leap =
      text.substr(layout.Extended ? sizeof("2024-03-05T07:08:") - 1 : sizeof("20240305T0708") - 1, 2) == "60";
  if (leap && !IsLeapSecondReading(read.instant)) Fail("second 60 read as another instant", text);
  if (leap) {
    // Second 60 with any fraction: its digits are the text's own.
    constexpr std::size_t kSecondsAt = sizeof("2024-03-05T07:08:") - 1;
    written = AtSecond60(written, kSecondsAt)
                  .replace(kSecondsAt + 3, 9, std::string(layout.Fraction).append(9 - layout.Fraction.size(), '0'));
  }
  const std::string expected = InShape(written, layout, read.offset.count());
  if (expected != text) Fail("the text is not what the writer writes of its reading", text, expected);

  // The lenient reader reads a ',' fraction and second 60 otherwise.
  const bool own_offset = layout.Zone == "Z" || layout.Zone.size() == (layout.Extended ? 6 : 5);
  const std::size_t digits = layout.Fraction.size();
  if (leap || layout.Separator != 'T' || !own_offset || digits % 3 != 0 || layout.DecimalSign == "," ||
      std::atoi(std::string(text.substr(0, 4)).c_str()) < 1900) {
    return;
  }
  const auto lenient = TrySplitIso8601(text);
  if (!lenient || lenient.value.first != read.instant || lenient.value.second.count() * 60 != read.offset.count()) {
    Fail("TrySplitIso8601 reads the text otherwise", text);
  }
}

// Whether `text` has the one layout that the writer with a zone name gives:
// nine digits of a fraction, a numeric offset other than -00:00 and the
// zone's name alone, not critical; a leap second is read as the last
// nanosecond before it, which the writer writes as such.
bool IsWrittenLayout(std::string_view text) {
  constexpr std::string_view kLayout = "yyyy-mm-ddThh:mm:ss.fffffffff+hh:mm[";
  if (text.size() <= kLayout.size() || text[4] != '-' || text[10] != 'T' || text[19] != '.') return false;
  if (text.substr(kLayout.find("ss"), 2) == "60") return false;
  const std::string_view offset = text.substr(kLayout.find('+'), sizeof("+hh:mm") - 1);
  return (offset[0] == '+' || (offset[0] == '-' && offset != "-00:00")) &&
         text.find_first_not_of("0123456789", 20) == kLayout.find('+') && text[kLayout.size() - 1] == '[' &&
         text[kLayout.size()] != '!' && text.find('[', kLayout.size()) == std::string_view::npos;
}

// A text read with a zone named in its suffix, written with the zone's name,
// reads back to its instant and zone, and is the text where it has the
// writer's layout; only a zone that counts leap seconds is not written.
void CheckWrittenWithZone(std::string_view text, const ZonedTimestamp& read) {
  char buffer[kMaxIso8601WithZoneNameSize];
  const char* const end =
      FormatIso8601WithZoneName(buffer, read.timestamp.instant, Iso8601Format::ExtendedNanoseconds, read.zone);
  // No text of a zone that counts leap seconds names the instant.
  if (end == nullptr && read.zone.Name().starts_with("right/")) return;
  if (end == nullptr) Fail("a suffix's zone that the writer cannot name", text);
  const std::string_view written(buffer, static_cast<std::size_t>(end - buffer));
  const ParseResult<ZonedTimestamp> again = TryFromIso8601Strict(written, Zone::Utc(), Disambiguation::Reject);
  if (!again || again.value.timestamp.instant != read.timestamp.instant || again.value.zone != read.zone) {
    Fail("the text written with its zone's name reads otherwise", text, written);
  }
  if (IsWrittenLayout(text) && written != text) Fail("a text in the writer's layout written otherwise", text);
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvik::chrono;
  using namespace orvik::chrono::fuzz;
  CheckReading(
      Alone(std::string_view(reinterpret_cast<const char*>(data), size)),
      [](std::string_view text) { return TryFromIso8601Strict(text); }, CheckAccepted,
      {ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictNonexistent, ParseError::Iso8601StrictOffset,
       ParseError::Iso8601StrictOutsideRange},
      "Not an ISO 8601 timestamp, ");
  // The reading in a zone reads every text that the plain reader accepts
  // alike, and says each refusal after the same head.
  const Alone text(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string message;
  const ParseResult<ZonedTimestamp> zoned =
      TryFromIso8601Strict(text.View(), Zone::Utc(), Disambiguation::Reject, message);
  const ParseResult<Timestamp> plain = TryFromIso8601Strict(text.View());
  if (plain && (!zoned || !(zoned.value.timestamp == plain.value))) {
    Fail("the reading in a zone reads it otherwise", text.View());
  }
  if (!zoned && !message.starts_with("Not an ISO 8601 timestamp, ")) {
    Fail("undocumented message in a zone", text.View(), message);
  }
  if (zoned && zoned.value.zone_named) CheckWrittenWithZone(text.View(), zoned.value);
  return 0;
}
