// Local time from the zone tables beside localtime_r, the oracle, in a
// process that sets its zone itself: every TZif file of the installed tz
// database around each change and leap second and at random seconds, TZ
// values read by glibc's rules, changes of the environment and of
// /etc/localtime, threads, and the cases left to localtime_r, whose calls a
// localtime_r of this executable counts.

#include <orvik/chrono/chrono.h>

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/auxv.h>
#include <sys/mount.h>

#include <atomic>
#include <barrier>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "civil/time_units.h"

namespace {
std::atomic<int> localtime_calls{0};
}  // namespace

// Exported, so that the library's calls resolve to it.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): libc's are reserved names.
extern "C" __attribute__((visibility("default"))) std::tm* localtime_r(const std::time_t* seconds,
                                                                       std::tm* out) noexcept {
  using Libc = std::tm* (*)(const std::time_t*, std::tm*);
  static const auto libc = reinterpret_cast<Libc>(::dlsym(RTLD_NEXT, "localtime_r"));
  localtime_calls.fetch_add(1);
  return libc(seconds, out);
}

namespace orvik::chrono {
namespace {

constexpr std::int64_t kSecond = internal::kNanosecondsPerSecond;

TimePoint At(std::int64_t nanoseconds) { return TimePoint(std::chrono::nanoseconds(nanoseconds)); }

// Every std::tm member, for comparison.
std::string Describe(const std::tm& tm) {
  char text[128];
  std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d wday %d yday %d isdst %d gmtoff %ld %s",
                tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday, tm.tm_yday,
                tm.tm_isdst, tm.tm_gmtoff, tm.tm_zone == nullptr ? "-" : tm.tm_zone);
  return text;
}

// The instant `s` seconds after the epoch as ToIso8601 writes it locally.
std::string Shown(std::int64_t s) { return ToIso8601(At(s * kSecond), Iso8601Format::Extended, TimeZone::Local); }

// TZ and TZDIR as given, nullptr unsetting them, read by libc too.
void SetZone(const char* tz, const char* tzdir = nullptr) {
  for (const auto& [name, value] : {std::pair{"TZ", tz}, std::pair{"TZDIR", tzdir}}) {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): no other thread runs
    if ((value == nullptr ? ::unsetenv(name) : ::setenv(name, value, 1)) != 0) ADD_FAILURE() << name;
  }
  ::tzset();
}

// Seconds anywhere in the range, in 1900 to 2100, around new years (where
// glibc's rules take the UTC year), and each half hour of two days of 2024.
std::vector<std::int64_t> RandomSeconds(std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::int64_t> anywhere(internal::kMinTimePointSeconds, internal::kMaxTimePointSeconds);
  std::uniform_int_distribution<std::int64_t> modern(-2208988800, 4102444800);
  std::vector<std::int64_t> seconds;
  for (int i = 0; i < 100; ++i) {
    seconds.push_back(anywhere(random));
    seconds.push_back(modern(random));
    seconds.push_back(modern(random) / 31556952 * 31556952 + modern(random) % 172800);
    seconds.push_back(1709269200 + i * 1800);  // from 2024-03-01T05:00Z, where J60 changes in a leap year
  }
  return seconds;
}

// ToCalendarTime of each whole second against localtime_r, and whether the
// library called localtime_r for them.
::testing::AssertionResult MatchLibc(const std::vector<std::int64_t>& seconds, bool calls_libc) {
  const int before = localtime_calls.load();
  std::vector<std::string> shown;
  shown.reserve(seconds.size());
  for (const std::int64_t s : seconds) shown.push_back(Describe(ToCalendarTime(At(s * kSecond), TimeZone::Local)));
  if ((localtime_calls.load() != before) != calls_libc) return ::testing::AssertionFailure() << "localtime_r calls";
  for (std::size_t i = 0; i < seconds.size(); ++i) {
    std::tm libc{};
    if (shown[i] != Describe(*localtime_r(&seconds[i], &libc))) {
      return ::testing::AssertionFailure() << seconds[i] << ": " << shown[i];
    }
  }
  return ::testing::AssertionSuccess();
}

