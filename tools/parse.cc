// parse: what the library reads from each text, field by field.
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

#include "commands.h"
#include "exact_reading.h"
#include "refusals.h"
#include "text_layout.h"

namespace orvik::chrono::cli {
namespace {

void AppendLine(std::string& out, const char* label, std::string_view value) {
  out.append(label).append(sizeof("calendar     ") - 1 - std::string_view(label).size(), ' ');
  out.append(value) += '\n';
}

void AppendCalendar(std::string& out, const std::tm& tm) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  char line[160];
  std::snprintf(line, sizeof(line), "%04d-%02d-%02d %02d:%02d:%02d %s, day %d of the year, isdst %d, UTC%+ld s, %s",
                tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                tm.tm_wday >= 0 && tm.tm_wday < 7 ? kDays[tm.tm_wday] : "?", tm.tm_yday + 1, tm.tm_isdst, tm.tm_gmtoff,
                tm.tm_zone == nullptr ? "" : tm.tm_zone);
  AppendLine(out, "calendar", line);
}

// The instant that convert writes for `text` (without --lenient), or why it
// refuses the text.
std::string WhatConvertWrites(std::string_view text, InputKind kind) {
  ExactScratch scratch;
  const Reading<TimePoint> read = ReadExactly(text, kind, scratch);
  std::string written;
  if (read) {
    AppendInstant(written, read.Value, OutputFormat::IsoNs, TimeZone::UTC);
  } else {
    AppendEscaped(written.append("refused: "), ExactRefusalMessage(read, text, scratch));
  }
  return written;
}

// Appends what the library reads from `text`, or why it refuses it to `refusal`.
bool AppendParsed(std::string& out, std::string& refusal, const std::string& text, InputKind kind, TimeZone zone) {
  const Reading<TimePoint> read = ReadInstant(text, kind);
  if (!read) {
    refusal = RefusalMessage(read, text);
    return false;
  }
  const TimePoint t = read.Value;
  std::string offset;
  if (kind == InputKind::Iso) {
    char minutes_text[32];
    const auto minutes = static_cast<long long>(SplitIso(text).Value.second.count());
    std::snprintf(minutes_text, sizeof minutes_text, "%+lld minutes", minutes);
    offset = minutes_text;
  }
  const std::tm calendar = ToCalendarTime(SecondShown(t), zone);
  const TextLayout layout = FindLayout(text, kind);
  std::string utc;
  AppendInstant(utc, t, OutputFormat::IsoNs, TimeZone::UTC);
  AppendLine(out, "text", EscapeControlBytes(text));
  AppendLine(out, "layout", layout.Name);
  if (!layout.Ignored.empty()) AppendLine(out, "ignored", '"' + EscapeControlBytes(layout.Ignored) + '"');
  AppendLine(out, "nanoseconds", std::to_string(t.time_since_epoch().count()));
  AppendLine(out, "utc", utc);
  if (!offset.empty()) AppendLine(out, "offset", offset);
  AppendCalendar(out, calendar);
  AppendLine(out, "convert", WhatConvertWrites(text, kind));
  return true;
}

}  // namespace

int Parse(const Options& options) {
  bool first = true;
  return ForEachText(options.Texts, [&](const std::string& text, std::string& out, std::string& refusal) {
    std::string parsed = first ? "" : "\n";
    if (!AppendParsed(parsed, refusal, text, options.From == InputKind::Auto ? DetectKind(text) : options.From,
                      options.Zone)) {
      return false;
    }
    out += parsed;
    first = false;
    return true;
  });
}

}  // namespace orvik::chrono::cli
