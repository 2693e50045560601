// ToHttpDate and FromHttpDate beside the ways a C++ program would otherwise
// write and read an HTTP date: libc (gmtime_r with strftime or snprintf,
// strptime with timegm), {fmt}, Abseil, Hinnant's date and curl_getdate.
#include <orvik/chrono/chrono.h>

#include <array>
#include <cstdio>
#include <ctime>

#include "benchmarks.h"
#include "inputs.h"

#ifdef ORVIK_BENCH_HAVE_ABSL
#include <absl/time/time.h>
#endif
#ifdef ORVIK_BENCH_HAVE_CURL
#include <curl/curl.h>
#endif
#ifdef ORVIK_BENCH_HAVE_DATE
#include <date/date.h>

#include <sstream>
#endif
#ifdef ORVIK_BENCH_HAVE_FMT
#include <fmt/format.h>
#endif

namespace orvik::chrono::bench {
namespace {

using HttpDateText = std::array<char, sizeof("Mon, 28 Sep 1970 06:00:00 GMT")>;
constexpr const char* kImfFixdate = "%a, %d %b %Y %H:%M:%S GMT";

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::tm UtcCalendarTime(TimePoint t) { return LibcCalendarTime(WholeSeconds(t), TimeZone::UTC); }

std::string StrftimeHttpDate(TimePoint t) {
  const std::tm tm = UtcCalendarTime(t);
  HttpDateText text{};
  return {text.data(), std::strftime(text.data(), text.size(), kImfFixdate, &tm)};
}

std::string SnprintfHttpDate(TimePoint t) {
  const std::tm tm = UtcCalendarTime(t);
  HttpDateText text{};
  const int length = std::snprintf(text.data(), text.size(), "%s, %02d %s %04d %02d:%02d:%02d GMT",
                                   kWeekdays.at(static_cast<std::size_t>(tm.tm_wday)), tm.tm_mday,
                                   kMonths.at(static_cast<std::size_t>(tm.tm_mon)), tm.tm_year + 1900, tm.tm_hour,
                                   tm.tm_min, tm.tm_sec);
  return {text.data(), static_cast<std::size_t>(length)};
}

void RegisterToHttpDate() {
  const auto& ring = RandomInstants();
  auto reference = std::make_shared<std::vector<std::string>>();
  for (const TimePoint t : ring) reference->push_back(StrftimeHttpDate(t));
  const auto expect = [reference](std::size_t i, const std::string& text) { return text == (*reference)[i]; };

  const std::string name = "ToHttpDate/random/";
  RegisterMeasure(name + "orvik", ring, ToHttpDate, expect, Threads::kOneAndTwo);
  RegisterMeasure(name + "strftime", ring, StrftimeHttpDate, expect, Threads::kOneAndTwo);
  RegisterMeasure(name + "snprintf", ring, SnprintfHttpDate, expect);
#ifdef ORVIK_BENCH_HAVE_FMT
  RegisterMeasure(
      name + "fmt", ring,
      [](TimePoint t) {
        const std::tm tm = UtcCalendarTime(t);
        return fmt::format(
            "{}, {:02} {} {:04} {:02}:{:02}:{:02} GMT", kWeekdays.at(static_cast<std::size_t>(tm.tm_wday)), tm.tm_mday,
            kMonths.at(static_cast<std::size_t>(tm.tm_mon)), tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
      },
      expect);
#endif
#ifdef ORVIK_BENCH_HAVE_ABSL
  RegisterMeasure(
      name + "absl", ring,
      [](TimePoint t) { return absl::FormatTime(kImfFixdate, absl::FromChrono(t), absl::UTCTimeZone()); }, expect);
#endif
#ifdef ORVIK_BENCH_HAVE_DATE
  RegisterMeasure(
      name + "date", ring,
      [](TimePoint t) { return date::format("%a, %d %b %Y %T GMT", std::chrono::floor<std::chrono::seconds>(t)); },
      expect);
#endif
}

// One of the three layouts that HTTP allows, written by strftime.
struct HttpLayout {
  const char* Variant;
  const char* Format;  // for strftime, strptime and Abseil
  const char* DateFormat;
  const std::vector<long>& Seconds;
  Threads OrvikThreads;
};

void RegisterFromHttpDate(const HttpLayout& layout) {
  const auto ring = Strftime(layout.Seconds, layout.Format);
  const auto expect = [&seconds = layout.Seconds](std::size_t i, TimePoint t) { return t == FromSeconds(seconds[i]); };

  const std::string name = std::string("FromHttpDate/") + layout.Variant + "/";
  RegisterMeasure(name + "orvik", ring, FromHttpDate, expect, layout.OrvikThreads);
  RegisterMeasure(
      name + "strptime", ring,
      [format = layout.Format](const std::string& text) {
        std::tm tm{};
        if (strptime(text.c_str(), format, &tm) == nullptr) ThrowUnparsed(text);
        return FromSeconds(timegm(&tm));
      },
      expect);
#ifdef ORVIK_BENCH_HAVE_CURL
  RegisterMeasure(
      name + "curl", ring, [](const std::string& text) { return FromSeconds(curl_getdate(text.c_str(), nullptr)); },
      expect);
#endif
#ifdef ORVIK_BENCH_HAVE_ABSL
  RegisterMeasure(
      name + "absl", ring,
      [format = layout.Format](const std::string& text) {
        absl::Time t;
        std::string error;
        if (!absl::ParseTime(format, text, &t, &error)) ThrowUnparsed(text);
        return TimePoint(absl::ToChronoTime(t));
      },
      expect);
#endif
#ifdef ORVIK_BENCH_HAVE_DATE
  RegisterMeasure(
      name + "date", ring,
      [format = layout.DateFormat](const std::string& text) {
        std::istringstream in(text);
        date::sys_seconds t;
        in >> date::parse(format, t);
        if (in.fail()) ThrowUnparsed(text);
        return TimePoint(t);
      },
      expect);
#endif
}

}  // namespace

void RegisterHttpDateBenchmarks() {
  RegisterToHttpDate();
  RegisterFromHttpDate({"imf_fixdate", kImfFixdate, "%a, %d %b %Y %T GMT", RandomSeconds(), Threads::kOneAndTwo});
  RegisterFromHttpDate(
      {"rfc850", "%A, %d-%b-%y %H:%M:%S GMT", "%A, %d-%b-%y %T GMT", RandomSecondsOfTwoDigitYears(), Threads::kOne});
  RegisterFromHttpDate({"asctime", "%a %b %e %H:%M:%S %Y", "%a %b %e %T %Y", RandomSeconds(), Threads::kOne});
}

}  // namespace orvik::chrono::bench
