// Layouts by format string, compiled once, beside the ways a C++ program
// would otherwise read and write a date by its strftime format: libc
// (strptime with timegm, gmtime_r with strftime), Abseil, Hinnant's date and
// {fmt}. Reading: the date of an access log, "05/Mar/2024:07:08:09 +0000".
// Writing: an HTTP date with a numeric offset, "Tue, 05 Mar 2024 07:08:09
// +0000", into the caller's buffer (FormatLayout, strftime, fmt::format_to_n)
// and as a std::string (ToLayout, absl::FormatTime, fmt::format,
// date::format).
#include <orvik/chrono/chrono.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "benchmarks.h"
#include "inputs.h"

#ifdef ORVIK_BENCH_HAVE_ABSL
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

// One format for every implementation: they all read and write these
// directives alike in the C locale.
constexpr const char* kAccessLog = "%d/%b/%Y:%H:%M:%S %z";
constexpr const char* kHttpWithOffset = "%a, %d %b %Y %H:%M:%S %z";

// A text written into a buffer of the caller's, which is not allocated.
struct Written {
  std::array<char, 64> Bytes;
  std::size_t Size;

  [[nodiscard]] std::string_view View() const { return {Bytes.data(), Size}; }
};

Written StrftimeWritten(TimePoint t, const char* format) {
  const std::tm tm = LibcCalendarTime(WholeSeconds(t), TimeZone::UTC);
  Written text{};
  text.Size = std::strftime(text.Bytes.data(), text.Bytes.size(), format, &tm);
  return text;
}

void RegisterFromLayout() {
  const auto& seconds = RandomSeconds();
  const auto ring = Strftime(seconds, kAccessLog);
  const auto expect = [&seconds](std::size_t i, TimePoint t) { return t == FromSeconds(seconds[i]); };

  const std::string name = "FromLayout/access_log/";
  RegisterMeasure(
      name + "orvik", ring,
      [layout = CompileLayout(kAccessLog)](const std::string& text) {
        const ParseResult<ZonedTimestamp> read = TryFromLayout(text, layout, Zone::Utc(), Disambiguation::Compatible);
        if (!read) ThrowUnparsed(text);
        return read.value.timestamp.instant;
      },
      expect, Threads::kOneAndTwo);
  // timegm reads the fields as UTC; the offset that strptime read is
  // glibc's tm_gmtoff.
  RegisterMeasure(
      name + "strptime", ring,
      [](const std::string& text) {
        std::tm tm{};
        if (strptime(text.c_str(), kAccessLog, &tm) == nullptr) ThrowUnparsed(text);
        return FromSeconds(timegm(&tm) - tm.tm_gmtoff);
      },
      expect);
#ifdef ORVIK_BENCH_HAVE_ABSL
  RegisterMeasure(
      name + "absl", ring,
      [](const std::string& text) {
        absl::Time t;
        std::string error;
        if (!absl::ParseTime(kAccessLog, text, &t, &error)) ThrowUnparsed(text);
        return TimePoint(absl::ToChronoTime(t));
      },
      expect);
#endif
#ifdef ORVIK_BENCH_HAVE_DATE
  RegisterMeasure(
      name + "date", ring,
      [](const std::string& text) {
        std::istringstream in(text);
        date::sys_seconds t;
        in >> date::parse(kAccessLog, t);
        if (in.fail()) ThrowUnparsed(text);
        return TimePoint(t);
      },
      expect);
#endif
}

void RegisterFormatLayout() {
  const auto& ring = RandomInstants();
  auto reference = std::make_shared<std::vector<std::string>>();
  for (const TimePoint t : ring) reference->emplace_back(StrftimeWritten(t, kHttpWithOffset).View());
  const auto expect_written = [reference](std::size_t i, const Written& text) {
    return text.View() == (*reference)[i];
  };
  const auto expect_string = [reference](std::size_t i, const std::string& text) { return text == (*reference)[i]; };

  // Into the caller's buffer.
  std::string name = "FormatLayout/http_offset/";
  RegisterMeasure(
      name + "orvik", ring,
      [layout = CompileLayout(kHttpWithOffset)](TimePoint t) {
        Written text{};
        const char* end = FormatLayout(text.Bytes.data(), text.Bytes.size(), t, layout, Zone::Utc());
        text.Size = end == nullptr ? 0 : static_cast<std::size_t>(end - text.Bytes.data());
        return text;
      },
      expect_written, Threads::kOneAndTwo);
  RegisterMeasure(
      name + "strftime", ring, [](TimePoint t) { return StrftimeWritten(t, kHttpWithOffset); }, expect_written,
      Threads::kOneAndTwo);
#ifdef ORVIK_BENCH_HAVE_FMT
  RegisterMeasure(
      name + "fmt", ring,
      [](TimePoint t) {
        const std::tm tm = LibcCalendarTime(WholeSeconds(t), TimeZone::UTC);
        Written text{};
        text.Size = fmt::format_to_n(text.Bytes.data(), text.Bytes.size(), "{:%a, %d %b %Y %H:%M:%S %z}", tm).size;
        return text;
      },
      expect_written);
#endif

  // As a std::string, which these texts do not fit in without an allocation.
  name = "ToLayout/http_offset/";
  RegisterMeasure(
      name + "orvik", ring,
      [layout = CompileLayout(kHttpWithOffset)](TimePoint t) { return ToLayout(t, layout, Zone::Utc()); },
      expect_string);
  RegisterMeasure(
      name + "strftime", ring, [](TimePoint t) { return std::string(StrftimeWritten(t, kHttpWithOffset).View()); },
      expect_string);
#ifdef ORVIK_BENCH_HAVE_FMT
  RegisterMeasure(
      name + "fmt", ring,
      [](TimePoint t) {
        return fmt::format("{:%a, %d %b %Y %H:%M:%S %z}", LibcCalendarTime(WholeSeconds(t), TimeZone::UTC));
      },
      expect_string);
#endif
#ifdef ORVIK_BENCH_HAVE_ABSL
  RegisterMeasure(
      name + "absl", ring,
      [](TimePoint t) { return absl::FormatTime(kHttpWithOffset, absl::FromChrono(t), absl::UTCTimeZone()); },
      expect_string);
#endif
#ifdef ORVIK_BENCH_HAVE_DATE
  RegisterMeasure(
      name + "date", ring,
      [](TimePoint t) { return date::format(kHttpWithOffset, std::chrono::floor<std::chrono::seconds>(t)); },
      expect_string);
#endif
}

}  // namespace

void RegisterLayoutBenchmarks() {
  RegisterFromLayout();
  RegisterFormatLayout();
}

}  // namespace orvik::chrono::bench