// The transitions and leap seconds of a TZif file's 64-bit block, or nothing
// for a version 1 file; false for a file that is no TZif. Each leap second's
// time and correction also go to `leaps`, when given.
bool Changes(const std::filesystem::path& path, std::vector<std::int64_t>& changes,
             std::vector<std::pair<std::int64_t, std::int64_t>>* leaps = nullptr) {
  std::ifstream file(path, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const auto number = [&data](std::size_t at, std::size_t width) {  // big-endian, signed
    std::int64_t value = (static_cast<unsigned char>(data.at(at)) & 0x80U) != 0 ? -1 : 0;
    for (std::size_t i = 0; i < width; ++i) value = value * 256 + static_cast<unsigned char>(data.at(at + i));
    return value;
  };
  if (data.size() < 44 || data.compare(0, 4, "TZif") != 0) return false;
  if (data[4] == '\0') return true;
  const auto count = [&](std::size_t at, std::size_t i) {
    return static_cast<std::size_t>(number(at + 20 + 4 * i, 4));
  };
  const std::size_t header =
      44 + count(0, 3) * 5 + count(0, 4) * 6 + count(0, 5) + count(0, 2) * 8 + count(0, 1) + count(0, 0);
  const std::size_t times = count(header, 3);
  for (std::size_t i = 0; i < times; ++i) changes.push_back(number(header + 44 + 8 * i, 8));
  const std::size_t leap_records = header + 44 + times * 9 + count(header, 4) * 6 + count(header, 5);
  for (std::size_t i = 0; i < count(header, 2); ++i) {
    changes.push_back(number(leap_records + 12 * i, 8));
    if (leaps != nullptr) leaps->emplace_back(changes.back(), number(leap_records + 12 * i + 8, 4));
  }
  return true;
}

TEST(LocalTime, EveryZoneFileAroundEveryChange) {
  std::size_t zones = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator("/usr/share/zoneinfo")) {
    std::vector<std::int64_t> seconds = RandomSeconds(zones);
    if (!entry.is_regular_file() || entry.is_symlink() || !Changes(entry.path(), seconds)) continue;
    for (const std::int64_t change : std::vector(seconds.begin() + 400, seconds.end())) {
      for (std::int64_t s = change - 2; s <= change + 2; ++s) {
        if (s >= internal::kMinTimePointSeconds && s <= internal::kMaxTimePointSeconds) seconds.push_back(s);
      }
    }
    SetZone(entry.path().c_str());
    ASSERT_EQ(CurrentLocalZone().Source, LocalZoneSource::TzifFile) << entry.path();
    ASSERT_TRUE(MatchLibc(seconds, false)) << entry.path();
    // The zone by its name, from the same file, as localtime_r under TZ.
    const std::string name = entry.path().lexically_relative("/usr/share/zoneinfo").string();
    const Zone zone = LoadZone(name);
    ASSERT_EQ(zone.Name(), name);
    for (const std::int64_t s : seconds) {
      std::tm libc{};
      ASSERT_EQ(Describe(ToCalendarTime(At(s * kSecond), zone)), Describe(*localtime_r(&s, &libc))) << name << " " << s;
    }
    ++zones;
  }
  EXPECT_GT(zones, 800U);
}

