#include "inputs.h"

#include <array>
#include <random>

namespace orvik::chrono::bench {
namespace {

constexpr long kYear1900 = -2208988800;
constexpr long kYear1970 = 0;
constexpr long kYear1971 = 31536000;
constexpr long kYear2000 = 946684800;
constexpr long kYear2100 = 4102444800;
constexpr long kHourOfSameHourRing = 1709622000;  // 2024-03-05T07:00:00Z

std::vector<TimePoint> InstantsBetween(std::int64_t first_ns, std::int64_t end_ns, std::uint64_t seed) {
  std::mt19937_64 generator(seed);
  std::uniform_int_distribution<std::int64_t> distribution(first_ns, end_ns - 1);
  std::vector<TimePoint> instants(kRingSize);
  for (auto& t : instants) t = TimePoint(std::chrono::nanoseconds(distribution(generator)));
  return instants;
}

std::vector<long> SecondsBetween(long first, long end, std::uint64_t seed) {
  std::mt19937_64 generator(seed);
  std::uniform_int_distribution<long> distribution(first, end - 1);
  std::vector<long> seconds(kRingSize);
  for (auto& s : seconds) s = distribution(generator);
  return seconds;
}

}  // namespace

// Each ring has a seed of its own, so that adding a ring changes no other.
const std::vector<TimePoint>& RandomInstants() {
  static const auto instants = InstantsBetween(kYear1970, kYear2100 * kNanosecondsPerSecond, 1);
  return instants;
}

const std::vector<TimePoint>& SameHourInstants() {
  static const auto instants = InstantsBetween(kHourOfSameHourRing * kNanosecondsPerSecond,
                                               (kHourOfSameHourRing + 3600) * kNanosecondsPerSecond, 2);
  return instants;
}

const std::vector<TimePoint>& RandomInstantsBefore1970() {
  static const auto instants = [] {
    auto ring = InstantsBetween(kYear1900 * kNanosecondsPerSecond, kYear1970, 5);
    constexpr long kSecondsPerQuarterHour = 900;
    for (TimePoint& t : ring) {
      if (WholeSeconds(t) % kSecondsPerQuarterHour == 0) t -= std::chrono::seconds(1);
    }
    return ring;
  }();
  return instants;
}

const std::vector<long>& RandomSeconds() {
  static const auto seconds = SecondsBetween(kYear1970, kYear2100, 3);
  return seconds;
}

const std::vector<long>& RandomSecondsOfTwoDigitYears() {
  static const auto seconds = SecondsBetween(kYear1971, kYear2000, 4);
  return seconds;
}

std::vector<benchmark::internal::Benchmark*> Register(const std::string& name,
                                                      std::function<void(benchmark::State&)> body, Threads threads) {
  auto* one = benchmark::RegisterBenchmark(name.c_str(), body);
  if (threads == Threads::kOne) return {one};
  // Starting and joining threads weighs on short runs.
  constexpr double kMinTimeOfThreads = 0.5;
  one->MinTime(kMinTimeOfThreads);
  const std::size_t variant_end = name.find('/', name.find('/') + 1);
  const std::string two = name.substr(0, variant_end) + "_2_threads" + name.substr(variant_end);
  return {one, benchmark::RegisterBenchmark(two.c_str(), std::move(body))
                   ->Threads(2)
                   ->UseRealTime()
                   ->MinTime(kMinTimeOfThreads)};
}

std::tm LibcCalendarTime(long seconds, TimeZone zone) {
  std::tm tm{};
  if (zone == TimeZone::UTC) {
    gmtime_r(&seconds, &tm);
  } else {
    localtime_r(&seconds, &tm);
  }
  return tm;
}

std::tm TmOf(const CivilTime& time) {
  std::tm tm{};
  tm.tm_year = time.year - 1900;
  tm.tm_mon = time.month - 1;
  tm.tm_mday = time.day;
  tm.tm_hour = time.hour;
  tm.tm_min = time.minute;
  tm.tm_sec = time.second;
  tm.tm_isdst = -1;
  return tm;
}

const std::vector<CivilTime>& RandomCivilTimes() {
  static const std::vector<CivilTime> times = [] {
    std::vector<CivilTime> made;
    for (const TimePoint t : RandomInstants())
      made.push_back(CivilOf(LibcCalendarTime(WholeSeconds(t), TimeZone::UTC)));
    return made;
  }();
  return times;
}

std::vector<std::string> Strftime(const std::vector<long>& seconds, const char* format) {
  std::vector<std::string> texts;
  texts.reserve(seconds.size());
  for (const long s : seconds) {
    const std::tm tm = LibcCalendarTime(s, TimeZone::UTC);
    std::array<char, 64> text{};
    texts.emplace_back(text.data(), std::strftime(text.data(), text.size(), format, &tm));
  }
  return texts;
}

}  // namespace orvik::chrono::bench
