// FormatLayout and ToLayout: the calendar fields of a time point's second,
// written step by step as a compiled format lays them out.
#include <orvik/chrono/chrono.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calendar/calendar_time.h"
#include "calendar/convert.h"
#include "civil/names.h"
#include "civil/time_units.h"
#include "layout/program.h"
#include "messages.h"
#include "text/digits.h"

namespace orvik::chrono {
namespace internal::layout {
namespace {

// The second that holds a time point, as calendar time in a zone.
struct Moment {
  std::tm Fields;
  std::int64_t Seconds;  // since the epoch, floored
  int Nanoseconds;       // since that second's start
  bool Utc;              // %Z writes "UTC"
};

// Room that every step but a literal and a zone name fits in.
constexpr std::size_t kStepRoom = 24;
static_assert(kStepRoom >= sizeof("-9223372037") && kStepRoom >= 10 + 1, "a step and its byte after");

// Writes `value` (0 to 9999) in `width` places padded as `pad` says.
char* WriteNumber(char* out, unsigned value, unsigned width, Pad pad) {
  if (pad == Pad::Zero && width == 2 && value < 100) return digits::WriteTwo(out, value);
  const unsigned count = value < 10 ? 1 : value < 100 ? 2 : value < 1000 ? 3 : 4;
  if (pad != Pad::None) {
    for (unsigned i = count; i < width; ++i) *out++ = pad == Pad::Zero ? '0' : ' ';
  }
  if (count == 4) return digits::WriteFour(out, value);
  if (count == 3) {
    *out++ = static_cast<char>('0' + value / 100);
    return digits::WriteTwo(out, value % 100);
  }
  if (count == 2) return digits::WriteTwo(out, value);
  *out = static_cast<char>('0' + value);
  return out + 1;
}

// +hhmm or +hh:mm, and the seconds where the offset has them.
char* WriteOffsetOf(char* out, long offset, bool colon) {
  const long size = offset < 0 ? -offset : offset;
  *out++ = offset < 0 ? '-' : '+';
  out = digits::WriteTwo(out, static_cast<unsigned>(size / kSecondsPerHour % 100));
  if (colon) *out++ = ':';
  out = digits::WriteTwo(out, static_cast<unsigned>(size / kSecondsPerMinute % kMinutesPerHour));
  if (size % kSecondsPerMinute != 0) {
    if (colon) *out++ = ':';
    out = digits::WriteTwo(out, static_cast<unsigned>(size % kSecondsPerMinute));
  }
  return out;
}

// The names padded to ten bytes, so that each is copied as one block.
template <std::size_t kCount>
constexpr std::array<std::array<char, 10>, kCount> Padded(const std::string_view (&names)[kCount]) {
  std::array<std::array<char, 10>, kCount> padded{};
  for (std::size_t i = 0; i < kCount; ++i) std::copy(names[i].begin(), names[i].end(), padded.at(i).begin());
  return padded;
}
constexpr auto kWeekdays = Padded(kWeekdayNames);
constexpr auto kMonths = Padded(kMonthNames);

template <std::size_t kCount>
char* WriteName(char* out, const std::string_view (&names)[kCount],
                const std::array<std::array<char, 10>, kCount>& padded, int index, bool whole) {
  const auto i = static_cast<std::size_t>(index);
  std::memcpy(out, padded[i].data(), padded[i].size());
  return out + (whole ? names[i].size() : kAbbreviationLength);
}

// Writes a step other than a literal and a zone name, at most kStepRoom
// characters.
[[gnu::always_inline]] inline char* WriteStep(char* out, const Step& step, const Moment& m) {
  const std::tm& tm = m.Fields;
  const auto number = [&](int value) {
    return WriteNumber(out, static_cast<unsigned>(value), step.Width, step.Padding);
  };
  switch (step.Kind) {
    case Op::Year:
      return number(tm.tm_year + 1900);
    case Op::Century:
      return number((tm.tm_year + 1900) / 100);
    case Op::YearOfCentury:
      return number((tm.tm_year + 1900) % 100);
    case Op::Month:
      return number(tm.tm_mon + 1);
    case Op::Day:
      return number(tm.tm_mday);
    case Op::DayOfYear:
      return number(tm.tm_yday + 1);
    case Op::Hour:
      return number(tm.tm_hour);
    case Op::Hour12:
      return number(tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12);
    case Op::Minute:
      return number(tm.tm_min);
    case Op::Second:
      return number(tm.tm_sec);
    case Op::Epoch:
      return std::to_chars(out, out + kStepRoom, m.Seconds).ptr;
    case Op::Fraction: {
      auto value = static_cast<unsigned>(m.Nanoseconds);
      for (unsigned i = step.Width; i < 9; ++i) value /= 10;
      for (unsigned i = step.Width; i-- > 0; value /= 10) out[i] = static_cast<char>('0' + value % 10);
      return out + step.Width;
    }
    case Op::AmPm:
      *out++ = tm.tm_hour < 12 ? 'A' : 'P';
      *out = 'M';
      return out + 1;
    case Op::WeekdayName:
      return WriteName(out, kWeekdayNames, kWeekdays, tm.tm_wday, step.Whole);
    case Op::MonthName:
      return WriteName(out, kMonthNames, kMonths, tm.tm_mon, step.Whole);
    case Op::Offset:
      return WriteOffsetOf(out, tm.tm_gmtoff, step.Whole);
    case Op::Literal:
    case Op::Space:
    case Op::ZoneName:
      break;
  }
  return out;
}

// Copies `text` to `out` where it fits before `end`.
char* Put(char* out, const char* end, std::string_view text) {
  if (static_cast<std::size_t>(end - out) < text.size()) return nullptr;
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// Writes a directive's step and the byte after it, at most kStepRoom
// characters.
[[gnu::always_inline]] inline char* WriteDirective(char* out, const Step& step, const Moment& m) {
  out = WriteStep(out, step, m);
  *out = step.Then;
  return out + (step.Then != '\0' ? 1 : 0);
}

// Writes a text of the format's shape: the template, then each field at its
// place.
char* WriteShape(char* out, std::size_t size, const Program& p, const Moment& m) {
  const Shape& shape = p.Fixed;
  if (size >= kMaxShapeSize) {
    std::memcpy(out, shape.Template.data(), kMaxShapeSize);  // one block of a size known here
  } else {
    std::memcpy(out, shape.Template.data(), shape.Size);
  }
  for (const Slot& slot : shape.Slots) {
    char* const at = out + slot.At;
    const auto field = [&m, &slot] { return static_cast<unsigned>(m.Fields.*slot.Member + slot.Add); };
    if (slot.How == Fill::Two) {  // most fields: tested first, before the switch's table
      digits::WriteTwo(at, field());
      continue;
    }
    switch (slot.How) {
      case Fill::Two:
        digits::WriteTwo(at, field());
        break;
      case Fill::Four:
        digits::WriteFour(at, field());
        break;
      case Fill::Weekday:
        std::memcpy(at, kWeekdays[static_cast<std::size_t>(m.Fields.tm_wday)].data(), kAbbreviationLength);
        break;
      case Fill::Month:
        std::memcpy(at, kMonths[static_cast<std::size_t>(m.Fields.tm_mon)].data(), kAbbreviationLength);
        break;
      case Fill::Offset: {  // whole minutes, under 24 hours: the shape's condition
        if (m.Utc && slot.Whole) {
          std::memcpy(at, "+00:00", sizeof("+00:00") - 1);
          break;
        }
        if (m.Utc) {
          std::memcpy(at, "+0000", sizeof("+0000") - 1);
          break;
        }
        const long offset = m.Fields.tm_gmtoff;
        const auto minutes = static_cast<unsigned>((offset < 0 ? -offset : offset) / kSecondsPerMinute);
        at[0] = offset < 0 ? '-' : '+';
        const bool colon = slot.Whole;
        digits::WriteTwo(at + 1, minutes / kMinutesPerHour);
        at[3] = ':';  // overwritten by the minutes where there is no colon
        digits::WriteTwo(at + 3 + (colon ? 1 : 0), minutes % kMinutesPerHour);
        break;
      }
      case Fill::Step:
        WriteStep(at, p.Steps[slot.Step], m);
        break;
    }
  }
  return out + shape.Size;
}

// Writes the text of `m` to `out`, `size` characters at most; nullptr where
// it does not fit.
char* Write(char* out, std::size_t size, const Layout& layout, const Moment& m) {
  const Program& p = layout.Program() == nullptr ? EmptyProgram() : *layout.Program();
  const char* const end = out + size;
  // An offset with seconds, or of a day or more (a TZ rule may say so), is
  // wider than its slot.
  constexpr long kDay = 24 * kSecondsPerHour;
  const long offset = m.Fields.tm_gmtoff;
  if (const Shape& shape = p.Fixed;
      shape.Fixed && size >= shape.Size &&
      (m.Utc || !p.Has(kOffset) || (offset % kSecondsPerMinute == 0 && offset < kDay && -offset < kDay))) {
    return WriteShape(out, size, p, m);
  }
  for (const Step& step : p.Steps) {
    if (step.Kind == Op::Literal || step.Kind == Op::Space) {
      const std::string_view literal = p.LiteralOf(step);
      if (literal.size() == 1 && out < end) {
        *out++ = literal[0];
        continue;
      }
      out = Put(out, end, literal);
    } else if (step.Kind == Op::ZoneName) {
      const char* const name = m.Utc ? "UTC" : m.Fields.tm_zone;
      out = Put(out, end, name == nullptr ? std::string_view() : std::string_view(name));
      if (out != nullptr && step.Then != '\0') out = Put(out, end, std::string_view(&step.Then, 1));
    } else if (static_cast<std::size_t>(end - out) >= kStepRoom) [[likely]] {
      out = WriteDirective(out, step, m);
    } else {
      char text[kStepRoom];
      out = Put(out, end, {text, static_cast<std::size_t>(WriteDirective(text, step, m) - text)});
    }
    if (out == nullptr) return nullptr;
  }
  return out;
}

}  // namespace
}  // namespace internal::layout

char* FormatLayout(char* out, std::size_t size, TimePoint t, const Layout& layout, Zone zone) noexcept {
  using namespace internal;
  const FlooredTime floored = FloorToSecond(t);
  layout::Moment m;
  m.Seconds = floored.Seconds;
  m.Nanoseconds = static_cast<int>(floored.Nanoseconds);
  m.Utc = zone.Entry() == nullptr;
  if (m.Utc) {
    // %Z writes "UTC" itself: the fields and the offset alone.
    CalendarFields(floored.Seconds, m.Fields);
    m.Fields.tm_gmtoff = 0;
  } else {
    if (CountsLeapSeconds(zone, floored.Seconds)) return nullptr;
    NamedFromSeconds(floored.Seconds, zone, m.Fields);
  }
  return layout::Write(out, size, layout, m);
}

char* FormatLayout(char* out, std::size_t size, TimePoint t, const Layout& layout, TimeZone zone) noexcept {
  using namespace internal;
  const FlooredTime floored = FloorToSecond(t);
  layout::Moment m{{}, floored.Seconds, static_cast<int>(floored.Nanoseconds), zone == TimeZone::UTC};
  if (!TryCalendarTimeOfSecond(floored.Seconds, zone, m.Fields)) return nullptr;
  return layout::Write(out, size, layout, m);
}

namespace {

// The room for any text of `layout`: zone names of any length included.
std::size_t RoomFor(const Layout& layout) {
  constexpr std::size_t kLongestZoneName = 256;
  std::size_t room = std::max(layout.MaxSize(), internal::layout::kMaxShapeSize);
  if (const internal::layout::Program* p = layout.Program(); p != nullptr) {
    for (const internal::layout::Step& step : p->Steps) {
      room += step.Kind == internal::layout::Op::ZoneName ? kLongestZoneName : 0;
    }
  }
  return room;
}

// FormatLayout's text in a string: in the room for any text, which only an
// abbreviation longer than any zone file's may exceed, then in twice it.
// `refused` throws where FormatLayout refuses for another reason than room.
template <typename AnyZone, typename Refused>
std::string TextOf(TimePoint t, const Layout& layout, AnyZone zone, Refused refused) {
  std::string text(RoomFor(layout), '\0');
  for (;;) {
    if (const char* const end = FormatLayout(text.data(), text.size(), t, layout, zone); end != nullptr) {
      text.resize(static_cast<std::size_t>(end - text.data()));
      return text;
    }
    refused();
    text.resize(2 * text.size());
  }
}

}  // namespace

std::string ToLayout(TimePoint t, const Layout& layout, Zone zone) {
  return TextOf(t, layout, zone, [&] {
    if (internal::CountsLeapSeconds(zone, internal::FloorToSecond(t).Seconds)) {
      internal::ThrowMessage<std::invalid_argument>({internal::kZoneHead, zone.Name(), internal::kLayoutLeapSeconds});
    }
  });
}

std::string ToLayout(TimePoint t, const Layout& layout, TimeZone zone) {
  return TextOf(t, layout, zone, [&] {
    std::tm tm;
    if (!internal::TryCalendarTimeOfSecond(internal::FloorToSecond(t).Seconds, zone, tm)) {
      internal::ThrowNoCalendarTime(zone);
    }
  });
}

}  // namespace orvik::chrono
