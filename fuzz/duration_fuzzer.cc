// duration::FromIso8601 on arbitrary bytes: every refusal must be one of the
// documented exceptions with its exact message, and every accepted text must
// be made of digit runs and accepted designators and give their exact sum;
// duration::TryFromIso8601 must end as duration::FromIso8601 does.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "civil/time_units.h"
#include "message_checks.h"

namespace orvik::chrono::fuzz {
namespace {

// The sum that an accepted text stands for, or -1 where a run exceeds the
// 32-bit range or 'M' comes before any 'T', which must have been refused.
Int128 ExpectedNanoseconds(const std::string& text) {
  Int128 total = 0;
  Int128 run = 0;
  bool in_time = false;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      run = run * 10 + (c - '0');
      if (run > 2147483647) return -1;
      continue;
    }
    if (c == 'T') in_time = true;
    if (c == 'M' && !in_time) return -1;
    if (c == 'H') total += run * internal::kSecondsPerHour * internal::kNanosecondsPerSecond;
    if (c == 'M') total += run * internal::kSecondsPerMinute * internal::kNanosecondsPerSecond;
    if (c == 'S') total += run * internal::kNanosecondsPerSecond;
    run = 0;
  }
  return total;
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvik::chrono;
  using namespace orvik::chrono::fuzz;
  const std::string text(reinterpret_cast<const char*>(data), size);

  CheckBothFaces(text, duration::FromIso8601, duration::TryFromIso8601);
  std::chrono::nanoseconds total{};
  const Outcome outcome = RunExpectingDocumentedErrors(
      text, [&] { total = duration::FromIso8601(text); },
      [&](Outcome refusal, const char* what) {
        const std::string_view message = what;
        const bool documented = refusal == Outcome::InvalidArgument
                                    ? message == "Invalid ISO8601 duration format" ||
                                          message == "Durations with year/month/day components are not supported"
                                    : message == "stoi" || message == "ISO8601 duration out of range";
        if (!documented) Fail("undocumented message", text, message);
      });
  if (outcome != Outcome::Returned) return 0;

  // The first character is not looked at.
  if (text.size() < 3 || text.find_first_not_of("0123456789PTHMS", 1) != std::string::npos ||
      std::string_view("PTHMS").find(text.back()) == std::string_view::npos) {
    Fail("accepted a text that is not digit runs and designators", text);
  }
  if (Int128{total.count()} != ExpectedNanoseconds(text)) {
    Fail("accepted with a count other than the sum of its components", text, std::to_string(total.count()));
  }
  return 0;
}
