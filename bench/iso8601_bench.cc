// ToIso8601, SplitIso8601 and FromIso8601 beside libc (gmtime_r or
// localtime_r with strftime or snprintf; strptime with timegm), {fmt},
// Abseil and Hinnant's date.
#include <orvik/chrono/chrono.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <random>
#include <string_view>

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
#include <fmt/format.h>
#endif

namespace orvik::chrono::bench {
namespace {

using Iso8601Text = std::array<char, sizeof("2024-03-05T07:08:09.012345678+05:30")>;

// The designator of a zone's offset as the library writes it: "Z" for none,
// otherwise +hh:mm or -hh:mm.
struct Designator {
  std::array<char, sizeof("+05:30")> Text;
  std::size_t Length;
};

Designator DesignatorOf(const std::tm& tm, TimeZone zone) {
  Designator designator{};
  std::array<char, sizeof("+0530")> offset{};
  if (zone == TimeZone::Local) std::strftime(offset.data(), offset.size(), "%z", &tm);
  if (zone == TimeZone::UTC || std::abs(std::atoi(offset.data())) == 0) {
    designator.Text[0] = 'Z';
    designator.Length = 1;
    return designator;
  }
  designator.Length = static_cast<std::size_t>(
      std::snprintf(designator.Text.data(), designator.Text.size(), "%.3s:%.2s", offset.data(), offset.data() + 3));
  return designator;
}

// libc's way, which also gives every implementation's expected text.
std::string StrftimeIso8601(TimePoint t, Iso8601Format format, TimeZone zone) {
  const std::tm tm = LibcCalendarTime(WholeSeconds(t), zone);
  Iso8601Text text{};
  std::size_t length = std::strftime(text.data(), text.size(),
                                     format == Iso8601Format::BasicNanoseconds ? "%Y%m%dT%H%M%S" : "%FT%T", &tm);
  if (format != Iso8601Format::Extended) {
    length +=
        static_cast<std::size_t>(std::snprintf(text.data() + length, text.size() - length, ".%09ld", Nanoseconds(t)));
  }
  const Designator designator = DesignatorOf(tm, zone);
  std::copy_n(designator.Text.data(), designator.Length, text.data() + length);
  return {text.data(), length + designator.Length};
}

std::string SnprintfIso8601(TimePoint t, TimeZone zone) {
  const std::tm tm = LibcCalendarTime(WholeSeconds(t), zone);
  const Designator designator = DesignatorOf(tm, zone);
  Iso8601Text text{};
  const int length = std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d.%09ld%.*s",
                                   tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                                   Nanoseconds(t), static_cast<int>(designator.Length), designator.Text.data());
  return {text.data(), static_cast<std::size_t>(length)};
}

#ifdef ORVIK_BENCH_HAVE_FMT
std::string FmtIso8601(TimePoint t, TimeZone zone) {
  const std::tm tm = LibcCalendarTime(WholeSeconds(t), zone);
  if (zone == TimeZone::UTC || tm.tm_gmtoff == 0) {
    return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}.{:09}Z", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                       tm.tm_hour, tm.tm_min, tm.tm_sec, Nanoseconds(t));
  }
  const long offset_minutes = std::abs(tm.tm_gmtoff) / 60;
  return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}.{:09}{}{:02}:{:02}", tm.tm_year + 1900, tm.tm_mon + 1,
                     tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, Nanoseconds(t), tm.tm_gmtoff < 0 ? '-' : '+',
                     offset_minutes / 60, offset_minutes % 60);
}
#endif

