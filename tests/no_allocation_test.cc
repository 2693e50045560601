// The face without exceptions allocates nothing, neither where it accepts nor
// where it refuses: this program counts its calls of operator new, and of
// malloc, where an exception's object would come from, unless a sanitizer
// owns malloc (ORVIK_CHRONO_SANITIZED, which the build defines).
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <new>
#include <string_view>

namespace {

std::size_t allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t /*size*/) noexcept { std::free(memory); }

#ifndef ORVIK_CHRONO_SANITIZED
extern "C" void* __libc_malloc(std::size_t size);  // NOLINT(bugprone-reserved-identifier): glibc's own
extern "C" void* malloc(std::size_t size) {
  ++allocations;
  return __libc_malloc(size);
}
#endif

namespace orvik::chrono {
namespace {

TEST(NoAllocation, ReadersAndWritersWithoutExceptions) {
  const TimePoint t{std::chrono::nanoseconds(-1709622489012345678)};
  char out[kMaxIso8601Size];
  ToCalendarTime(t, TimeZone::Local);  // the zone's one reading, for the process
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
  };
  for (const auto& [name, call] : kCalls) {
    const std::size_t before = allocations;
    const bool expected = call();
    const std::size_t made = allocations - before;
    EXPECT_TRUE(expected) << name;
    EXPECT_EQ(made, 0U) << name;
  }
}

}  // namespace
}  // namespace orvik::chrono
