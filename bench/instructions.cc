// A driver for instruction counts under valgrind: one call over the rings of
// the benchmark suite, a given number of times, in the function Measured
// alone, after one warm-up pass over the ring (the thread's first look at
// the zone, the rings' own making):
//
//   valgrind --tool=callgrind --toggle-collect='*Measured*'
//       build/bench/bench/orvik_chrono_instructions <call> <calls>
//
// gives the instructions of <calls> calls, the loop's own included. Calls:
// utc_random, local_random, utc_hit, local_hit (ToCalendarTime),
// iso_utc_random, iso_local_random (ToIso8601), format_iso_utc_random and
// format_iso_utc_hit (FormatIso8601 with nanoseconds in UTC into a buffer, of
// random instants and of instants of one hour), format_http_random
// (FormatHttpDate into a buffer), named_random
// (ToCalendarTime in America/New_York), from_civil_random (ToCalendarTime in
// UTC, then TryFromCivil of its fields in America/New_York), from_civil_only
// (TryFromCivil alone, on fields made before the loop), utc_fields_random
// (those fields alone), mktime_from_civil_random (the same fields, then mktime
// in the caller's TZ), load_zone_loaded and try_load_zone_loaded (LoadZone and
// TryLoadZone of America/New_York, loaded before), localtime_r_random,
// gmtime_r_random; where Abseil is installed absl_local_random,
// absl_named_random (TimeZone::At of an instant in America/New_York),
// absl_from_civil_random and absl_at_civil_random (the UTC fields, then
// absl::FromCivil or TimeZone::At of them there) and absl_load_zone_loaded;
// and the
// readers of the texts of the random instants, each read as written and with
// one byte made an 'x' (refused by the strict readers): read_<reader>_<text>
// and refuse_<reader>_<text>, as `orvik_chrono_instructions` with no
// arguments lists them. Layouts by format string: read_layout_access_log and
// refuse_layout_access_log (TryFromLayout of "%d/%b/%Y:%H:%M:%S %z" in UTC,
// compiled before), strptime_access_log (strptime and timegm),
// absl_parse_access_log, date_parse_access_log; format_layout_http
// (FormatLayout of "%a, %d %b %Y %H:%M:%S %z" in UTC into a buffer),
// to_layout_http (ToLayout, a std::string), strftime_http (gmtime_r and
// strftime into a buffer), fmt_format_http (gmtime_r and fmt::format),
// absl_format_http, date_format_http; the peers' where installed.
#include <orvik/chrono/chrono.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "inputs.h"

#ifdef ORVIK_BENCH_HAVE_ABSL
#include <absl/time/civil_time.h>
#include <absl/time/time.h>
#endif
#ifdef ORVIK_BENCH_HAVE_DATE
#include <date/date.h>

#include <sstream>
#endif
#ifdef ORVIK_BENCH_HAVE_FMT
#include <fmt/chrono.h>
#include <fmt/format.h>
#endif

