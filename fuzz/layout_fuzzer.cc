// Layouts by format string on arbitrary bytes: a format, a NUL, then a text
// (without a NUL the whole input is the format and the text is empty).
// - A format is compiled, or refused with a message that CompileLayout
//   throws after "Not a format, ".
// - Each instant that the bytes name (and the edges of the range), written
//   in UTC, in Europe/Berlin, in a fixed offset and in the process's zone,
//   fits in MaxSize(), and only there; ToLayout writes the same text, and
//   TimeZone::UTC the same as Zone::Utc().
// - The text is read in UTC and in Europe/Berlin, with and without a
//   reference instant, alone and cut from a longer buffer, with and without
//   a message: the readings agree, each refusal's message is "Not a date of
//   format '" + format + "', " + a detail + ": " + the text, and an
//   accepted text names its instant as the header says.
// - Every instant read, and those named, written with the layout and read
//   back in the same zone: where the layout holds every field of the
//   instant in that zone (the fields it leaves out are zero, its year is
//   whole), the text reads back to a text written the same, and to the same
//   instant unless the text names no offset and the zone shows it twice.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "civil/time_units.h"
#include "strict_checks.h"

namespace orvik::chrono::fuzz {
namespace {

using internal::kNanosecondsPerSecond;
constexpr std::int64_t kNanosecondsPerDay = std::int64_t{86400} * kNanosecondsPerSecond;

// What a compiled format holds, from its directives; flags and widths as
// TryCompileLayout accepted them.
struct Fields {
  bool FullYear = false;   // %Y, %F
  bool Century = false;    // %C
  bool ShortYear = false;  // %y, %D
  bool DayOfYear = false;
  bool Hour = false;  // %H, %T, %R, or %I with %p
  bool Minute = false;
  bool Second = false;
  int FractionDigits = 0;
  bool Epoch = false;         // %s
  bool Offset = false;        // %z, %:z
  bool Abbreviation = false;  // %Z
  // A directive that reads on past what it writes, followed by what may
  // continue it: digits after %s, %f, %z, %e or a '-' or '_' flag, ':' after
  // %:z, letters after %Z or an abbreviated name ("%bs" writes "Juns", which
  // reads as June then 's'). The text written may read as other fields, or
  // not at all.
  bool RunsOn = false;

  // Whether it reads an instant without a reference.
  [[nodiscard]] bool Year() const { return FullYear || ShortYear || Epoch; }
};

Fields FieldsOf(std::string_view format) {
  Fields fields;
  bool hour12 = false;
  bool am_pm = false;
  // Of what an item writes first, and of what it reads on.
  constexpr unsigned kDigit = 1;
  constexpr unsigned kLetter = 2;
  constexpr unsigned kColon = 4;
  unsigned run_on = 0;
  const auto next = [&](unsigned starts_with, unsigned runs_on) {
    fields.RunsOn = fields.RunsOn || (run_on & starts_with) != 0;
    run_on = runs_on;
  };
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      const char c = format[i];
      const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
      next(c >= '0' && c <= '9' ? kDigit : (letter ? kLetter : (c == ':' ? kColon : 0)), 0);
      continue;
    }
    char flag = 0;
    int width = 0;
    char directive = format[++i];
    if (directive == '-' || directive == '_' || directive == '0') {
      flag = directive;
      directive = format[++i];
    }
    if (directive >= '1' && directive <= '9') {
      width = directive - '0';
      directive = format[++i];
    } else if (directive == ':') {
      flag = directive;
      directive = format[++i];
    }
    const auto among = [directive](std::string_view letters) {
      return letters.find(directive) != std::string_view::npos;
    };
    const bool digits = among("YCymdejHIMSNfsFTDR");
    // A space-padded number after white space of the format reads as one
    // without its padding, which the format's white space took.
    unsigned runs_on = digits && (flag == '-' || flag == '_' || among("fse")) ? kDigit : (among("abhZ") ? kLetter : 0);
    if (directive == 'z') runs_on = flag == ':' ? kColon : kDigit;
    next(digits ? kDigit : (among("aAbBhpZ") ? kLetter : 0), runs_on);
    fields.FullYear = fields.FullYear || among("YF");
    fields.Century = fields.Century || directive == 'C';
    fields.ShortYear = fields.ShortYear || among("yD");
    fields.DayOfYear = fields.DayOfYear || directive == 'j';
    fields.Hour = fields.Hour || among("HTR");
    fields.Minute = fields.Minute || among("MTR");
    fields.Second = fields.Second || among("ST");
    if (directive == 'N') fields.FractionDigits = width == 0 ? 9 : width;
    if (directive == 'f') fields.FractionDigits = 6;
    fields.Epoch = fields.Epoch || directive == 's';
    fields.Offset = fields.Offset || directive == 'z';
    fields.Abbreviation = fields.Abbreviation || directive == 'Z';
    hour12 = hour12 || directive == 'I';
    am_pm = am_pm || directive == 'p';
  }
  fields.Hour = fields.Hour || (hour12 && am_pm);
  return fields;
}

