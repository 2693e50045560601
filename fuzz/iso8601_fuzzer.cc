// SplitIso8601 and FromIso8601 on arbitrary bytes: both must agree, every
// refusal must be one of the documented exceptions with its exact message,
// and TrySplitIso8601 and TryFromIso8601 must end as they do.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "message_checks.h"
#include "messages.h"

namespace orvik::chrono::fuzz {
namespace {

using namespace internal;
// Stands for std::string::at's own message, which quotes no text.
constexpr std::string_view kTooShort = "basic_string::at: ";

// Checks the message of one refusal and returns the head that it carries.
std::string_view CheckedHead(Outcome outcome, const char* what, const std::string& text) {
  if (text.size() <= sizeof("2020") - 1) {
    const std::string expected =
        "basic_string::at: __n (which is 4) >= this->size() (which is " + std::to_string(text.size()) + ")";
    if (outcome != Outcome::OutOfRange || what != expected) Fail("a short text must fail at index 4", text, what);
    return kTooShort;
  }
  if (outcome == Outcome::OutOfRange) {
    if (!IsHeadThenText(what, kIso8601OutsideRange, text)) Fail("undocumented message", text, what);
    return kIso8601OutsideRange;
  }
  if (IsHeadThenText(what, kIso8601YearBefore1900, text)) return kIso8601YearBefore1900;
  const std::string_view what_view = what;
  if (what_view.starts_with(kIso8601Head)) {
    for (const std::string_view detail : {kIso8601Nothing, kIso8601Year, kIso8601Month, kIso8601Day, kIso8601Hour,
                                          kIso8601Minutes, kIso8601Seconds, kIso8601Offset, kIso8601Designator}) {
      const std::string_view head = what_view.substr(0, kIso8601Head.size() + detail.size());
      if (head.ends_with(detail) && IsHeadThenText(what, head, text)) return detail;
    }
  }
  Fail("undocumented message", text, what);
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvik::chrono;
  using namespace orvik::chrono::fuzz;
  const std::string text(reinterpret_cast<const char*>(data), size);

  std::pair<TimePoint, std::chrono::minutes> split;
  std::string_view split_head;
  const Outcome split_outcome = RunExpectingDocumentedErrors(
      text, [&] { split = SplitIso8601(text); },
      [&](Outcome outcome, const char* what) { split_head = CheckedHead(outcome, what, text); });

  TimePoint from;
  std::string_view from_head;
  const Outcome from_outcome = RunExpectingDocumentedErrors(
      text, [&] { from = FromIso8601(text); },
      [&](Outcome outcome, const char* what) { from_head = CheckedHead(outcome, what, text); });

  if (split_outcome != from_outcome || split_head != from_head) {
    Fail("FromIso8601 and SplitIso8601 end differently", text);
  }
  if (split_outcome == Outcome::Returned && from != split.first) {
    Fail("FromIso8601 is not the instant of SplitIso8601", text);
  }

  CheckBothFaces(text, SplitIso8601, TrySplitIso8601);
  CheckBothFaces(text, FromIso8601, TryFromIso8601);
  return 0;
}
