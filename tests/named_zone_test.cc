// Zones by name: hostile names refused with their messages and never opened
// outside the zone directory, wall-clock times around changes with every
// answer and message, ISO 8601 text in a zone, and loads from many threads.
// The sweeps against localtime_r and Python's zoneinfo are in zone_test.cc
// and oracles/civil_time_oracle.py.

#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "outcome.h"

namespace orvik::chrono {
namespace {

std::string Loaded(std::string_view name) {
  const ZoneLoad load = TryLoadZone(name);
  return load ? "loaded " + std::string(load.zone.Name()) : ZoneErrorMessage(load.error, name);
}

TEST(NamedZones, RefuseHostileNamesWithTheirMessages) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("orvik_zones_" + std::to_string(::getpid()));
  fs::create_directories(dir / "Good");
  fs::copy_file("/usr/share/zoneinfo/Europe/Berlin", dir / "Good/Zone");
  fs::create_symlink("Good/Zone", dir / "Link");                // a link beneath: followed
  fs::create_symlink("../Good/Zone", dir / "Good/Up");          // up and back beneath
  fs::create_symlink("/etc/passwd", dir / "Passwd");            // out of the directory
  fs::create_symlink("../../../../../../../etc", dir / "Etc");  // a directory out of it
  fs::create_symlink("/dev/zero", dir / "Zero");
  ASSERT_EQ(::mkfifo((dir / "Fifo").c_str(), 0600), 0);  // would block a reader
  fs::copy_file("/etc/hostname", dir / "Text");          // no TZif
  ASSERT_EQ(Loaded("UTC"), "loaded UTC");                // under /usr/share/zoneinfo, before TZDIR is set
  ASSERT_EQ(::setenv("TZDIR", dir.c_str(), 1), 0);       // NOLINT(concurrency-mt-unsafe)
  const std::string under = " under " + dir.string();
  const std::string long_name(10000, 'A');
  const std::string not_a_name = "not a zone name (components of letters, digits, '_', '-' and '+' joined by '/'): '";
  const struct {
    std::string_view Name;
    std::string Expected;
  } kCases[] = {
      {"Good/Zone", "loaded Good/Zone"},
      {"Link", "loaded Link"},
      {"Good/Up", "loaded Good/Up"},
      {"Passwd", "zone 'Passwd' leads outside " + dir.string()},
      {"Etc/passwd", "zone 'Etc/passwd' leads outside " + dir.string()},
      {"Zero", "zone 'Zero' leads outside " + dir.string()},
      {"Fifo", "zone 'Fifo'" + under + " is no TZif file of at most 1 MiB that this library reads"},
      {"Good", "zone 'Good'" + under + " is no TZif file of at most 1 MiB that this library reads"},
      {"Text", "zone 'Text'" + under + " is no TZif file of at most 1 MiB that this library reads"},
      {"Europe/Berln", "no zone named 'Europe/Berln'" + under},
      {"../../etc/passwd", not_a_name + "../../etc/passwd'"},
      {"/etc/passwd", not_a_name + "/etc/passwd'"},
      {"/dev/zero", not_a_name + "/dev/zero'"},
      {"Good//Zone", not_a_name + "Good//Zone'"},
      {"", not_a_name + "'"},
      {std::string_view("Good/Zone\0x", 11), not_a_name + "Good/Zone\\x00x'"},
      {long_name, "a zone name of 10000 bytes, more than 255"},
  };
  for (const auto& c : kCases) EXPECT_EQ(Loaded(c.Name), c.Expected) << c.Name.substr(0, 20);
  // Names that are links to one file: two zones, each of them one zone.
  EXPECT_NE(LoadZone("Link"), LoadZone("Good/Zone"));
  ::unsetenv("TZDIR");                      // NOLINT(concurrency-mt-unsafe)
  EXPECT_NE(LoadZone("UTC"), Zone::Utc());  // a file, and the library's own UTC
  EXPECT_EQ(Outcome([] { return std::string(LoadZone("Europe/Berln").Name()); }),
            Invalid("no zone named 'Europe/Berln' under /usr/share/zoneinfo"));
  // A putenv string written in place names another directory too.
  static char entry[] = "TZDIR=/usr/share/zoneinfo/Etc";
  ASSERT_EQ(::putenv(entry), 0);  // NOLINT(concurrency-mt-unsafe)
  EXPECT_EQ(Loaded("GMT+5"), "loaded GMT+5");
  std::strcpy(entry + sizeof("TZDIR=") - 1, "/nowhere");  // NOLINT(clang-analyzer-security.insecureAPI.strcpy)
  EXPECT_EQ(Loaded("GMT+5"), "no zone named 'GMT+5' under /nowhere");
  ::unsetenv("TZDIR");  // NOLINT(concurrency-mt-unsafe)
  fs::remove_all(dir);
}

// Fixed offsets, rules and their refusals.
TEST(NamedZones, FixedOffsetsAndRules) {
  EXPECT_EQ(TryFixedOffsetZone(std::chrono::seconds(19800)).zone.Name(), "+05:30");
  EXPECT_EQ(TryFixedOffsetZone(std::chrono::seconds(-1172)).zone.Name(), "-00:19:32");
  EXPECT_EQ(TryFixedOffsetZone(std::chrono::seconds(86400)).error, ZoneError::OffsetOutOfRange);
  EXPECT_EQ(ZoneErrorMessage(ZoneError::OffsetOutOfRange, "86400"), "an offset of 86400 seconds, 24 hours or more");
  EXPECT_EQ(TryPosixRuleZone("CET-1CEST,M3.5.0,M10.5.0/3").zone.Name(), "CET-1CEST,M3.5.0,M10.5.0/3");
  for (const std::string_view rule : {"EST5EDT", "Europe/Berlin", "", "CET-1CEST,M3.5.0,M13.5.0"}) {
    EXPECT_EQ(TryPosixRuleZone(rule).error, ZoneError::NotARule) << rule;
  }
  EXPECT_EQ(ZoneErrorMessage(ZoneError::NotARule, "EST5EDT"), "not a POSIX TZ rule with its changes stated: 'EST5EDT'");
}

// Times in America/New_York and elsewhere around changes, with every choice.
TEST(NamedZones, WallClockTimesWithEveryChoice) {
  const Zone ny = LoadZone("America/New_York");
  const Zone lord_howe = LoadZone("Australia/Lord_Howe");  // summer time of half an hour
  const Zone rule = TryPosixRuleZone("<+0530>-5:30").zone;
  const struct {
    CivilTime Time;
    Disambiguation Choice;
    Zone In;
    std::string Expected;  // the instant in UTC, or the message
  } kCases[] = {
      {{2024, 3, 10, 2, 30, 0, 0}, Disambiguation::Compatible, ny, "2024-03-10T07:30:00Z"},  // forward by the gap
      {{2024, 3, 10, 2, 30, 0, 0},
       Disambiguation::Reject,
       ny,
       "2024-03-10 02:30:00 does not exist in America/New_York, skipped from -05:00 to -04:00"},
      {{2024, 11, 3, 1, 30, 0, 0}, Disambiguation::Later, ny, "2024-11-03T06:30:00Z"},
      {{2024, 11, 3, 1, 30, 0, 5},
       Disambiguation::Reject,
       ny,
       "2024-11-03 01:30:00.000000005 occurs twice in America/New_York, at -04:00 and at -05:00"},
      {{2024, 4, 7, 1, 45, 0, 0},
       Disambiguation::Reject,
       lord_howe,
       "2024-04-07 01:45:00 occurs twice in Australia/Lord_Howe, at +11:00 and at +10:30"},
      {{2024, 7, 1, 0, 0, 0, 0}, Disambiguation::Reject, rule, "2024-06-30T18:30:00Z"},
      {{2024, 2, 30, 0, 0, 0, 0}, Disambiguation::Compatible, ny, "day 30 does not exist in February 2024"},
      {{2024, 13, 1, 0, 0, 0, 0}, Disambiguation::Compatible, ny, "month 13 does not exist"},
      {{2024, 1, 1, 0, 0, 60, 0}, Disambiguation::Compatible, Zone::Utc(), "second 60 does not exist"},
      {{2024, 1, 1, 0, 0, 0, -1}, Disambiguation::Compatible, ny, "nanosecond -1 does not exist"},
      {{1677, 9, 18, 19, 0, 0, 0},  // read at -04:56:02 before the first second the zone's table answers
       Disambiguation::Compatible,
       ny,
       "1677-09-18 19:00:00 in America/New_York: the instant is outside the time point range, "
       "1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z"},
      {{2262, 12, 31, 23, 59, 59, 0},  // days after the last second it answers
       Disambiguation::Compatible,
       ny,
       "2262-12-31 23:59:59 in America/New_York: the instant is outside the time point range, "
       "1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z"},
      {{2262, 4, 12, 0, 0, 0, 0},
       Disambiguation::Compatible,
       Zone::Utc(),
       "2262-04-12 00:00:00 in UTC: the instant is outside the time point range, 1677-09-21T00:12:43.145224192Z to "
       "2262-04-11T23:47:16.854775807Z"},
  };
  for (const auto& c : kCases) {
    std::string message;
    const ParseResult<Timestamp> result = TryFromCivil(c.Time, c.In, c.Choice, message);
    EXPECT_EQ(result ? ToIso8601(result.value.instant, Iso8601Format::Extended, TimeZone::UTC) : message, c.Expected);
  }
  const ParseResult<CivilTimeLookup> gap = LookUpCivilTime({2024, 3, 10, 2, 30, 0, 0}, ny);
  EXPECT_EQ(gap.value.kind, CivilTimeKind::Skipped);
  EXPECT_EQ(ToIso8601(gap.value.change, Iso8601Format::Extended, TimeZone::UTC), "2024-03-10T07:00:00Z");
  EXPECT_EQ(ErrorMessage(ParseError::CivilSkipped, "x"),
            "Not a wall-clock time, a time skipped by a change of offset: x");
  EXPECT_EQ(Outcome([] {
              ThrowParseError(ParseError::CivilOutsideRange, "x");
              return std::string();
            }),
            OutOfRange("Not a wall-clock time, the instant is outside the time point range, "
                       "1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z: x"));
}

TEST(NamedZones, Iso8601TextInAZone) {
  const TimePoint t(std::chrono::nanoseconds(-2208988800000000001));  // 1 ns before 1900 in UTC
  const Zone amsterdam = LoadZone("Europe/Amsterdam");                // +00:19:32 then
  EXPECT_EQ(ToIso8601(t, Iso8601Format::Extended, amsterdam), "1900-01-01T00:19:31+00:19:32");
  EXPECT_EQ(ToIso8601(t, Iso8601Format::BasicNanoseconds, amsterdam), "19000101T001931.999999999+001932");
  EXPECT_EQ(ToIso8601(t, Iso8601Format::ExtendedNanoseconds, Zone::Utc()), "1899-12-31T23:59:59.999999999Z");
  EXPECT_EQ(ToIso8601(t, static_cast<Iso8601Format>(9), LoadZone("Asia/Kolkata")), "+05:21:10");
}

// ISO 8601 text with the zone's name as an RFC 9557 suffix, or why none is written.
TEST(NamedZones, Iso8601TextWithTheZonesName) {
  const TimePoint t(std::chrono::seconds(1709622489));     // 2024-03-05T07:08:09Z
  const TimePoint leap(std::chrono::seconds(1483228800));  // 2017-01-01T00:00:00Z, after a leap second
  const struct {
    TimePoint At;
    ZoneLoad Load;
    std::string Expected;  // the text, or the exception's message
  } kCases[] = {
      {t, TryLoadZone("Europe/Berlin"), "2024-03-05T08:08:09+01:00[Europe/Berlin]"},
      {t, TryLoadZone("Europe/London"), "2024-03-05T07:08:09+00:00[Europe/London]"},  // never Z with a zone
      {t, {Zone::Utc()}, "2024-03-05T07:08:09+00:00[UTC]"},
      {t, TryFixedOffsetZone(std::chrono::minutes(-330)), "2024-03-05T01:38:09-05:30[-05:30]"},
      {t, TryFixedOffsetZone(std::chrono::seconds(1172)), "zone '+00:19:32' has no name that an RFC 9557 suffix holds"},
      {t, TryPosixRuleZone("CET-1CEST,M3.5.0,M10.5.0/3"),
       "zone 'CET-1CEST,M3.5.0,M10.5.0/3' has no name that an RFC 9557 suffix holds"},
      {leap, TryLoadZone("right/UTC"),
       "zone 'right/UTC' counts leap seconds: ISO 8601 text of its local time would name another instant"},
      {TimePoint(std::chrono::seconds(0)), TryLoadZone("right/UTC"), "1970-01-01T00:00:00+00:00[right/UTC]"},
  };
  for (const auto& c : kCases) {
    ASSERT_TRUE(c.Load) << c.Expected;
    std::string written;
    try {
      written = ToIso8601WithZoneName(c.At, Iso8601Format::Extended, c.Load.zone);
      const ParseResult<ZonedTimestamp> back = TryFromIso8601Strict(written, Zone::Utc(), Disambiguation::Reject);
      EXPECT_TRUE(back && back.value.timestamp.instant == c.At && back.value.zone.Name() == c.Load.zone.Name());
    } catch (const std::invalid_argument& e) {
      written = e.what();
    }
    EXPECT_EQ(written, c.Expected);
  }
  EXPECT_EQ(
      Outcome([&] { return ToIso8601(leap, Iso8601Format::Extended, LoadZone("right/UTC")); }),
      Invalid("zone 'right/UTC' counts leap seconds: ISO 8601 text of its local time would name another instant"));
}

// The instant in UTC, for a wall-clock text the zone's offset at it, the zone
// where the text named it, and how a wall-clock text's time shows in its zone.
std::string Described(const ZonedTimestamp& read) {
  static constexpr const char* kKinds[] = {" unique", " skipped", " repeated"};
  std::string text = ToIso8601(read.timestamp.instant, Iso8601Format::ExtendedNanoseconds, TimeZone::UTC);
  const auto offset = read.timestamp.offset.count();
  if (read.wall_clock) {
    text.append(offset < 0 ? " -" : " +").append(std::to_string(std::abs(offset) / 60)).append(" min");
  }
  if (read.zone_named) text.append(" in ").append(read.zone.Name());
  if (read.wall_clock) text.append(" wall-clock").append(kKinds[static_cast<int>(read.kind)]);
  return text;
}

// ISO 8601 text read in a zone: wall-clock time without an offset, an offset
// that the zone does not change, minutes alone, and RFC 9557 suffixes.
TEST(NamedZones, Iso8601TextReadInAZone) {
  const Zone ny = LoadZone("America/New_York");
  using D = Disambiguation;
  const struct {
    std::string_view Text;
    D Choice;
    std::string Expected;  // the instant in UTC, or the message
  } kCases[] = {
      {"2024-03-05 07:08:09", D::Reject, "2024-03-05T12:08:09.000000000Z -300 min wall-clock unique"},  // EST, -05:00
      {"20240705T070809,5", D::Reject,
       "2024-07-05T11:08:09.500000000Z -240 min wall-clock unique"},  // EDT, basic layout
      {"2024-03-10T02:30:00", D::Compatible,
       "2024-03-10T07:30:00.000000000Z -240 min wall-clock skipped"},  // 03:30 EDT
      {"2024-03-10T02:30:00", D::Reject,                               // no instant
       "Not an ISO 8601 timestamp, 2024-03-10 02:30:00 does not exist in America/New_York, skipped from -05:00 to "
       "-04:00: 2024-03-10T02:30:00"},
      {"2024-11-03T01:30:00", D::Earlier, "2024-11-03T05:30:00.000000000Z -240 min wall-clock repeated"},  // EDT
      {"2024-11-03T01:30:00", D::Later, "2024-11-03T06:30:00.000000000Z -300 min wall-clock repeated"},    // EST
      {"2024-03-05T07:08:09+01:00", D::Reject, "2024-03-05T06:08:09.000000000Z"},  // the offset, not the zone
      {"2024-03-05T07:08", D::Reject,
       "2024-03-05T12:08:00.000000000Z -300 min wall-clock unique"},  // minutes alone: second 0
      {"2024-03-05T07:08Z", D::Reject, "2024-03-05T07:08:00.000000000Z"},
      {"2024-03-05T07:08.5", D::Reject,  // a fraction only after seconds
       "Not an ISO 8601 timestamp, expected a zone after the time: Z, z, +hh:mm, +hhmm, +hh or ' UTC', found '.': "
       "2024-03-05T07:08.5"},
      {"2024-02-30T07:08:09", D::Reject,
       "Not an ISO 8601 timestamp, day 30 does not exist in February 2024: 2024-02-30T07:08:09"},
      {"2024-03-05T07:08:09+01:00[Europe/Berlin]", D::Reject, "2024-03-05T06:08:09.000000000Z in Europe/Berlin"},
      {"1930-01-01T00:19:32+00:19:32[Europe/Amsterdam]", D::Reject,  // local mean time, with seconds
       "1930-01-01T00:00:00.000000000Z in Europe/Amsterdam"},
      {"1800-01-01T00:00:00-04:56:02[America/New_York]", D::Reject,  // west of UTC, with seconds
       "1800-01-01T04:56:02.000000000Z in America/New_York"},
      {"2024-03-05T07:08:09+00:00[Europe/Berlin]", D::Reject,  // only Z and -00:00 name the instant alone
       "Not an ISO 8601 timestamp, offset +00:00 is not the offset of Europe/Berlin at that instant, +01:00: "
       "2024-03-05T07:08:09+00:00[Europe/Berlin]"},
      {"2024-03-05T07:08:09-05:00[Europe/Berlin]", D::Reject,
       "Not an ISO 8601 timestamp, offset -05:00 is not the offset of Europe/Berlin at that instant, +01:00: "
       "2024-03-05T07:08:09-05:00[Europe/Berlin]"},
      {"1930-01-01T00:19:32+00:19:60[Europe/Amsterdam]", D::Reject,
       "Not an ISO 8601 timestamp, expected the offset's seconds, 00 to 59, found '60': "
       "1930-01-01T00:19:32+00:19:60[Europe/Amsterdam]"},
      {"2024-03-05T07:08:09[-08:00]", D::Reject, "2024-03-05T15:08:09.000000000Z -480 min in -08:00 wall-clock unique"},
      {"2024-03-05T07:08:09+01:00[+02:00]", D::Reject,
       "Not an ISO 8601 timestamp, offset +01:00 is not the offset of +02:00 at that instant, +02:00: "
       "2024-03-05T07:08:09+01:00[+02:00]"},
      {"2024-03-05T07:08:09Z[+24:00]", D::Reject,
       "Not an ISO 8601 timestamp, expected a zone's offset as +hh:mm, hours 00 to 23, found '+24:00': "
       "2024-03-05T07:08:09Z[+24:00]"},
      {"2024-07-05T07:08:09+01:00[!Europe/Berlin]", D::Reject,  // CEST: +02:00
       "Not an ISO 8601 timestamp, offset +01:00 is not the offset of Europe/Berlin at that instant, +02:00: "
       "2024-07-05T07:08:09+01:00[!Europe/Berlin]"},
      {"2024-07-05T07:08:09-00:00[Europe/Berlin]", D::Reject,
       "2024-07-05T07:08:09.000000000Z in Europe/Berlin"},  // UTC, local time unknown
      {"2024-07-05T07:08:09[Europe/Berlin][u-ca=iso8601][foo=bar]", D::Reject,
       "2024-07-05T05:08:09.000000000Z +120 min in Europe/Berlin wall-clock unique"},
      {"2024-07-05T07:08:09Z[!u-ca=hebrew]", D::Reject,
       "Not an ISO 8601 timestamp, expected no critical key but u-ca=iso8601, found 'u-ca=hebrew': "
       "2024-07-05T07:08:09Z[!u-ca=hebrew]"},
      {"2024-07-05T07:08:09Z[U-CA=iso8601]", D::Reject,
       "Not an ISO 8601 timestamp, expected a key of 'a' to 'z', digits and '-', '=' and values of letters and "
       "digits joined by '-', found 'U-CA=iso8601': 2024-07-05T07:08:09Z[U-CA=iso8601]"},
      {"2024-07-05T07:08:09Z[_x=y]", D::Reject,
       "Not an ISO 8601 timestamp, expected a key that does not start with '_', found '_': "
       "2024-07-05T07:08:09Z[_x=y]"},
      {"2024-07-05T07:08:09[Europe/Berln]", D::Reject,
       "Not an ISO 8601 timestamp, no zone named 'Europe/Berln' under /usr/share/zoneinfo: "
       "2024-07-05T07:08:09[Europe/Berln]"},
  };
  for (const auto& c : kCases) {
    std::string message;
    const ParseResult<ZonedTimestamp> result = TryFromIso8601Strict(c.Text, ny, c.Choice, message);
    EXPECT_EQ(result ? Described(result.value) : message, c.Expected) << c.Text;
    EXPECT_TRUE(!result || result.value.zone_named || result.value.zone == ny) << c.Text;
    EXPECT_EQ(TryFromIso8601Strict(c.Text, ny, c.Choice).error, result.error) << c.Text;
  }
  // The plain strict reader keeps refusing minutes alone, and reads an offset alike.
  EXPECT_FALSE(TryFromIso8601Strict("2024-03-05T07:08"));
  EXPECT_EQ(TryFromIso8601Strict("2024-03-05T07:08:09.5-03:30").value,
            TryFromIso8601Strict("2024-03-05T07:08:09.5-03:30", ny, D::Reject).value.timestamp);
}

// Threads that load the same names at once all get one zone per name.
TEST(NamedZones, LoadedFromManyThreadsAtOnce) {
  const std::vector<std::string> names = {"Asia/Tokyo", "Africa/Cairo", "America/Sao_Paulo", "Pacific/Chatham"};
  std::vector<std::vector<Zone>> seen(4);
  std::vector<std::thread> threads;
  threads.reserve(seen.size());
  for (auto& zones : seen) {
    threads.emplace_back([&] {
      for (const auto& name : names) zones.push_back(LoadZone(name));
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const auto& zones : seen) EXPECT_EQ(zones, seen[0]);
}

}  // namespace
}  // namespace orvik::chrono