// A 64-bit stream drawn from the input's bytes, so that a run tries the same
// instants for the same input.
class Draws {
 public:
  explicit Draws(std::string_view bytes) {
    for (const char c : bytes) state_ = (state_ ^ static_cast<unsigned char>(c)) * 0x100000001b3;
  }
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
    z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
    return z ^ (z >> 31);
  }

 private:
  std::uint64_t state_ = 0xcbf29ce484222325;
};

TimePoint At(std::int64_t nanoseconds) { return TimePoint(std::chrono::nanoseconds(nanoseconds)); }

std::int64_t Count(TimePoint t) { return t.time_since_epoch().count(); }

// The nanoseconds of `t` past a multiple of `unit` since the epoch.
std::int64_t Past(TimePoint t, std::int64_t unit) { return (Count(t) % unit + unit) % unit; }

Zone Berlin() {
  static const Zone zone = LoadZone("Europe/Berlin");
  return zone;
}

// Fixed offsets: half an hour east, with seconds (Amsterdam's before 1937),
// the farthest west.
Zone FixedZone(std::uint64_t draw) {
  static const std::vector<Zone> zones = [] {
    std::vector<Zone> made;
    for (const long seconds : {19800L, 1172L, -86399L}) {
      made.push_back(TryFixedOffsetZone(std::chrono::seconds(seconds)).zone);
    }
    return made;
  }();
  return zones[draw % zones.size()];
}

std::string Written(TimePoint t, const Layout& layout, Zone zone) {
  std::string text(layout.MaxSize(), '\0');
  const char* end = FormatLayout(text.data(), text.size(), t, layout, zone);
  if (end == nullptr) Fail("FormatLayout wrote nothing in a zone without leap seconds", layout.Format());
  text.resize(static_cast<std::size_t>(end - text.data()));
  return text;
}

// Writes `t` into a buffer of exactly MaxSize() bytes, and into one a byte
// too short for the text, which must be refused.
template <typename AnyZone>
std::optional<std::string> CheckWriting(TimePoint t, const Layout& layout, AnyZone zone) {
  const std::size_t size = layout.MaxSize();
  const std::unique_ptr<char[]> buffer(new char[size]);
  const char* end = FormatLayout(buffer.get(), size, t, layout, zone);
  if (end == nullptr) return std::nullopt;
  const auto written = static_cast<std::size_t>(end - buffer.get());
  if (written > size) Fail("a text longer than MaxSize()", layout.Format(), std::to_string(written));
  std::string text(buffer.get(), written);
  if (written > 0) {
    const std::unique_ptr<char[]> short_buffer(new char[written - 1]);
    if (FormatLayout(short_buffer.get(), written - 1, t, layout, zone) != nullptr) {
      Fail("a text written into a buffer too short for it", layout.Format(), text);
    }
  }
  std::string to_layout;
  try {
    to_layout = ToLayout(t, layout, zone);
  } catch (const std::exception& e) {
    Fail("ToLayout threw where FormatLayout wrote", layout.Format(), e.what());
  }
  if (to_layout != text) Fail("ToLayout writes otherwise than FormatLayout", layout.Format(), to_layout);
  return text;
}