TEST(LocalTime, TzValuesAsGlibcReadsThem) {
  std::filesystem::path malformed = std::filesystem::temp_directory_path() / "orvik_zone_test_malformed";
  std::ofstream(malformed) << std::string("TZif2") + std::string(39, '\0');
  // Two types, both summer time, +01:00 and +02:00, and no transition: the first holds throughout.
  const std::filesystem::path all_dst = std::filesystem::temp_directory_path() / "orvik_zone_test_all_dst";
  const std::string block = "TZif2" + std::string(34, '\0') + "\2" + std::string(3, '\0') + "\10" +
                            std::string("\0\0\16\20\1\0\0\0\34\40\1\4AAA\0BBB\0", 20);
  std::ofstream(all_dst) << block + block + "\n\n";
  // Version 1 files of one type, +01:00, of 1 MiB and of one byte more, in
  // characters of abbreviations.
  const std::filesystem::path mib = std::filesystem::temp_directory_path() / "orvik_zone_test_mib";
  const std::filesystem::path over = std::filesystem::temp_directory_path() / "orvik_zone_test_over_mib";
  for (const auto& [path, size] : {std::pair{mib, std::size_t{1} << 20}, std::pair{over, (std::size_t{1} << 20) + 1}}) {
    const std::size_t chars = size - 50;
    std::string count;
    for (const int shift : {24, 16, 8, 0}) count += static_cast<char>((chars >> shift) & 0xFFU);
    std::ofstream(path, std::ios::binary) << "TZif" + std::string(35, '\0') + "\1" + count +
                                                 std::string("\0\0\16\20\0\0ABC", 9) + std::string(chars - 3, '\0');
  }
  using Source = LocalZoneSource;
  const struct {
    const char* Tz;
    const char* Tzdir;
    Source Expected;
    std::string Name;
  } kCases[] = {
      {nullptr, nullptr, Source::TzifFile, "/etc/localtime"},
      {"", nullptr, Source::TzifFile, "/usr/share/zoneinfo/Universal"},
      {":", nullptr, Source::Unreadable, ":"},  // no name: UTC
      {":Europe/Berlin", nullptr, Source::TzifFile, "/usr/share/zoneinfo/Europe/Berlin"},
      {"/usr/share/zoneinfo/right/Asia/Kolkata", nullptr, Source::TzifFile, "/usr/share/zoneinfo/right/Asia/Kolkata"},
      {"Europe/Berlin", "/usr/share/zoneinfo/right", Source::TzifFile, "/usr/share/zoneinfo/right/Europe/Berlin"},
      {"Europe/Dublin", "", Source::TzifFile, "/usr/share/zoneinfo/Europe/Dublin"},  // summer time below standard
      {"Universal", "/nonexistent", Source::Unreadable, "Universal"},                // "Universal" at offset 0
      {"Invalid/Zone", nullptr, Source::Unreadable, "Invalid/Zone"},                 // "Invalid" at offset 0
      {"xx", nullptr, Source::Unreadable, "xx"},                                     // "" at offset 0
      {"/usr/share/zoneinfo/zone.tab", nullptr, Source::Unreadable, "/usr/share/zoneinfo/zone.tab"},  // no TZif
      {"EST5 ", nullptr, Source::Unreadable, "EST5 "},  // summer time "" at 0, after the new year's first hours
      {"EST5EDT,garbage", nullptr, Source::Unreadable, "EST5EDT,garbage"},  // zeroed rules: summer time but then
      {"CET-1CEST,M3.5.0,M10.5.0/3", nullptr, Source::PosixRule, "CET-1CEST,M3.5.0,M10.5.0/3"},
      {"<+0530>-5:30", nullptr, Source::PosixRule, "<+0530>-5:30"},  // other rules: the zone fuzz corpus
      {"EST5EDT,J1/0,J365/25", nullptr, Source::PosixRule, "EST5EDT,J1/0,J365/25"},  // J counts from 1
      {"AAA3BBB", nullptr, Source::Libc, "AAA3BBB"},                                 // posixrules
      {"EST5EDT,M13.1.0", nullptr, Source::Libc, "EST5EDT,M13.1.0"},                 // a month past the table
      {all_dst.c_str(), nullptr, Source::TzifFile, all_dst.string()},
      {malformed.c_str(), nullptr, Source::Libc, malformed.string()},
      {mib.c_str(), nullptr, Source::TzifFile, mib.string()},
      {over.c_str(), nullptr, Source::Libc, over.string()},  // over 1 MiB
  };
  for (const auto& c : kCases) {
    SetZone(c.Tz, c.Tzdir);
    const LocalZone zone = CurrentLocalZone();
    EXPECT_EQ(zone.Source, c.Expected) << c.Name;
    EXPECT_EQ(zone.Name, c.Name);
    EXPECT_TRUE(MatchLibc(RandomSeconds(7), c.Expected == Source::Libc)) << c.Name;
  }
  for (const auto& path : {malformed, all_dst, mib, over}) std::filesystem::remove(path);
}

// A rule's Jn days skip 29 February in leap years only: 2000 is one, 2100 and
// 2200 are not.
TEST(LocalTime, JulianDaysOfARuleInCenturyYears) {
  SetZone("<-03>3<-02>,J60,J300");
  ASSERT_EQ(CurrentLocalZone().Source, LocalZoneSource::PosixRule);
  std::vector<std::int64_t> seconds;
  for (const std::int64_t march :
       {std::int64_t{951868800}, std::int64_t{4107542400}, std::int64_t{7263216000}}) {  // 1 March 2000, 2100, 2200
    for (std::int64_t s = march - 86400; s < march + 172800; s += 1800) seconds.push_back(s);
  }
  EXPECT_TRUE(MatchLibc(seconds, false));
}

