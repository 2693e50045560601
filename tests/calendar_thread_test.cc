// Eight threads share the hour cache across hour boundaries and both zones;
// every result must still be libc's.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "calendar_reference.h"

namespace orvik::chrono {
namespace {

using testing::kSecond;

TEST(ToCalendarTime, ThreadsAcrossHoursAndZones) {
  constexpr int kThreads = 8;
  constexpr int kCalls = 20000;
  std::array<int, kThreads> mismatches{};
  std::vector<std::thread> threads;
  threads.reserve(kThreads);
  for (int id = 0; id < kThreads; ++id) {
    threads.emplace_back([id, &mismatches] {
      std::mt19937_64 random(static_cast<std::uint64_t>(id));
      // 1970 to 2040, in steps that cross hours often: every thread walks its
      // own path, so the cache keeps changing hands.
      std::int64_t t = 1711843200 * kSecond + std::int64_t{id} * 977 * kSecond;
      for (int i = 0; i < kCalls; ++i) {
        t += static_cast<std::int64_t>(random() % (1800 * kSecond));
        if (random() % 50 == 0) t = static_cast<std::int64_t>(random() % (2208988800ULL * kSecond));
        const TimeZone zone = (random() & 1U) != 0 ? TimeZone::UTC : TimeZone::Local;
        const TimePoint point = testing::Nanoseconds(i % 7 == 0 ? -t : t);
        if (!testing::MatchesLibc(point, zone, ToCalendarTime(point, zone))) ++mismatches.at(static_cast<size_t>(id));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int id = 0; id < kThreads; ++id) EXPECT_EQ(mismatches.at(static_cast<size_t>(id)), 0) << "thread " << id;
}

}  // namespace
}  // namespace orvik::chrono