struct Reading {
  Zone In;
  std::optional<TimePoint> Reference;
};

ParseResult<ZonedTimestamp> Read(std::string_view text, const Layout& layout, const Reading& reading,
                                 Disambiguation rule = Disambiguation::Compatible) {
  return reading.Reference ? TryFromLayout(text, layout, reading.In, rule, *reading.Reference)
                           : TryFromLayout(text, layout, reading.In, rule);
}

ParseResult<ZonedTimestamp> Read(std::string_view text, const Layout& layout, const Reading& reading,
                                 std::string& message) {
  return reading.Reference
             ? TryFromLayout(text, layout, reading.In, Disambiguation::Compatible, *reading.Reference, message)
             : TryFromLayout(text, layout, reading.In, Disambiguation::Compatible, message);
}

bool Same(const ParseResult<ZonedTimestamp>& a, const ParseResult<ZonedTimestamp>& b) {
  return a.error == b.error && a.value.timestamp == b.value.timestamp && a.value.zone == b.value.zone &&
         a.value.zone_named == b.value.zone_named && a.value.wall_clock == b.value.wall_clock &&
         a.value.kind == b.value.kind;
}

bool IsLayoutRefusal(ParseError error) {
  switch (error) {
    case ParseError::LayoutMismatch:
    case ParseError::LayoutNonexistent:
    case ParseError::LayoutWeekday:
    case ParseError::LayoutZone:
    case ParseError::LayoutOutsideRange:
    case ParseError::LayoutIncomplete:
    case ParseError::CivilNonexistent:
    case ParseError::CivilSkipped:
    case ParseError::CivilRepeated:
    case ParseError::CivilOutsideRange:
      return true;
    default:
      return false;
  }
}

void CheckMessage(std::string_view text, const Layout& layout, const std::string& message, ParseError error) {
  if (!IsLayoutRefusal(error)) Fail("a refusal of another reader", text, std::to_string(static_cast<int>(error)));
  const std::string head = "Not a date of format '" + std::string(layout.Format()) + "', ";
  const std::string tail = ": " + std::string(text);
  if (message.size() <= head.size() + tail.size() || !message.starts_with(head) || !message.ends_with(tail)) {
    Fail("the message is not its head, a detail, ': ' and the text", text, message);
  }
  if (ErrorMessage(error, text).empty()) Fail("ErrorMessage says nothing", text);
}

// The year that a layout without one reads the wall-clock time `time` in,
// as the header words it: the reference's year in the zone, or the one
// before where the time would be more than a day after the reference.
std::optional<int> YearFromReference(CivilTime time, Zone zone, TimePoint reference) {
  time.year = ToCalendarTime(reference, zone).tm_year + 1900;
  const ParseResult<Timestamp> in_year = TryFromCivil(time, zone, Disambiguation::Compatible);
  if (!in_year) return std::nullopt;
  const bool after = Count(in_year.value.instant) > Count(reference) &&
                     Count(in_year.value.instant) - Count(reference) > kNanosecondsPerDay;
  return after ? time.year - 1 : time.year;
}

