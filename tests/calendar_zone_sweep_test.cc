// Every zone of the installed tz database, around each of its transitions:
// whatever hour the cache holds, ToCalendarTime answers as localtime_r does.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "calendar_reference.h"

namespace orvik::chrono {
namespace {

using testing::kHour;
using testing::kSecond;
using testing::MatchesLibc;
using testing::Nanoseconds;

constexpr std::int64_t kRangeSeconds = 9223372035;

std::int64_t BigEndian(const std::string& data, std::size_t at, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = value << 8U | static_cast<unsigned char>(data.at(at + i));
  if (width == 4) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  return static_cast<std::int64_t>(value);
}

// Transition times of a TZif file (the 64-bit block where there is one); an
// empty list for files that are not TZif.
std::vector<std::int64_t> Transitions(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  constexpr std::size_t kHeader = 44;
  if (data.size() < kHeader || data.compare(0, 4, "TZif") != 0) return {};
  auto count = [&](std::size_t header, int index) {
    return static_cast<std::size_t>(BigEndian(data, header + 20 + 4 * static_cast<std::size_t>(index), 4));
  };
  std::size_t header = 0;
  std::size_t width = 4;
  if (data[4] >= '2') {
    const std::size_t v1_size =
        count(0, 3) * 5 + count(0, 4) * 6 + count(0, 5) + count(0, 2) * 8 + count(0, 1) + count(0, 0);
    header = kHeader + v1_size;
    width = 8;
  }
  std::vector<std::int64_t> times;
  for (std::size_t i = 0; i < count(header, 3); ++i) {
    times.push_back(BigEndian(data, header + kHeader + i * width, width));
  }
  return times;
}

TEST(ToCalendarTime, EveryZoneAroundEveryTransition) {
  const std::filesystem::path root = "/usr/share/zoneinfo";
  ASSERT_TRUE(std::filesystem::is_directory(root)) << "the tz database is not installed";
  std::size_t zones = 0;
  std::size_t checked = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string name = std::filesystem::relative(entry.path(), root).string();
    if (!entry.is_regular_file() || entry.is_symlink() || name.starts_with("posix") || name.starts_with("right")) {
      continue;
    }
    const std::vector<std::int64_t> transitions = Transitions(entry.path());
    if (transitions.empty()) continue;
    ::setenv("TZ", name.c_str(), 1);
    ::tzset();
    ++zones;
    testing::CacheUtcHour();
    for (const std::int64_t transition : transitions) {
      if (transition < -kRangeSeconds || transition > kRangeSeconds) continue;
      const std::int64_t at = transition * kSecond;
      for (const std::int64_t warm : {-kHour, -kHour / 2, -1L, 0L}) {
        ToCalendarTime(Nanoseconds(at + warm), TimeZone::Local);
        for (const std::int64_t delta : {-kHour, -kSecond - 1, -kSecond / 2, 0L, 1L, kSecond / 2, kHour / 2}) {
          const TimePoint t = Nanoseconds(at + delta);
          ASSERT_TRUE(MatchesLibc(t, TimeZone::Local, ToCalendarTime(t, TimeZone::Local))) << name;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(zones, 300U);
  std::printf("%zu zones, %zu instants checked\n", zones, checked);
}

}  // namespace
}  // namespace orvik::chrono