// `threads`: the rows of orvik and strftime.
void RegisterToIso8601(const std::string& variant, const std::vector<TimePoint>& ring, TimeZone zone, Threads threads) {
  auto reference = std::make_shared<std::vector<std::string>>();
  auto once = std::make_shared<std::once_flag>();
  const auto expect = [reference, once, ring, zone](std::size_t i, const std::string& text) {
    // Computed on first use, under the zone setting of the run, once for all
    // the threads that check.
    std::call_once(*once, [&] {
      for (const TimePoint t : ring) reference->push_back(StrftimeIso8601(t, Iso8601Format::ExtendedNanoseconds, zone));
    });
    return text == (*reference)[i];
  };

  const std::string name = "ToIso8601/" + variant + "/";
  RegisterMeasure(
      name + "orvik", ring, [zone](TimePoint t) { return ToIso8601(t, zone); }, expect, threads);
  RegisterMeasure(
      name + "strftime", ring,
      [zone](TimePoint t) { return StrftimeIso8601(t, Iso8601Format::ExtendedNanoseconds, zone); }, expect, threads);
  RegisterMeasure(
      name + "snprintf", ring, [zone](TimePoint t) { return SnprintfIso8601(t, zone); }, expect);
#ifdef ORVIK_BENCH_HAVE_FMT
  RegisterMeasure(
      name + "fmt", ring, [zone](TimePoint t) { return FmtIso8601(t, zone); }, expect);
#endif
#ifdef ORVIK_BENCH_HAVE_ABSL
  if (zone == TimeZone::UTC) {
    RegisterMeasure(
        name + "absl", ring,
        [](TimePoint t) { return absl::FormatTime("%Y-%m-%dT%H:%M:%E9SZ", absl::FromChrono(t), absl::UTCTimeZone()); },
        expect);
  } else {
    // Abseil writes a zero offset as +00:00 where the others write Z.
    const auto expect_offset = [expect](std::size_t i, const std::string& text) {
      constexpr std::string_view kZeroOffset = "+00:00";
      const bool zero = text.size() > kZeroOffset.size() && text.ends_with(kZeroOffset);
      return expect(i, zero ? text.substr(0, text.size() - kZeroOffset.size()) + 'Z' : text);
    };
    RegisterMeasure(
        name + "absl", ring,
        [](TimePoint t) {
          static const absl::TimeZone local = absl::LocalTimeZone();
          return absl::FormatTime("%Y-%m-%dT%H:%M:%E9S%Ez", absl::FromChrono(t), local);
        },
        expect_offset);
  }
#endif
#ifdef ORVIK_BENCH_HAVE_DATE
  // Hinnant's date reads the zone from its own database rather than from TZ.
  if (zone == TimeZone::UTC) {
    RegisterMeasure(
        name + "date", ring, [](TimePoint t) { return date::format("%FT%TZ", t); }, expect);
  }
#endif
}

// The other two layouts, beside the libc calls that write the same text.
void RegisterToIso8601Layout(const std::string& variant, Iso8601Format format) {
  const auto& ring = RandomInstants();
  auto reference = std::make_shared<std::vector<std::string>>();
  for (const TimePoint t : ring) reference->push_back(StrftimeIso8601(t, format, TimeZone::UTC));
  const auto expect = [reference](std::size_t i, const std::string& text) { return text == (*reference)[i]; };

  const std::string name = "ToIso8601/" + variant + "/";
  RegisterMeasure(
      name + "orvik", ring, [format](TimePoint t) { return ToIso8601(t, format, TimeZone::UTC); }, expect);
  RegisterMeasure(
      name + "strftime", ring, [format](TimePoint t) { return StrftimeIso8601(t, format, TimeZone::UTC); }, expect);
}

enum class Layout { kExtended, kBasic };
enum class Designators { kZ, kOffsets };

struct TimestampKind {
  const char* Variant;
  Layout TextLayout;
  int FractionDigits;
  Designators ZoneDesignators;
  std::uint64_t Seed;
};

// Timestamps of one kind written by libc, with what they denote.
struct Timestamps {
  TimestampKind Kind;
  std::vector<std::string> Texts;
  std::vector<std::pair<TimePoint, std::chrono::minutes>> Values;
  std::vector<TimePoint> WallClockSeconds;  // the date and time alone, read as UTC
};

Timestamps WriteTimestamps(const TimestampKind& kind) {
  // Offsets of real zones, east and west, whole hours and not.
  constexpr std::array<int, 10> kOffsetMinutes = {60, 120, -300, -480, 330, 540, -210, 345, 0, -600};
  std::mt19937_64 generator(kind.Seed);
  std::uniform_int_distribution<std::size_t> pick_offset(0, kOffsetMinutes.size() - 1);
  long fraction_unit = 1;
  for (int i = kind.FractionDigits; i < 9; ++i) fraction_unit *= 10;

  Timestamps timestamps{kind, {}, {}, {}};
  for (const TimePoint random : RandomInstants()) {
    const long nanoseconds = kind.FractionDigits == 0 ? 0 : Nanoseconds(random) / fraction_unit * fraction_unit;
    const int offset = kind.ZoneDesignators == Designators::kZ ? 0 : kOffsetMinutes.at(pick_offset(generator));
    const long wall_clock = WholeSeconds(random) + offset * 60L;
    const std::tm tm = LibcCalendarTime(wall_clock, TimeZone::UTC);

    Iso8601Text text{};
    std::size_t length =
        std::strftime(text.data(), text.size(), kind.TextLayout == Layout::kExtended ? "%FT%T" : "%Y%m%dT%H%M%S", &tm);
    if (kind.FractionDigits > 0) {
      length += static_cast<std::size_t>(std::snprintf(text.data() + length, text.size() - length, ".%0*ld",
                                                       kind.FractionDigits, nanoseconds / fraction_unit));
    }
    if (kind.ZoneDesignators == Designators::kZ) {
      text.at(length++) = 'Z';
    } else {
      length +=
          static_cast<std::size_t>(std::snprintf(text.data() + length, text.size() - length, "%c%02d:%02d",
                                                 offset < 0 ? '-' : '+', std::abs(offset) / 60, std::abs(offset) % 60));
    }
    timestamps.Texts.emplace_back(text.data(), length);
    timestamps.Values.emplace_back(FromSeconds(WholeSeconds(random)) + std::chrono::nanoseconds(nanoseconds),
                                   std::chrono::minutes(offset));
    timestamps.WallClockSeconds.push_back(FromSeconds(wall_clock));
  }
  return timestamps;
}