// Whether the text of `t` in `zone` holds all of it: each field that the
// layout leaves out is zero there, the fraction's digits hold its
// nanoseconds, and the year reads back.
bool Holds(const Fields& fields, TimePoint t, Zone zone, const std::optional<TimePoint>& reference) {
  if (fields.RunsOn) return false;
  std::int64_t unit = 1;
  for (int i = fields.FractionDigits; i < 9; ++i) unit *= 10;
  const std::int64_t nanoseconds = Past(t, kNanosecondsPerSecond);
  if (nanoseconds % unit != 0) return false;
  if (fields.Epoch) return true;
  const std::tm tm = ToCalendarTime(t, zone);
  if ((!fields.Hour && tm.tm_hour != 0) || (!fields.Minute && tm.tm_min != 0) || (!fields.Second && tm.tm_sec != 0)) {
    return false;
  }
  const int year = tm.tm_year + 1900;
  if (fields.FullYear || (fields.Century && fields.ShortYear)) return true;
  if (fields.ShortYear) return year >= 1969 && year <= 2068;
  // Without a year: wall-clock time by month and day alone.
  if (!reference || fields.Offset || fields.Abbreviation || fields.DayOfYear || (tm.tm_mon == 1 && tm.tm_mday == 29)) {
    return false;
  }
  const CivilTime time{
      year, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(nanoseconds)};
  return YearFromReference(time, zone, *reference) == year;
}

// `t` written in `reading.In` and read back: see the top of the file.
void CheckWrittenBack(TimePoint t, const Layout& layout, const Fields& fields, const Reading& reading) {
  if (!Holds(fields, t, reading.In, reading.Reference)) return;
  const std::string written = Written(t, layout, reading.In);
  std::string message;
  const ParseResult<ZonedTimestamp> again = Read(written, layout, reading, message);
  if (!again) Fail("the text of an instant that the layout holds is refused", written, message);
  const TimePoint instant = again.value.timestamp.instant;
  if (Written(instant, layout, reading.In) != written) {
    Fail("a text written reads back to an instant written otherwise", written, layout.Format());
  }
  const bool twice =
      !fields.Offset && !fields.Epoch && (fields.Abbreviation || again.value.kind != CivilTimeKind::Unique);
  if (instant != t && !twice) Fail("a text written reads back to another instant", written, layout.Format());
}

// The readings of `text` in `reading`: see the top of the file.
void CheckReading(const Alone& text, const Layout& layout, const Fields& fields, const std::string& problem,
                  const Reading& reading) {
  const ParseResult<ZonedTimestamp> plain = Read(text.View(), layout, reading);
  // Digits after the view would lengthen a last field.
  const std::string longer = std::string(text.View()) + "0123456789";
  if (!Same(plain, Read(std::string_view(longer.data(), text.View().size()), layout, reading))) {
    Fail("the reading depends on the bytes after the view", text.View());
  }
  std::string message;
  const ParseResult<ZonedTimestamp> told = Read(text.View(), layout, reading, message);
  if (!Same(plain, told)) Fail("the reading with a message reads otherwise", text.View(), message);
  if (!plain) {
    CheckMessage(text.View(), layout, message, plain.error);
    return;
  }
  if (!message.empty()) Fail("an accepted text with a message", text.View(), message);
  if (!problem.empty()) Fail("a layout that cannot read read a text", text.View(), problem);
  if (!fields.Year() && !reading.Reference) Fail("a layout without a year read without a reference", text.View());
  const ZonedTimestamp& value = plain.value;
  if (value.zone != reading.In || value.zone_named) Fail("read in another zone", text.View());
  const bool names_instant = fields.Offset || fields.Abbreviation || fields.Epoch;
  if (value.wall_clock == names_instant) Fail("wall_clock set otherwise", text.View());
  if (names_instant && value.kind != CivilTimeKind::Unique) {
    Fail("a kind for a text that names its instant", text.View());
  }
  if (fields.Epoch && !fields.Offset && !fields.Abbreviation && value.timestamp.offset.count() != 0) {
    Fail("an offset for %s without one", text.View());
  }
  // Reject takes what Compatible finds where the zone shows the time once.
  const ParseResult<ZonedTimestamp> rejecting = Read(text.View(), layout, reading, Disambiguation::Reject);
  if (value.kind == CivilTimeKind::Unique && !Same(rejecting, plain)) {
    Fail("Reject reads a time shown once otherwise", text.View());
  }
  if (value.kind != CivilTimeKind::Unique && rejecting) Fail("Reject accepted a time not shown once", text.View());
  CheckWrittenBack(value.timestamp.instant, layout, fields, reading);
}

