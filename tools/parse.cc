// parse: what the library reads from each text, field by field.
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <exception>
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
std::string WhatConvertWrites(const std::string& text, InputKind kind) {
  std::string scratch;
  std::string written;
  try {
    AppendInstant(written, ReadExactly(text, kind, scratch), OutputFormat::IsoNs, TimeZone::UTC);
  } catch (const std::exception& e) {
    written = "refused: " + EscapeControlBytes(MessageOf(e));
  }
  return written;
}

void AppendParsed(std::string& out, const std::string& text, InputKind kind, TimeZone zone) {
  TimePoint t;
  std::string offset;
  if (kind == InputKind::Iso) {
    const auto [instant, minutes] = SplitIso(text);
    t = instant;
    char minutes_text[32];
    std::snprintf(minutes_text, sizeof minutes_text, "%+lld minutes", static_cast<long long>(minutes.count()));
    offset = minutes_text;
  } else {
    t = ReadInstant(text, kind);
  }
  const std::tm calendar = ToCalendarTime(t, zone);
  const internal::TextLayout layout = internal::FindLayout(text, kind);
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
}

}  // namespace

int Parse(const Options& options) {
  bool first = true;
  return ForEachText(options.Texts, [&](const std::string& text, std::string& out) {
    std::string parsed = first ? "" : "\n";
    AppendParsed(parsed, text, options.From == InputKind::Auto ? DetectKind(text) : options.From, options.Zone);
    out += parsed;
    first = false;
  });
}

}  // namespace orvik::chrono::cli
