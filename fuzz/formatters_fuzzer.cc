// ToIso8601, ToHttpDate and ToCalendarTime on a time point, layout and zone
// decoded from the bytes, and FormatIso8601 and FormatHttpDate beside them. The expected text is rebuilt from libc's
// own conversion and strftime, and every text that can be read back must read back as the instant it shows. The local
// zone is the process's TZ, so the target is run under several TZ values.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "civil/time_units.h"
#include "message_checks.h"

namespace orvik::chrono::fuzz {
namespace {

using internal::kNanosecondsPerSecond;
constexpr std::int64_t kNanosecondsPerHour = internal::kSecondsPerHour * kNanosecondsPerSecond;

// Reads fixed-size values off the front of the input; missing bytes read as zero.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  template <typename T>
  T Take() {
    unsigned char raw[sizeof(T)] = {};
    const std::size_t taken = size_ < sizeof(T) ? size_ : sizeof(T);
    if (taken > 0) std::memcpy(raw, data_, taken);
    data_ += taken;
    size_ -= taken;
    T value;
    std::memcpy(&value, raw, sizeof(T));
    return value;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

struct Input {
  std::int64_t Count;
  Iso8601Format Format;
  TimeZone Zone;
};

std::tm LibcTime(long seconds, TimeZone zone) {
  std::tm tm{};
  const bool converted =
      zone == TimeZone::UTC ? gmtime_r(&seconds, &tm) != nullptr : localtime_r(&seconds, &tm) != nullptr;
  if (!converted) std::abort();  // every second of a time point converts
  return tm;
}

// Whether libc shows POSIX time, as this library's UTC always does and its
// parsers read. Under the right/ zones gmtime_r and localtime_r count leap
// seconds instead: there UTC results are checked only by reading them back,
// and local ones only against localtime_r. 1483228826 is
// 2017-01-01T00:00:26Z.
bool LibcShowsPosixTime() {
  static const bool posix = LibcTime(1483228826, TimeZone::UTC).tm_sec == 26;
  return posix;
}

// Moves the count to within about two seconds of an hour start, in UTC or in
// the local zone, where the hour cache changes hours.
std::int64_t NearHourStart(std::int64_t count, bool local, std::int32_t delta) {
  std::int64_t start = count / kNanosecondsPerHour * kNanosecondsPerHour;
  if (local) {
    const std::tm tm = LibcTime(count / kNanosecondsPerSecond, TimeZone::Local);
    const std::int64_t into_hour = (std::int64_t{tm.tm_min} * 60 + tm.tm_sec) * kNanosecondsPerSecond;
    if (__builtin_sub_overflow(count / kNanosecondsPerSecond * kNanosecondsPerSecond, into_hour, &start)) return count;
  }
  std::int64_t moved = 0;
  return __builtin_add_overflow(start, std::int64_t{delta}, &moved) ? count : moved;
}

Input Decode(const std::uint8_t* data, std::size_t size) {
  Bytes bytes(data, size);
  Input input{bytes.Take<std::int64_t>(), Iso8601Format::Extended, TimeZone::Local};
  switch (bytes.Take<std::uint8_t>() % 4) {
    case 1:
      input.Count = input.Count / kNanosecondsPerSecond * kNanosecondsPerSecond;
      break;
    case 2:
      input.Count = NearHourStart(input.Count, false, bytes.Take<std::int32_t>());
      break;
    case 3:
      input.Count = NearHourStart(input.Count, true, bytes.Take<std::int32_t>());
      break;
    default:
      break;
  }
  const std::uint8_t format = bytes.Take<std::uint8_t>() % 4;
  input.Format = static_cast<Iso8601Format>(format < 3 ? format : bytes.Take<std::int32_t>());
  const std::uint8_t zone = bytes.Take<std::uint8_t>() % 4;
  input.Zone = static_cast<TimeZone>(zone < 2 ? zone : bytes.Take<std::int32_t>());
  return input;
}

std::string Describe(const Input& input) {
  const char* tz = std::getenv("TZ");  // NOLINT(concurrency-mt-unsafe): nothing sets the environment
  return "count " + std::to_string(input.Count) + ", layout " + std::to_string(static_cast<int>(input.Format)) +
         ", zone " + std::to_string(static_cast<int>(input.Zone)) + ", TZ=" + (tz == nullptr ? "(unset)" : tz);
}

long FlooredSeconds(std::int64_t count) {
  return count / kNanosecondsPerSecond - (count % kNanosecondsPerSecond < 0 ? 1 : 0);
}

long long NanosecondsIntoSecond(std::int64_t count) {
  const std::int64_t remainder = count % kNanosecondsPerSecond;
  return remainder < 0 ? remainder + kNanosecondsPerSecond : remainder;
}

// The second that ToCalendarTime shows: truncated toward zero, except that a
// time point before 1970 with a fraction shows the second below unless the
// truncated second starts an hour.
long SecondShown(std::int64_t count, TimeZone zone) {
  const long truncated = count / kNanosecondsPerSecond;
  if (count % kNanosecondsPerSecond == 0) return truncated;
  if (count > 0) return truncated;
  const std::tm tm = LibcTime(truncated, zone);
  return tm.tm_min == 0 && tm.tm_sec == 0 ? truncated : truncated - 1;
}

std::string ZoneSuffix(const std::tm& tm, TimeZone zone) {
  const long minutes = (tm.tm_gmtoff < 0 ? -tm.tm_gmtoff : tm.tm_gmtoff) / 60;
  if (zone == TimeZone::UTC || minutes == 0) return "Z";
  char suffix[32];  // room for any long, which g++ checks
  std::snprintf(suffix, sizeof(suffix), "%c%02ld:%02ld", tm.tm_gmtoff < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return suffix;
}

std::string ExpectedIso8601(const Input& input) {
  const bool with_fraction =
      input.Format == Iso8601Format::ExtendedNanoseconds || input.Format == Iso8601Format::BasicNanoseconds;
  const long second = with_fraction ? FlooredSeconds(input.Count) : SecondShown(input.Count, input.Zone);
  const std::tm tm = LibcTime(second, input.Zone);
  char text[sizeof("2024-03-05T07:08:09.012345678")] = {};
  if (input.Format == Iso8601Format::Extended || input.Format == Iso8601Format::ExtendedNanoseconds) {
    std::strftime(text, sizeof(text), "%FT%T", &tm);
  } else if (input.Format == Iso8601Format::BasicNanoseconds) {
    std::strftime(text, sizeof(text), "%Y%m%dT%H%M%S", &tm);
  }
  if (with_fraction) {
    const std::size_t length = std::strlen(text);
    std::snprintf(text + length, sizeof(text) - length, ".%09lld", NanosecondsIntoSecond(input.Count));
  }
  return text + ZoneSuffix(tm, input.Zone);
}

bool SameCalendarTime(const std::tm& a, const std::tm& b) {
  return a.tm_sec == b.tm_sec && a.tm_min == b.tm_min && a.tm_hour == b.tm_hour && a.tm_mday == b.tm_mday &&
         a.tm_mon == b.tm_mon && a.tm_year == b.tm_year && a.tm_wday == b.tm_wday && a.tm_yday == b.tm_yday &&
         a.tm_isdst == b.tm_isdst && a.tm_gmtoff == b.tm_gmtoff &&
         (a.tm_zone == b.tm_zone ||
          (a.tm_zone != nullptr && b.tm_zone != nullptr && std::strcmp(a.tm_zone, b.tm_zone) == 0));
}

// A text with a year from 1900 on and an offset of whole minutes reads back as
// the instant it shows and its offset; one with an earlier year is refused.
void CheckReadBack(const std::string& text, long second, long long nanoseconds, const std::tm& shown,
                   const std::string& about) {
  if (shown.tm_year < 0) {
    RunExpectingDocumentedErrors(
        about, [&] { SplitIso8601(text); },
        [&](Outcome outcome, const char* what) {
          if (outcome != Outcome::InvalidArgument ||
              !IsHeadThenText(what, "Failed to parse ISO 8601 string, the year is before 1900: ", text)) {
            Fail("an early year refused with another message", about, what);
          }
        });
    return;
  }
  if (shown.tm_gmtoff % 60 != 0) return;
  const auto [read, offset] = SplitIso8601(text);
  const Int128 instant = Int128{second} * kNanosecondsPerSecond + nanoseconds;
  if (read.time_since_epoch().count() != instant || offset.count() != shown.tm_gmtoff / 60) {
    Fail("the text reads back as another instant or offset", about, text);
  }
}

// FormatIso8601 writes what ToIso8601 returns, into a buffer of
// kMaxIso8601Size in an allocation of its own, so that AddressSanitizer
// reports any write past it; where ToIso8601 throws, it returns nullptr.
void CheckFormatIso8601(const Input& input, const std::string& text, const std::string& about) {
  const std::unique_ptr<char[]> buffer(new char[kMaxIso8601Size]);
  const char* end =
      FormatIso8601(buffer.get(), TimePoint(std::chrono::nanoseconds(input.Count)), input.Format, input.Zone);
  if (text.empty() ? end != nullptr : end == nullptr || std::string_view(buffer.get(), end) != text) {
    Fail("FormatIso8601 differs from ToIso8601 " + text, about);
  }
}

void CheckIso8601(const Input& input, const std::string& about) {
  const TimePoint t{std::chrono::nanoseconds(input.Count)};
  const std::string text = ToIso8601(t, input.Format, input.Zone);
  CheckFormatIso8601(input, text, about);
  const bool libc_agrees = input.Zone == TimeZone::Local || LibcShowsPosixTime();
  const std::string expected = ExpectedIso8601(input);
  if (libc_agrees && text != expected) Fail("ToIso8601 wrote " + text + " for " + expected, about);
  if (input.Format == Iso8601Format::ExtendedNanoseconds && ToIso8601(t, input.Zone) != text) {
    Fail("the two-argument ToIso8601 differs", about);
  }

  const long shown = SecondShown(input.Count, input.Zone);
  if (libc_agrees && !SameCalendarTime(ToCalendarTime(t, input.Zone), LibcTime(shown, input.Zone))) {
    Fail("ToCalendarTime differs from libc", about);
  }

  if (input.Zone == TimeZone::Local && !LibcShowsPosixTime()) return;
  switch (input.Format) {
    case Iso8601Format::Extended:
      CheckReadBack(text, shown, 0, LibcTime(shown, input.Zone), about);
      break;
    case Iso8601Format::ExtendedNanoseconds:
    case Iso8601Format::BasicNanoseconds: {
      const long second = FlooredSeconds(input.Count);
      CheckReadBack(text, second, NanosecondsIntoSecond(input.Count), LibcTime(second, input.Zone), about);
      break;
    }
    default:
      break;
  }
}

void CheckUnknownZone(const Input& input, const std::string& about) {
  const TimePoint t{std::chrono::nanoseconds(input.Count)};
  const auto expect_refusal = [&](auto call) {
    const Outcome outcome = RunExpectingDocumentedErrors(about, call, [&](Outcome refusal, const char* what) {
      if (refusal != Outcome::InvalidArgument || std::string_view(what) != "Unknown timezone type") {
        Fail("an unknown zone refused with another message", about, what);
      }
    });
    if (outcome == Outcome::Returned) Fail("an unknown zone was accepted", about);
  };
  expect_refusal([&] { ToIso8601(t, input.Format, input.Zone); });
  CheckFormatIso8601(input, "", about);
  expect_refusal([&] { ToCalendarTime(t, input.Zone); });
}

void CheckHttpDate(const Input& input, const std::string& about) {
  const long seconds = input.Count / kNanosecondsPerSecond;  // toward zero
  const std::string text = ToHttpDate(TimePoint(std::chrono::nanoseconds(input.Count)));
  const std::tm utc = LibcTime(seconds, TimeZone::UTC);
  char expected[sizeof("Sun, 06 Nov 1994 08:49:37 GMT")] = {};
  std::strftime(expected, sizeof(expected), "%a, %d %b %Y %H:%M:%S GMT", &utc);  // the C locale's names
  if (LibcShowsPosixTime() && text != expected) Fail("ToHttpDate wrote " + text + " for " + expected, about);
  const std::unique_ptr<char[]> buffer(new char[kHttpDateSize]);
  const char* end = FormatHttpDate(buffer.get(), TimePoint(std::chrono::nanoseconds(input.Count)));
  if (std::string_view(buffer.get(), end) != text) Fail("FormatHttpDate differs from ToHttpDate " + text, about);
  if (FromHttpDate(text).time_since_epoch().count() != std::int64_t{seconds} * kNanosecondsPerSecond) {
    Fail("the HTTP date reads back as another second", about, text);
  }
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvik::chrono;
  using namespace orvik::chrono::fuzz;
  const Input input = Decode(data, size);
  const std::string about = Describe(input);
  CheckHttpDate(input, about);
  if (input.Zone == TimeZone::Local || input.Zone == TimeZone::UTC) {
    CheckIso8601(input, about);
  } else {
    CheckUnknownZone(input, about);
  }
  return 0;
}