void CheckCompiling(std::string_view format, const Layout& layout, bool compiled, const std::string& message) {
  std::string thrown;
  try {
    const Layout again = CompileLayout(format);
    if (again.Format() != format) Fail("CompileLayout keeps another format", format);
  } catch (const std::invalid_argument& e) {
    if (typeid(e) != typeid(std::invalid_argument)) Fail("CompileLayout threw another type", format, e.what());
    thrown = e.what();
  }
  if (!compiled) {
    if (message.empty()) Fail("a format refused without a message", format);
    if (thrown != "Not a format, " + message + ": " + std::string(format)) {
      Fail("CompileLayout throws another message", format, thrown);
    }
    return;
  }
  if (!message.empty()) Fail("a format compiled with a message", format, message);
  if (!thrown.empty()) Fail("CompileLayout refused a format that TryCompileLayout compiled", format, thrown);
  if (layout.Format() != format) Fail("the layout keeps another format", format, layout.Format());
}

void Check(std::string_view bytes) {
  const std::size_t nul = bytes.find('\0');
  const std::string_view format = bytes.substr(0, nul);
  const Alone text(nul == std::string_view::npos ? std::string_view() : bytes.substr(nul + 1));

  Layout layout;
  std::string message;
  const bool compiled = TryCompileLayout(format, layout, message);
  CheckCompiling(format, layout, compiled, message);
  if (!compiled) return;
  const Fields fields = FieldsOf(format);
  const std::string problem = LayoutReadingProblem(layout);

  Draws draws(bytes);
  const TimePoint random = At(static_cast<std::int64_t>(draws.Next()));
  constexpr std::int64_t kYear1970 = 0;
  constexpr std::int64_t kYear2100 = std::int64_t{4102444800} * kNanosecondsPerSecond;
  const TimePoint recent =
      At(static_cast<std::int64_t>(draws.Next() % static_cast<std::uint64_t>(kYear2100)) + kYear1970);
  const TimePoint reference = At(static_cast<std::int64_t>(draws.Next() % static_cast<std::uint64_t>(kYear2100)));
  const Zone fixed = FixedZone(draws.Next());

  // Writing, with the edges of the range.
  const TimePoint instants[] = {TimePoint::min(),
                                TimePoint::max(),
                                TimePoint(),
                                At(-1),
                                random,
                                recent,
                                recent - std::chrono::nanoseconds(Past(recent, kNanosecondsPerSecond)),
                                recent - std::chrono::nanoseconds(Past(recent, 60 * kNanosecondsPerSecond)),
                                recent - std::chrono::nanoseconds(Past(recent, kNanosecondsPerDay))};
  for (const TimePoint t : instants) {
    for (const Zone zone : {Zone::Utc(), Berlin(), fixed}) {
      if (!CheckWriting(t, layout, zone)) Fail("FormatLayout refused a buffer of MaxSize()", format);
    }
    const std::optional<std::string> utc = CheckWriting(t, layout, TimeZone::UTC);
    if (utc != CheckWriting(t, layout, Zone::Utc())) Fail("TimeZone::UTC writes otherwise than Zone::Utc()", format);
    CheckWriting(t, layout,
                 TimeZone::Local);  // nullptr where ToCalendarTime throws
  }

  // Reading, and the instants named written back.
  for (const Zone zone : {Zone::Utc(), Berlin()}) {
    for (const std::optional<TimePoint> given : {std::optional<TimePoint>(), std::optional<TimePoint>(reference)}) {
      const Reading reading{zone, given};
      CheckReading(text, layout, fields, problem, reading);
      if (!problem.empty() || (!fields.Year() && !given)) continue;
      for (const TimePoint t : instants) CheckWrittenBack(t, layout, fields, reading);
    }
  }
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvik::chrono::fuzz::Check(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