namespace orvik::chrono::bench {
namespace {

using Call = std::function<void(TimePoint)>;

[[gnu::noinline]] void Measured(const Call& call, const std::vector<TimePoint>& ring, long calls) {
  for (long i = 0; i < calls; ++i) call(ring[static_cast<std::size_t>(i) & (kRingSize - 1)]);
}

[[gnu::noinline]] void WarmUp(const Call& call, const std::vector<TimePoint>& ring) {
  for (const TimePoint t : ring) call(t);
}

struct Case {
  const std::vector<TimePoint>* Ring;
  Call Run;
};

// The text of each random instant, as `write` writes its seconds; with
// `spoiled`, one byte of each made an 'x', at a place that moves from text to
// text.
std::vector<std::string> Texts(const std::function<std::string(std::time_t)>& write, bool spoiled) {
  std::vector<std::string> texts;
  for (const TimePoint t : RandomInstants()) {
    texts.push_back(write(static_cast<std::time_t>(t.time_since_epoch().count() / 1'000'000'000)));
    if (spoiled) texts.back()[texts.size() % texts.back().size()] = 'x';
  }
  return texts;
}

std::string Strftime(const char* format, std::time_t seconds) {
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  char text[64];
  return {text, std::strftime(text, sizeof text, format, &tm)};
}

// A reader called on each text in turn; the time point is not looked at.
template <typename Read>
Call OnTexts(std::vector<std::string> texts, Read read) {
  return [texts = std::move(texts), read, i = std::size_t{0}](TimePoint) mutable {
    benchmark::DoNotOptimize(read(texts[i++ & (kRingSize - 1)]));
  };
}

void AddReaders(std::map<std::string, Case>& cases) {
  const TimePoint in_1995(std::chrono::seconds(800'000'000));
  const std::pair<const char*, std::function<std::string(std::time_t)>> kTexts[] = {
      {"iso_z", [](std::time_t s) { return Strftime("%Y-%m-%dT%H:%M:%SZ", s); }},
      {"iso_offset", [](std::time_t s) { return Strftime("%Y-%m-%dT%H:%M:%S.123456789+05:30", s); }},
      {"iso_fraction3", [](std::time_t s) { return Strftime("%Y-%m-%dT%H:%M:%S.123Z", s); }},
      // Fractions of 0, 3, 6 and 9 digits, 'Z' or -08:00, in turn.
      {"iso_mixed",
       [](std::time_t s) {
         constexpr const char* kFractions[] = {"", ".123", ".123456", ".123456789"};
         return Strftime("%Y-%m-%dT%H:%M:%S", s) + kFractions[s % 4] + (s / 4 % 2 == 0 ? "Z" : "-08:00");
       }},
      {"iso_basic", [](std::time_t s) { return Strftime("%Y%m%dT%H%M%SZ", s); }},
      {"iso_z9", [](std::time_t s) { return Strftime("%Y-%m-%dT%H:%M:%S.123456789Z", s); }},
      {"iso_offset0", [](std::time_t s) { return Strftime("%Y-%m-%dT%H:%M:%S+05:30", s); }},
      {"imf", [](std::time_t s) { return Strftime("%a, %d %b %Y %H:%M:%S GMT", s); }},
      {"rfc850", [](std::time_t s) { return Strftime("%A, %d-%b-%y %H:%M:%S GMT", s % 900'000'000); }},
      {"asctime", [](std::time_t s) { return Strftime("%a %b %e %H:%M:%S %Y", s); }},
      {"mail", [](std::time_t s) { return Strftime("%a, %d %b %Y %H:%M:%S -0800", s); }},
      {"duration",
       [](std::time_t s) {
         return "PT" + std::to_string(s % 100) + "H" + std::to_string(s % 60) + "M" + std::to_string(s % 59) + "S";
       }},
  };
  for (const auto& [name, write] : kTexts) {
    for (const bool spoiled : {false, true}) {
      const std::string suffix = std::string(spoiled ? "refuse_" : "read_");
      const std::string kind(name);
      const auto add = [&](const std::string& reader, Call call) {
        std::string case_name = suffix + reader;
        case_name += '_';
        case_name += kind;
        cases.emplace(std::move(case_name), Case{&RandomInstants(), std::move(call)});
      };
      const std::vector<std::string> texts = Texts(write, spoiled);
      if (kind == "duration") {
        add("strict", OnTexts(texts, [](const std::string& text) { return duration::TryFromIso8601Strict(text); }));
        add("lenient", OnTexts(texts, [](const std::string& text) { return duration::TryFromIso8601(text); }));
      } else if (kind.starts_with("iso")) {
        add("strict", OnTexts(texts, [](const std::string& text) { return TryFromIso8601Strict(text); }));
        add("lenient", OnTexts(texts, [](const std::string& text) { return TryFromIso8601(text); }));
      } else if (kind == "mail") {
        add("strict", OnTexts(texts, [](const std::string& text) { return TryFromMailDate(text); }));
      } else {
        add("strict",
            OnTexts(texts, [in_1995](const std::string& text) { return TryFromHttpDateStrict(text, in_1995); }));
        add("lenient", OnTexts(texts, [](const std::string& text) { return TryFromHttpDate(text); }));
      }
    }
  }
}

// Reading an access log's dates and writing HTTP dates with an offset by
// format string, each implementation on the same texts and instants.
void AddLayoutCases(std::map<std::string, Case>& cases) {
  static constexpr const char* kAccessLog = "%d/%b/%Y:%H:%M:%S %z";
  static constexpr const char* kHttp = "%a, %d %b %Y %H:%M:%S %z";
  const auto access_log = [](std::time_t s) { return Strftime(kAccessLog, s); };
  const auto add = [&cases](const char* name, Call call) {
    cases.emplace(name, Case{&RandomInstants(), std::move(call)});
  };
  const Layout read_layout = CompileLayout(kAccessLog);
  const auto read = [read_layout](const std::string& text) {
    return TryFromLayout(text, read_layout, Zone::Utc(), Disambiguation::Compatible);
  };
  add("read_layout_access_log", OnTexts(Texts(access_log, false), read));
  add("refuse_layout_access_log", OnTexts(Texts(access_log, true), read));
  add("strptime_access_log", OnTexts(Texts(access_log, false), [](const std::string& text) {
        std::tm tm{};
        strptime(text.c_str(), kAccessLog, &tm);
        return timegm(&tm) - tm.tm_gmtoff;
      }));
  const Layout write_layout = CompileLayout(kHttp);
  add("format_layout_http", [write_layout](TimePoint t) {
    char text[64];
    benchmark::DoNotOptimize(FormatLayout(text, sizeof text, t, write_layout, Zone::Utc()));
    benchmark::ClobberMemory();
  });
  add("to_layout_http",
      [write_layout](TimePoint t) { benchmark::DoNotOptimize(ToLayout(t, write_layout, Zone::Utc())); });
  add("strftime_http", [](TimePoint t) {
    const std::tm tm = LibcCalendarTime(WholeSeconds(t), TimeZone::UTC);
    char text[64];
    benchmark::DoNotOptimize(std::strftime(text, sizeof text, kHttp, &tm));
    benchmark::ClobberMemory();
  });
#ifdef ORVIK_BENCH_HAVE_ABSL
  add("absl_parse_access_log", OnTexts(Texts(access_log, false), [](const std::string& text) {
        absl::Time t;
        std::string error;
        return absl::ParseTime(kAccessLog, text, &t, &error) ? t : absl::InfinitePast();
      }));
  add("absl_format_http",
      [](TimePoint t) { benchmark::DoNotOptimize(absl::FormatTime(kHttp, absl::FromChrono(t), absl::UTCTimeZone())); });
#endif
#ifdef ORVIK_BENCH_HAVE_DATE
  add("date_parse_access_log", OnTexts(Texts(access_log, false), [](const std::string& text) {
        std::istringstream in(text);
        date::sys_seconds t;
        in >> date::parse(kAccessLog, t);
        return t;
      }));
  add("date_format_http",
      [](TimePoint t) { benchmark::DoNotOptimize(date::format(kHttp, std::chrono::floor<std::chrono::seconds>(t))); });
#endif
#ifdef ORVIK_BENCH_HAVE_FMT
  add("fmt_format_http", [](TimePoint t) {
    benchmark::DoNotOptimize(
        fmt::format("{:%a, %d %b %Y %H:%M:%S %z}", LibcCalendarTime(WholeSeconds(t), TimeZone::UTC)));
  });
#endif
}

// The UTC fields of `t`, the wall-clock times of the from_civil cases.
CivilTime UtcFields(TimePoint t) { return CivilOf(ToCalendarTime(t, Zone::Utc())); }

void AddWallClockCases(std::map<std::string, Case>& cases) {
  cases.emplace("utc_fields_random",
                Case{&RandomInstants(), [](TimePoint t) { benchmark::DoNotOptimize(UtcFields(t)); }});
  cases.emplace("mktime_from_civil_random", Case{&RandomInstants(), [](TimePoint t) {
                                                   std::tm tm = TmOf(UtcFields(t));
                                                   benchmark::DoNotOptimize(std::mktime(&tm));
                                                 }});
  const std::string name = "America/New_York";
  cases.emplace("load_zone_loaded",
                Case{&RandomInstants(), [name](TimePoint) { benchmark::DoNotOptimize(LoadZone(name)); }});
  cases.emplace("try_load_zone_loaded",
                Case{&RandomInstants(), [name](TimePoint) { benchmark::DoNotOptimize(TryLoadZone(name)); }});
#ifdef ORVIK_BENCH_HAVE_ABSL
  absl::TimeZone zone;
  if (!absl::LoadTimeZone(name, &zone)) return;
  const auto civil = [](TimePoint t) {
    const CivilTime c = UtcFields(t);
    return absl::CivilSecond(c.year, c.month, c.day, c.hour, c.minute, c.second);
  };
  cases.emplace("absl_named_random", Case{&RandomInstants(), [zone](TimePoint t) {
                                            benchmark::DoNotOptimize(zone.At(absl::FromChrono(t)));
                                          }});
  cases.emplace("absl_from_civil_random", Case{&RandomInstants(), [zone, civil](TimePoint t) {
                                                 benchmark::DoNotOptimize(absl::FromCivil(civil(t), zone));
                                               }});
  cases.emplace("absl_at_civil_random", Case{&RandomInstants(), [zone, civil](TimePoint t) {
                                               benchmark::DoNotOptimize(zone.At(civil(t)).pre);
                                             }});
  cases.emplace("absl_load_zone_loaded", Case{&RandomInstants(), [name](TimePoint) {
                                                absl::TimeZone loaded;
                                                benchmark::DoNotOptimize(absl::LoadTimeZone(name, &loaded));
                                                benchmark::DoNotOptimize(loaded);
                                              }});
#endif
}

// TryFromCivil alone in America/New_York, on RandomCivilTimes(), made
// before the loop.
Call FromCivilOnly() {
  return [&times = RandomCivilTimes(), zone = LoadZone("America/New_York"), i = std::size_t{0}](TimePoint) mutable {
    benchmark::DoNotOptimize(TryFromCivil(times[i++ & (kRingSize - 1)], zone, Disambiguation::Compatible));
  };
}

std::map<std::string, Case> Cases() {
  const auto calendar = [](TimeZone zone) {
    return [zone](TimePoint t) { benchmark::DoNotOptimize(ToCalendarTime(t, zone)); };
  };
  const auto iso = [](TimeZone zone) { return [zone](TimePoint t) { benchmark::DoNotOptimize(ToIso8601(t, zone)); }; };
  const auto format_iso_utc = [](TimePoint t) {
    char text[kMaxIso8601Size];
    benchmark::DoNotOptimize(FormatIso8601(text, t, Iso8601Format::ExtendedNanoseconds, TimeZone::UTC));
    benchmark::ClobberMemory();
  };
  const auto format_http = [](TimePoint t) {
    char text[kHttpDateSize];
    benchmark::DoNotOptimize(FormatHttpDate(text, t));
    benchmark::ClobberMemory();
  };
  const auto libc = [](TimeZone zone) {
    return [zone](TimePoint t) { benchmark::DoNotOptimize(LibcCalendarTime(WholeSeconds(t), zone)); };
  };
  std::map<std::string, Case> cases{
      {"utc_random", {&RandomInstants(), calendar(TimeZone::UTC)}},
      {"local_random", {&RandomInstants(), calendar(TimeZone::Local)}},
      {"utc_hit", {&SameHourInstants(), calendar(TimeZone::UTC)}},
      {"local_hit", {&SameHourInstants(), calendar(TimeZone::Local)}},
      {"iso_utc_random", {&RandomInstants(), iso(TimeZone::UTC)}},
      {"iso_local_random", {&RandomInstants(), iso(TimeZone::Local)}},
      {"format_iso_utc_random", {&RandomInstants(), format_iso_utc}},
      {"format_iso_utc_hit", {&SameHourInstants(), format_iso_utc}},
      {"format_http_random", {&RandomInstants(), format_http}},
      {"gmtime_r_random", {&RandomInstants(), libc(TimeZone::UTC)}},
      {"localtime_r_random", {&RandomInstants(), libc(TimeZone::Local)}},
      {"named_random",
       {&RandomInstants(),
        [zone = LoadZone("America/New_York")](TimePoint t) { benchmark::DoNotOptimize(ToCalendarTime(t, zone)); }}},
      {"from_civil_random",
       {&RandomInstants(),
        [zone = LoadZone("America/New_York")](TimePoint t) {
          benchmark::DoNotOptimize(TryFromCivil(UtcFields(t), zone, Disambiguation::Compatible));
        }}},
      {"from_civil_only", {&RandomInstants(), FromCivilOnly()}},
  };
  AddReaders(cases);
  AddWallClockCases(cases);
  AddLayoutCases(cases);
#ifdef ORVIK_BENCH_HAVE_ABSL
  cases.emplace("absl_local_random", Case{&RandomInstants(), [](TimePoint t) {
                                            static const absl::TimeZone local = absl::LocalTimeZone();
                                            benchmark::DoNotOptimize(local.At(absl::FromChrono(t)));
                                          }});
#endif
  return cases;
}

}  // namespace
}  // namespace orvik::chrono::bench

int main(int argc, char** argv) {
  const auto cases = orvik::chrono::bench::Cases();
  const auto found = argc == 3 ? cases.find(argv[1]) : cases.end();
  if (found == cases.end()) {
    std::fputs("usage: orvik_chrono_instructions <call> <calls>; calls:", stderr);
    for (const auto& [name, c] : cases) std::fprintf(stderr, " %s", name.c_str());
    std::fputs("\n", stderr);
    return 2;
  }
  const long calls = std::strtol(argv[2], nullptr, 10);
  orvik::chrono::bench::WarmUp(found->second.Run, *found->second.Ring);
  orvik::chrono::bench::Measured(found->second.Run, *found->second.Ring, calls);
  return 0;
}
