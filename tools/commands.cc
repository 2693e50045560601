// The commands that read their arguments alone, and now: parse, what each text
// is read as, field by field; duration, nanoseconds and seconds of each ISO
// 8601 duration; now, the current time.
#include "commands.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

#include "cli_messages.h"
#include "output.h"

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

// The layout of a text that `read` accepted, by its shape: an ISO 8601 text
// is extended when a '-' follows its year; an HTTP date's weekday ends with a
// space in asctime, with ',' in the others, of which RFC 850 has a '-' in its
// date, before the time. Of a text that a --from-format read, that format.
std::string LayoutName(std::string_view text, const Reading<Timestamp>& read) {
  constexpr std::size_t kYear = sizeof("2024") - 1;
  switch (read.Format) {
    case ReadAs::Iso:
      return text.size() > kYear && text[kYear] == '-' ? "ISO 8601, extended" : "ISO 8601, basic";
    case ReadAs::Http: {
      const std::size_t weekday = text.find_first_of(", ");
      if (weekday == std::string_view::npos || text[weekday] == ' ') return "HTTP date, asctime";
      return text.find('-', weekday) < text.find(':') ? "HTTP date, RFC 850" : "HTTP date, IMF-fixdate";
    }
    case ReadAs::Mail:
      return "mail date, RFC 5322";
    case ReadAs::Layout:
      return EscapeControlBytes(read.ByLayout->Format());
    case ReadAs::Epoch:
      break;
  }
  return EpochName(read.Kind);
}

// Appends what `text` is read as, or why it is refused to `refusal`.
bool AppendParsed(std::string& out, std::string& refusal, const std::string& text, const Options& options) {
  const Reading<Timestamp> read =
      ReadInstant(text, options.From, options.Lenient, refusal, options.Assume, options.Read);
  if (!read) return false;
  const TimePoint t = read.Value.instant;
  std::string utc;
  AppendInstant(utc, t, OutputFormat::IsoNs, TimeZone::UTC);
  AppendLine(out, "text", EscapeControlBytes(text));
  AppendLine(out, read.Format == ReadAs::Layout ? "format" : "layout", LayoutName(text, read));
  AppendLine(out, "nanoseconds", std::to_string(t.time_since_epoch().count()));
  AppendLine(out, "utc", utc);
  if (read.Format != ReadAs::Epoch) AppendLine(out, "offset", OffsetText(read.Value.offset));
  if (read.InZone && (read.InZone->zone_named || read.InZone->wall_clock)) {
    const ZonedTimestamp& zoned = *read.InZone;
    AppendLine(out, "zone", std::string(zoned.zone.Name()).append(zoned.zone_named ? kNamedByText : kAssumed));
  }
  if (read.InZone && read.InZone->wall_clock) {
    const auto kind = static_cast<std::size_t>(read.InZone->kind);
    std::string said(kWallClockKinds[kind]);
    if (kind != 0) said.append(kRuleNames[static_cast<std::size_t>(options.Assume.Rule)]);
    AppendLine(out, "wall-clock", said);
  }
  AppendCalendar(out, options.Named ? ToCalendarTime(t, *options.Named) : ToCalendarTime(SecondShown(t), options.Zone));
  return true;
}

}  // namespace

int Parse(const Options& options) {
  bool first = true;
  return ForEachText(options.Texts, [&](const std::string& text, std::string& out, std::string& refusal) {
    std::string parsed = first ? "" : "\n";
    if (!AppendParsed(parsed, refusal, text, options)) return false;
    out += parsed;
    first = false;
    return true;
  });
}

int Duration(const Options& options) {
  return ForEachText(options.Texts, [&options](const std::string& text, std::string& out, std::string& refusal) {
    const Reading<std::chrono::nanoseconds> read = ReadDuration(text, options.Lenient, refusal);
    if (!read) return false;
    // The seconds floored, and the nanoseconds above them: -1 ns is -1.999999999 s.
    const auto seconds = std::chrono::floor<std::chrono::seconds>(read.Value);
    char line[sizeof("-9223372036854775808 ns  -9223372037.000000000 s\n")];
    out.append(line,
               static_cast<std::size_t>(std::snprintf(
                   line, sizeof line, "%lld ns  %lld.%09lld s\n", static_cast<long long>(read.Value.count()),
                   static_cast<long long>(seconds.count()), static_cast<long long>((read.Value - seconds).count()))));
    return true;
  });
}

int Now(const Options& options) {
  Output out{STDOUT_FILENO, {}};
  const TimePoint now = std::chrono::system_clock::now();
  if (!AppendInstant(out.Buffer, now, options.To, options.Zone, options.Named)) {
    std::string utc;
    AppendInstant(utc, now, options.To == OutputFormat::IsoZone ? OutputFormat::IsoNs : options.To, TimeZone::UTC);
    Say(UnwritableMessage(now, utc, options.Named));
    return 1;
  }
  out.Buffer += '\n';
  Flush(out);
  return 0;
}

}  // namespace orvik::chrono::cli
