// duration::TryFromIso8601Strict on arbitrary bytes, alone and cut from a
// longer buffer: every refusal must carry its message, and where it accepts a
// text, duration::TryFromIso8601 must read the same duration, or refuse a
// number above 2147483647, or refuse the text for its fraction of seconds.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "strict_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvik::chrono;
  using namespace orvik::chrono::fuzz;
  CheckReading(
      Alone(std::string_view(reinterpret_cast<const char*>(data), size)),
      [](std::string_view text) { return duration::TryFromIso8601Strict(text); },
      [](std::chrono::nanoseconds read, std::string_view text) {
        const ParseResult<std::chrono::nanoseconds> lenient = duration::TryFromIso8601(text);
        if (text.find_first_of(".,") != std::string_view::npos) {
          if (lenient) Fail("duration::TryFromIso8601 reads a fraction of seconds", text);
        } else if (lenient.error != ParseError::DurationNumberTooLarge && (!lenient || lenient.value != read)) {
          Fail("duration::TryFromIso8601 reads the text otherwise", text);
        }
      },
      {ParseError::DurationStrictLayout, ParseError::DurationNotSupported, ParseError::DurationOutOfRange},
      "Not an ISO 8601 duration, ",
      {"Durations with year/month/day components are not supported", "ISO8601 duration out of range"});
  return 0;
}
