// ToCalendarTime beside libc's gmtime_r and localtime_r: a cache hit (instants
// of one hour), a refill (instants across decades), and two threads sharing
// one hour; FileTimePointToSystemTimePoint beside std::chrono.
#include <orvik/chrono/chrono.h>

#include <cstring>
#include <ctime>

#include "benchmarks.h"
#include "inputs.h"

namespace orvik::chrono::bench {
namespace {

bool SameCalendarTime(const std::tm& a, const std::tm& b) {
  return a.tm_sec == b.tm_sec && a.tm_min == b.tm_min && a.tm_hour == b.tm_hour && a.tm_mday == b.tm_mday &&
         a.tm_mon == b.tm_mon && a.tm_year == b.tm_year && a.tm_wday == b.tm_wday && a.tm_yday == b.tm_yday &&
         a.tm_isdst == b.tm_isdst && a.tm_gmtoff == b.tm_gmtoff && std::strcmp(a.tm_zone, b.tm_zone) == 0;
}

// Seconds per repetition of the rows that compare two threads with one.
constexpr double kMinTimeOfThreads = 0.5;

void RegisterToCalendarTime(const std::string& variant, const std::vector<TimePoint>& ring, TimeZone zone, int threads,
                            bool compared_with_threads) {
  const auto expect = [&ring, zone](std::size_t i, const std::tm& tm) {
    return SameCalendarTime(tm, LibcCalendarTime(WholeSeconds(ring[i]), zone));
  };
  const std::string name = "ToCalendarTime/" + variant;
  const char* const libc = zone == TimeZone::UTC ? "gmtime_r" : "localtime_r";
  for (auto* benchmark : {
           RegisterMeasure(
               name + "/orvik", ring, [zone](TimePoint t) { return ToCalendarTime(t, zone); }, expect),
           RegisterMeasure(
               name + "/" + libc, ring, [zone](TimePoint t) { return LibcCalendarTime(WholeSeconds(t), zone); },
               expect),
       }) {
    // Two threads need longer runs than the suite's default for a steady
    // figure (starting and joining them weighs on short ones), and so does
    // the one-thread row they are compared with.
    if (threads > 1) benchmark->Threads(threads)->UseRealTime();
    if (compared_with_threads) benchmark->MinTime(kMinTimeOfThreads);
  }
}

void RegisterFileTimePointToSystemTimePoint() {
  const auto& ring = RandomSeconds();
  const auto expect = [&ring](std::size_t i, TimePoint t) { return t == FromSeconds(ring[i]); };
  RegisterMeasure("FileTimePointToSystemTimePoint/random/orvik", ring, FileTimePointToSystemTimePoint, expect);
  RegisterMeasure(
      "FileTimePointToSystemTimePoint/random/std_chrono", ring,
      [](long seconds) { return TimePoint(std::chrono::system_clock::from_time_t(seconds)); }, expect);
}

}  // namespace

void RegisterCalendarBenchmarks() {
  RegisterToCalendarTime("utc_hit", SameHourInstants(), TimeZone::UTC, 1, true);
  RegisterToCalendarTime("local_hit", SameHourInstants(), TimeZone::Local, 1, true);
  RegisterToCalendarTime("utc_refill", RandomInstants(), TimeZone::UTC, 1, false);
  RegisterToCalendarTime("local_refill", RandomInstants(), TimeZone::Local, 1, false);
  RegisterToCalendarTime("utc_hit_2_threads", SameHourInstants(), TimeZone::UTC, 2, true);
  RegisterToCalendarTime("local_hit_2_threads", SameHourInstants(), TimeZone::Local, 2, true);
  RegisterFileTimePointToSystemTimePoint();
}

}  // namespace orvik::chrono::bench
