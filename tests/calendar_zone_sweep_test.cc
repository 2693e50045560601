// Call sequences across changes of the process's zone setting: every zone of
// the installed tz database around each of its transitions, and leap seconds
// of the right/ zones.

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "calendar_reference.h"

namespace orvik::chrono::testing {
namespace {

// Transition times in the 64-bit block of a TZif file of version 2 or later;
// none for other files.
std::vector<std::int64_t> Transitions(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const auto number = [&data](std::size_t at, std::size_t width) {  // big-endian, signed
    std::int64_t value = (static_cast<unsigned char>(data.at(at)) & 0x80U) != 0 ? -1 : 0;
    for (std::size_t i = 0; i < width; ++i) value = value * 256 + static_cast<unsigned char>(data.at(at + i));
    return value;
  };
  if (data.size() < 44 || data.compare(0, 4, "TZif") != 0 || data[4] < '2') return {};
  const auto count = [&](std::size_t i) { return static_cast<std::size_t>(number(20 + 4 * i, 4)); };
  const std::size_t header = 44 + count(3) * 5 + count(4) * 6 + count(5) + count(2) * 8 + count(1) + count(0);
  std::vector<std::int64_t> times(static_cast<std::size_t>(number(header + 32, 4)));
  for (std::size_t i = 0; i < times.size(); ++i) times[i] = number(header + 44 + 8 * i, 8);
  return times;
}

TEST(ToCalendarTime, EveryZoneAroundEveryTransition) {
  const std::filesystem::path root = "/usr/share/zoneinfo";
  std::size_t zones = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string name = std::filesystem::relative(entry.path(), root).string();
    if (!entry.is_regular_file() || entry.is_symlink() || name.starts_with("posix")) continue;
    const std::vector<std::int64_t> transitions = Transitions(entry.path());
    if (transitions.empty()) continue;
    UseZone(name.c_str());
    ++zones;
    for (const std::int64_t transition : transitions) {
      if (transition < -9223372035 || transition > 9223372035) continue;
      for (const std::int64_t warm : {-kHour, -1L, 0L}) {
        ToCalendarTime(At(transition * kSecond + warm), TimeZone::Local);
        for (const std::int64_t delta : {-kHour, -kSecond - 1, -kSecond / 2, 0L, kSecond / 2, kHour / 2}) {
          ASSERT_TRUE(MatchesLibc(At(transition * kSecond + delta), TimeZone::Local)) << name;
        }
      }
    }
  }
  EXPECT_GT(zones, 500U);
}

// 2016-12-31T23:59:60Z is second 1483228826 of the right/ zones, which count
// leap seconds; UTC stays POSIX time, which does not. In Kolkata it falls
// inside a local hour (05:29:60): two misses after it must not cache an hour
// that starts a second late.
TEST(ToCalendarTime, LeapSecondAfterAMissInItsHour) {
  for (const char* tz : {"right/UTC", "right/Europe/Berlin", "right/Asia/Kolkata"}) {
    UseZone(tz);
    for (const std::int64_t s :
         {1483228816L, 1483228826L, 1483228827L, 1483228825L, 1483229426L, 1483229427L, 1483228226L, 1483228227L}) {
      EXPECT_TRUE(MatchesLibc(At(s * kSecond), TimeZone::Local)) << tz;
    }
    EXPECT_EQ(ToIso8601(At(1483228800 * kSecond), Iso8601Format::Extended, TimeZone::UTC), "2017-01-01T00:00:00Z");
    // The pointer itself, libc's text: a std::tm may outlive the library that filled it.
    EXPECT_EQ(ToCalendarTime(At(kSecond), TimeZone::UTC).tm_zone, Libc(0, TimeZone::UTC).tm_zone);
  }
  EXPECT_EQ(ToIso8601(At(1483228826 * kSecond), TimeZone::Local), "2017-01-01T05:29:60.000000000+05:30");
}

}  // namespace
}  // namespace orvik::chrono::testing