auto ExpectInstants(const Timestamps& timestamps) {
  return [values = timestamps.Values](std::size_t i, TimePoint t) { return t == values[i].first; };
}

void RegisterSplitIso8601(const Timestamps& timestamps) {
  const auto& texts = timestamps.Texts;
  const auto expect_instant = ExpectInstants(timestamps);
  const bool extended = timestamps.Kind.TextLayout == Layout::kExtended;

  const std::string name = std::string("SplitIso8601/") + timestamps.Kind.Variant + "/";
  RegisterMeasure(name + "orvik", texts, SplitIso8601,
                  [values = timestamps.Values](std::size_t i, const std::pair<TimePoint, std::chrono::minutes>& value) {
                    return value == values[i];
                  });
  // strptime reads the date and time alone: no fraction, no offset.
  RegisterMeasure(
      name + "strptime", texts,
      [format = extended ? "%Y-%m-%dT%H:%M:%S" : "%Y%m%dT%H%M%S"](const std::string& text) {
        std::tm tm{};
        if (strptime(text.c_str(), format, &tm) == nullptr) ThrowUnparsed(text);
        return FromSeconds(timegm(&tm));
      },
      [wall_clock = timestamps.WallClockSeconds](std::size_t i, TimePoint t) { return t == wall_clock[i]; });
#ifdef ORVIK_BENCH_HAVE_ABSL
  RegisterMeasure(
      name + "absl", texts,
      [format = extended ? "%Y-%m-%d%ET%H:%M:%E*S%Ez" : "%E4Y%m%d%ET%H%M%E*S%Ez"](const std::string& text) {
        absl::Time t;
        std::string error;
        if (!absl::ParseTime(format, text, &t, &error)) ThrowUnparsed(text);
        return TimePoint(absl::ToChronoTime(t));
      },
      expect_instant);
#endif
#ifdef ORVIK_BENCH_HAVE_DATE
  const bool z = timestamps.Kind.ZoneDesignators == Designators::kZ;
  RegisterMeasure(
      name + "date", texts,
      [format = extended ? (z ? "%FT%TZ" : "%FT%T%Ez") : "%Y%m%dT%H%M%SZ"](const std::string& text) {
        std::istringstream in(text);
        TimePoint t;
        in >> date::parse(format, t);
        if (in.fail()) ThrowUnparsed(text);
        return t;
      },
      expect_instant);
#endif
}

// FromIso8601 only drops the offset of SplitIso8601's pair, so it has no
// peers of its own: theirs are SplitIso8601's.
void RegisterFromIso8601(const Timestamps& timestamps) {
  RegisterMeasure(std::string("FromIso8601/") + timestamps.Kind.Variant + "/orvik", timestamps.Texts, FromIso8601,
                  ExpectInstants(timestamps), Threads::kOneAndTwo);
}

}  // namespace

void RegisterIso8601Benchmarks() {
  RegisterToIso8601("utc_random", RandomInstants(), TimeZone::UTC, Threads::kOneAndTwo);
  RegisterToIso8601("utc_same_hour", SameHourInstants(), TimeZone::UTC, Threads::kOne);
  RegisterToIso8601("local_random", RandomInstants(), TimeZone::Local, Threads::kOneAndTwo);
  RegisterToIso8601("local_same_hour", SameHourInstants(), TimeZone::Local, Threads::kOne);
  RegisterToIso8601Layout("utc_random_extended", Iso8601Format::Extended);
  RegisterToIso8601Layout("utc_random_basic", Iso8601Format::BasicNanoseconds);

  const Timestamps with_offsets =
      WriteTimestamps({"extended_ns_offset", Layout::kExtended, 9, Designators::kOffsets, 7});
  RegisterSplitIso8601(WriteTimestamps({"extended_ns_utc", Layout::kExtended, 9, Designators::kZ, 6}));
  RegisterSplitIso8601(with_offsets);
  RegisterSplitIso8601(WriteTimestamps({"extended_ms_utc", Layout::kExtended, 3, Designators::kZ, 8}));
  RegisterSplitIso8601(WriteTimestamps({"extended_s_offset", Layout::kExtended, 0, Designators::kOffsets, 9}));
  RegisterSplitIso8601(WriteTimestamps({"basic_ns_utc", Layout::kBasic, 9, Designators::kZ, 10}));
  RegisterFromIso8601(with_offsets);
}

}  // namespace orvik::chrono::bench
