// The face without exceptions allocates nothing, neither where it accepts nor
// where it refuses: this program counts its calls of operator new, and of
// malloc, where an exception's object would come from (so it is built only
// without sanitizers, which own malloc). It also stands in for localtime_r,
// to make it fail on demand.
#include <orvik/chrono/chrono.h>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <new>
#include <stdexcept>
#include <string_view>

namespace {

std::size_t allocations = 0;
bool localtime_fails = false;

}  // namespace

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): libc's names are reserved ones
extern "C" [[gnu::visibility("default")]] std::tm* localtime_r(const std::time_t* seconds, std::tm* out) noexcept {
  using LocalTime = std::tm* (*)(const std::time_t*, std::tm*);
  static const auto libc = reinterpret_cast<LocalTime>(dlsym(RTLD_NEXT, "localtime_r"));
  return localtime_fails ? nullptr : libc(seconds, out);
}

void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t /*size*/) noexcept { std::free(memory); }

extern "C" void* __libc_malloc(std::size_t size);  // NOLINT(bugprone-reserved-identifier): glibc's own
extern "C" void* malloc(std::size_t size) {
  ++allocations;
  return __libc_malloc(size);
}

namespace orvik::chrono {
namespace {

TEST(NoAllocation, ReadersAndWritersWithoutExceptions) {
  const TimePoint t{std::chrono::nanoseconds(-1709622489012345678)};
  char out[kMaxIso8601InZoneSize];
  ToCalendarTime(t, TimeZone::Local);  // the zone's one reading, for the process
  const Zone zone = LoadZone("America/New_York");
  const Layout layout = CompileLayout("%d/%b/%Y:%H:%M:%S %z %Z");
  const std::pair<const char*, std::function<bool()>> kCalls[] = {
      {"strict ISO 8601, refused", [] { return !TryFromIso8601Strict("2024-02-30T07:08:09Z"); }},
      {"strict HTTP date, refused", [] { return !TryFromHttpDateStrict("Mon, 06 Nov 1994 08:49:37 GMT"); }},
      {"mail date, refused", [] { return !TryFromMailDate("Tue, 5 Mar 2024 07:08:09 CET"); }},
      {"strict duration, refused", [] { return !duration::TryFromIso8601Strict("PT1H1H"); }},
      {"ISO 8601, refused", [] { return !TryFromIso8601("2024-03-05T07:08:09"); }},
      {"HTTP date, refused", [] { return !TryFromHttpDate("Sun, 06 Nov 1994"); }},
      {"duration, refused", [] { return !duration::TryFromIso8601("PT99999999999S"); }},
      {"strict ISO 8601", [] { return static_cast<bool>(TryFromIso8601Strict("2024-03-05 07:08:09.5+05:30")); }},
      {"FormatIso8601, unknown zone",
       [&] { return FormatIso8601(out, t, Iso8601Format::Extended, TimeZone{7}) == nullptr; }},
      {"FormatIso8601, local", [&] { return FormatIso8601(out, t, Iso8601Format::BasicNanoseconds, TimeZone::Local); }},
      {"FormatHttpDate", [&] { return FormatHttpDate(out, t) == out + kHttpDateSize; }},
      {"TryLoadZone, loaded", [&] { return TryLoadZone("America/New_York").zone == zone; }},
      {"ToCalendarTime, Zone", [&] { return ToCalendarTime(t, zone).tm_gmtoff == -18000; }},
      {"FormatIso8601, Zone", [&] { return FormatIso8601(out, t, Iso8601Format::Extended, zone) == out + 25; }},
      {"TryFromLayout, refused",
       [&] { return !TryFromLayout("05/Mar/2024:07:08:09 +0000 XYZ", layout, zone, Disambiguation::Reject); }},
      {"FormatLayout, local", [&] { return FormatLayout(out, sizeof out, t, layout, TimeZone::Local) != nullptr; }},
      {"TryFromCivil, refused",
       [&] {
         return !TryFromCivil({2024, 3, 10, 2, 30, 0, 0}, zone, Disambiguation::Reject);
       }},
  };
  for (const auto& [name, call] : kCalls) {
    const std::size_t before = allocations;
    const bool expected = call();
    const std::size_t made = allocations - before;
    EXPECT_TRUE(expected) << name;
    EXPECT_EQ(made, 0U) << name;
  }
}

// A zone that the library leaves to localtime_r, which fails: the writer
// without exceptions refuses before allocating, and the throwing faces say
// why with their one runtime_error.
TEST(NoAllocation, LocaltimeFailureIsRefusedThenThrown) {
  ASSERT_EQ(setenv("TZ", "AAA3BBB", 1), 0);
  ASSERT_EQ(CurrentLocalZone().Source, LocalZoneSource::Libc);
  localtime_fails = true;
  char out[kMaxIso8601Size];
  FormatIso8601(out, TimePoint{}, Iso8601Format::Extended, TimeZone::Local);  // the zone's one reading
  for (int day = 1; day < 5; ++day) {
    const TimePoint t{std::chrono::hours(24 * 1000 * day - 11) + std::chrono::nanoseconds(day % 2)};
    const std::size_t before = allocations;
    EXPECT_EQ(FormatIso8601(out, t, static_cast<Iso8601Format>(day - 1), TimeZone::Local), nullptr) << day;
    EXPECT_EQ(allocations, before) << day;
    for (const auto& call : {std::function<void()>([t] { ToCalendarTime(t, TimeZone::Local); }),
                             std::function<void()>([t] { ToIso8601(t, TimeZone::Local); })}) {
      try {
        call();
        ADD_FAILURE() << day;
      } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Failed to convert the timestamp to local time");
      }
    }
  }
  localtime_fails = false;
  unsetenv("TZ");
}

}  // namespace
}  // namespace orvik::chrono