// TZ set with no tzset lands in the place of the last entry after an unsetenv
// of another variable, so that the array and its count stay as they were;
// the next local call that the cache does not serve answers for it.
TEST(LocalTime, SeesTzSetInThePlaceOfTheLastEntry) {
  SetZone(nullptr);
  ToCalendarTime(TimePoint::min(), TimeZone::Local);     // ends the cached local hour
  ::setenv("ORVIK_ZONE_TEST_A", "1", 1);                 // NOLINT(concurrency-mt-unsafe)
  ::setenv("ORVIK_ZONE_TEST_B", "1", 1);                 // NOLINT(concurrency-mt-unsafe)
  EXPECT_EQ(Shown(1709622489), "2024-03-05T07:08:09Z");  // a miss, which looks at the environment
  ::unsetenv("ORVIK_ZONE_TEST_A");                       // NOLINT(concurrency-mt-unsafe)
  ::setenv("TZ", "Asia/Kolkata", 1);                     // NOLINT(concurrency-mt-unsafe)
  EXPECT_EQ(Shown(1709622489 + 7200), "2024-03-05T14:38:09+05:30");
  ::unsetenv("ORVIK_ZONE_TEST_B");  // NOLINT(concurrency-mt-unsafe)
  SetZone(nullptr);
  EXPECT_EQ(Shown(1709622489 + 14400), "2024-03-05T11:08:09Z");
}

// A putenv string written in place keeps every entry where it was: its text,
// compared at the next local miss, tells the new zone, as tzset tells libc.
TEST(LocalTime, SeesAPutenvStringWrittenInPlace) {
  static char entry[] = "TZ=Europe/Berlin\0\0\0\0";
  ::putenv(entry);  // NOLINT(concurrency-mt-unsafe)
  ::tzset();
  EXPECT_EQ(Shown(1709622489), "2024-03-05T08:08:09+01:00");
  std::strcpy(entry, "TZ=Asia/Kolkata");  // NOLINT(clang-analyzer-security.insecureAPI.strcpy)
  ::tzset();
  EXPECT_EQ(Shown(1709622489 + 7200), "2024-03-05T14:38:09+05:30");
  SetZone(nullptr);
}

// A zone's file is read again when TZ names it again after it has changed.
TEST(LocalTime, ReadsAChangedFileWhenTzNamesItAgain) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "orvik_zone_test_file";
  std::filesystem::copy_file("/usr/share/zoneinfo/Europe/Berlin", path.string() + "~");
  std::filesystem::rename(path.string() + "~", path);
  SetZone(path.c_str());
  EXPECT_EQ(Shown(1709622489), "2024-03-05T08:08:09+01:00");
  SetZone("UTC");
  EXPECT_EQ(Shown(1709622489 + 7200), "2024-03-05T09:08:09Z");
  std::filesystem::copy_file("/usr/share/zoneinfo/Asia/Kolkata", path.string() + "~");
  std::filesystem::rename(path.string() + "~", path);  // a new file in its place
  SetZone(path.c_str());
  EXPECT_EQ(Shown(1709622489 + 14400), "2024-03-05T16:38:09+05:30");
  std::filesystem::remove(path);
}

// After a change of the zone setting, each thread's cached local hour may
// answer for the old zone until that thread's own next local miss: the other
// thread's misses and its own UTC calls leave it as it was.
TEST(LocalTime, EachThreadsZoneChangeWindowEndsAtItsOwnLocalMiss) {
  const std::int64_t t0 = 1720163289;  // 2024-07-05T07:08:09Z, Berlin +02:00
  const auto cache_hour = [&] {
    Shown(t0);
    Shown(t0 + 1);
  };
  SetZone("Europe/Berlin");
  std::barrier step(2);
  std::thread other([&] {
    cache_hour();
    step.arrive_and_wait();  // the zone changes; the first thread misses
    step.arrive_and_wait();
    ToCalendarTime(At((t0 + 3600) * kSecond), TimeZone::UTC);
    EXPECT_EQ(Shown(t0 + 2), "2024-07-05T09:08:11+02:00");
    Shown(t0 + 3600);
    EXPECT_EQ(Shown(t0 + 2), "2024-07-05T12:38:11+05:30");
  });
  cache_hour();
  step.arrive_and_wait();
  SetZone("Asia/Kolkata");
  Shown(t0 - 3600);
  EXPECT_EQ(Shown(t0 + 2), "2024-07-05T12:38:11+05:30");
  step.arrive_and_wait();
  other.join();
}

