// The hour cache's cost in localtime_r calls, counted by a localtime_r of this
// executable that forwards to libc's, and its results, libc's, while one
// thread publishes hours that others read.

#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "calendar_reference.h"

namespace {
std::atomic<int> localtime_calls{0};
}  // namespace

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): libc's are reserved names.
extern "C" std::tm* localtime_r(const std::time_t* seconds, std::tm* out) noexcept {
  using Libc = std::tm* (*)(const std::time_t*, std::tm*);
  static const auto libc = reinterpret_cast<Libc>(::dlsym(RTLD_NEXT, "localtime_r"));
  localtime_calls.fetch_add(1);
  return libc(seconds, out);
}

namespace orvik::chrono::testing {
namespace {

constexpr std::int64_t kHourAt = 1709622000 * kSecond;  // 2024-03-05T07:00:00Z

// localtime_r calls made by `calls`.
template <typename Calls>
int CountLocaltime(Calls calls) {
  const int before = localtime_calls.load();
  calls();
  return localtime_calls.load() - before;
}

void EachSecondOfHour(std::int64_t start, bool with_utc) {
  for (std::int64_t t = start; t < start + kHour; t += kSecond) {
    ToCalendarTime(At(t), TimeZone::Local);
    if (with_utc) ToCalendarTime(At(t), TimeZone::UTC);
  }
}

TEST(HourCache, CachesStreamsAndNotRandomInstants) {
  // A UTC hour spans two local hours in zones of half and quarter hours.
  const int one_zone = CountLocaltime([] { EachSecondOfHour(kHourAt, false); });
  EXPECT_LE(one_zone, 8);
  EXPECT_EQ(CountLocaltime([] { EachSecondOfHour(kHourAt + 24 * kHour, true); }), one_zone);

  std::mt19937_64 random(20);
  for (auto instants : {std::uniform_int_distribution<std::int64_t>(0, 4102444800 * kSecond),
                        std::uniform_int_distribution<std::int64_t>(-2208988800 * kSecond, -1)}) {
    int expected = 0;
    std::vector<TimePoint> ring(2000);
    for (TimePoint& t : ring) {
      t = At(instants(random));
      // Inside a second before 1970, the second above the one shown is looked
      // up too where it may start an hour.
      const std::int64_t count = t.time_since_epoch().count();
      const bool inside = count < 0 && count % kSecond != 0;
      const std::tm shown = Libc(count / kSecond - (inside ? 1 : 0), TimeZone::Local);
      const bool may_end_hour = (shown.tm_min == 59 && shown.tm_sec >= 59) || shown.tm_gmtoff % 3600 != 0;
      expected += inside && may_end_hour ? 2 : 1;
    }
    EXPECT_EQ(CountLocaltime([&ring] {
                for (const TimePoint t : ring) {
                  ToCalendarTime(t, TimeZone::UTC);  // a miss in the other zone, in the same quarter hour
                  ToCalendarTime(t, TimeZone::Local);
                }
              }),
              expected);
  }
}

auto Fields(const std::tm& t) {
  return std::tie(t.tm_sec, t.tm_min, t.tm_hour, t.tm_mday, t.tm_mon, t.tm_year, t.tm_wday, t.tm_yday, t.tm_isdst,
                  t.tm_gmtoff);
}

bool SameFields(const std::tm& a, const std::tm& b) {
  return Fields(a) == Fields(b) && std::strcmp(a.tm_zone, b.tm_zone) == 0;
}

// One thread publishes two hours of each zone in turn while two others read
// them, and instants anywhere (around hour starts, before 1970 inside a
// second): a reader that took an hour while it is being rewritten would show
// one hour's fields in the other's seconds.
TEST(HourCache, ThreadsMatchLibcWhileHoursArePublished) {
  const std::int64_t hours[] = {kHourAt + 48 * kHour, -946684800 * kSecond};  // 2024-03-07T07Z, 1940-01-01T00Z
  std::vector<std::tm> expected;
  for (const std::int64_t hour : hours) {
    for (const TimeZone zone : {TimeZone::Local, TimeZone::UTC}) {
      for (std::int64_t s = 0; s < 3600; ++s) expected.push_back(Libc(hour / kSecond + s, zone));
    }
  }
  std::atomic<bool> stop{false};
  std::thread publisher([&] {
    for (std::uint64_t i = 0; !stop.load(); ++i) {
      const TimeZone zone = i % 4 < 2 ? TimeZone::UTC : TimeZone::Local;
      ToCalendarTime(At(hours[i / 4 % 2] + kSecond * static_cast<std::int64_t>(i % 2)), zone);
    }
  });
  std::vector<int> mismatches(2);
  std::vector<std::thread> readers;
  for (std::size_t id = 0; id < mismatches.size(); ++id) {
    readers.emplace_back([&, id] {
      std::mt19937_64 random(id);
      for (int i = 0; i < 300000; ++i) {
        const std::size_t at = random() % expected.size();
        const TimeZone zone = at / 3600 % 2 == 0 ? TimeZone::Local : TimeZone::UTC;
        if (i % 8 == 0) {
          const auto t = static_cast<std::int64_t>(random());
          const std::int64_t near_hour = t / kHour * kHour + static_cast<std::int64_t>(random() % 5) * kSecond / 2;
          mismatches[id] += MatchesLibc(At(i % 16 == 0 ? t : near_hour - kSecond), zone) ? 0 : 1;
          continue;
        }
        const auto t = At(hours[at / 7200] + static_cast<std::int64_t>(at % 3600) * kSecond);
        if (!SameFields(ToCalendarTime(t, zone), expected[at])) ++mismatches[id];
      }
    });
  }
  for (std::thread& reader : readers) reader.join();
  stop.store(true);
  publisher.join();
  for (const int m : mismatches) EXPECT_EQ(m, 0);
}

}  // namespace
}  // namespace orvik::chrono::testing