// With TZ unset, a replaced /etc/localtime is in force at the first local
// miss in a later second than the thread's last look. Replaced in a mount
// namespace of the process's own: root's, or else one of a user namespace of
// its own (the process has one thread here).
TEST(LocalTime, FollowsAReplacedEtcLocaltime) {
  ASSERT_TRUE(::unshare(CLONE_NEWNS) == 0 || ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0) << "no mount namespace";
  ASSERT_EQ(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
  SetZone(nullptr);
  const std::string utc = Shown(1709622489);
  ASSERT_EQ(::mount("/usr/share/zoneinfo/Asia/Kolkata", "/etc/localtime", nullptr, MS_BIND, nullptr), 0);
  const std::time_t replaced = std::time(nullptr);
  while (std::time(nullptr) == replaced) std::this_thread::yield();
  EXPECT_EQ(Shown(1709622489 + 7200), "2024-03-05T14:38:09+05:30") << "before: " << utc;
  EXPECT_EQ(::umount2("/etc/localtime", MNT_DETACH), 0);
}

// The strict reader takes second 60 on the days of 1970 to 2030 that ended
// with a leap second in tzdata's right/UTC, whose record is the time at which
// a correction of one more second holds, and on no other day.
TEST(StrictReaders, Second60OnTzdatasLeapSecondDays) {
  std::vector<std::int64_t> changes;
  std::vector<std::pair<std::int64_t, std::int64_t>> leaps;
  ASSERT_TRUE(Changes("/usr/share/zoneinfo/right/UTC", changes, &leaps));
  ASSERT_FALSE(leaps.empty());
  std::set<std::int64_t> expected;
  std::int64_t correction = 0;
  for (const auto& [at, next] : leaps) {
    if (next == correction + 1) expected.insert((at - correction) / 86400 - 1);
    correction = next;
  }
  std::set<std::int64_t> read;
  for (std::time_t day = 0; day < 22281; ++day) {  // to 2030-12-31
    const std::time_t second = day * 86400;
    std::tm tm{};
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT23:59:60Z", gmtime_r(&second, &tm));
    if (TryFromIso8601Strict(text)) read.insert(day);
  }
  EXPECT_EQ(read, expected);
}

// UTC's calendar, which this library computes, beside gmtime_r's in a zone
// without leap seconds: every day of the time point range (1677-09-21 to
// 2262-04-11) at a second and a nanosecond that move from day to day, and
// the first and last instants. The calendar time, the HTTP date and both
// nanosecond layouts, as strftime writes that calendar time.
TEST(UtcCalendar, EveryDayOfTheRangeAsGmtimeShowsIt) {
  SetZone("UTC0");
  const auto check = [](std::int64_t count) {
    const std::int64_t nanoseconds = (count % kSecond + kSecond) % kSecond;
    const std::time_t second = count / kSecond - (count % kSecond < 0 ? 1 : 0);  // floored
    std::tm tm{};
    ASSERT_NE(gmtime_r(&second, &tm), nullptr) << count;
    char date[32];
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%09lldZ", static_cast<long long>(nanoseconds));
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &tm);
    ASSERT_EQ(ToIso8601(At(count), Iso8601Format::ExtendedNanoseconds, TimeZone::UTC), date + std::string(fraction));
    std::strftime(date, sizeof date, "%Y%m%dT%H%M%S", &tm);
    ASSERT_EQ(ToIso8601(At(count), Iso8601Format::BasicNanoseconds, TimeZone::UTC), date + std::string(fraction));
    if (nanoseconds != 0 && count < 0) return;  // truncated toward zero below
    ASSERT_EQ(Describe(ToCalendarTime(At(count), TimeZone::UTC)), Describe(tm)) << count;
    std::strftime(date, sizeof date, "%a, %d %b %Y %H:%M:%S GMT", &tm);
    ASSERT_EQ(ToHttpDate(At(count)), date);
  };
  check(std::numeric_limits<std::int64_t>::min());
  check(std::numeric_limits<std::int64_t>::max());
  for (std::int64_t day = -106751; day <= 106750; ++day) {
    const std::int64_t second = day * 86400 + (day * 7919 % 86400 + 86400) % 86400;
    check(second * kSecond);
    check(second * kSecond + (day * 104729 % kSecond + kSecond) % kSecond);
  }
}

// Run setuid by tests/zone_setuid.sh: glibc restricts TZ's names there, and
// the library leaves the zone to it.
TEST(LocalTime, DISABLED_LeavesASetuidProgramToLibc) {
  ASSERT_NE(::getauxval(AT_SECURE), 0U);
  SetZone("Europe/Berlin");
  EXPECT_EQ(CurrentLocalZone().Source, LocalZoneSource::Libc);
  EXPECT_TRUE(MatchLibc(RandomSeconds(3), true));
}

}  // namespace
}  // namespace orvik::chrono
