#include "instant_text.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "calendar/time_units.h"
#include "cli_messages.h"
#include "messages.h"
#include "text/digits.h"

namespace orvik::chrono::cli {
namespace {

// The library's units of time, digit helpers and message builder.
using namespace internal;

// The fifth character tells the ISO 8601 layouts apart, so the library reads
// no shorter text; the tool names what it expected instead.
constexpr std::size_t kShortestIso = sizeof("2020-") - 1;

void CheckIsoLength(const std::string& text) {
  if (text.size() < kShortestIso) ThrowMessage<std::invalid_argument>({kIsoTooShort, text});
}

// Fraction digits of epoch seconds: nanoseconds at most.
constexpr std::size_t kFractionDigits = sizeof("999999999") - 1;

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

struct EpochText {
  bool Negative = false;
  std::string_view Whole;
  std::string_view Fraction;  // empty when the text has no '.'
};

// Splits "@-123.45" into its parts; false when the text is not epoch seconds.
bool SplitEpoch(std::string_view text, EpochText& epoch) {
  if (!text.empty() && text.front() == '@') text.remove_prefix(1);
  if (!text.empty() && text.front() == '-') {
    epoch.Negative = true;
    text.remove_prefix(1);
  }
  const std::size_t dot = text.find('.');
  epoch.Whole = text.substr(0, dot);
  epoch.Fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  const auto all_digits = [](std::string_view digits) { return std::ranges::all_of(digits, digits::IsDigit); };
  if (epoch.Whole.empty() || !all_digits(epoch.Whole)) return false;
  if (dot == std::string_view::npos) return true;
  return !epoch.Fraction.empty() && epoch.Fraction.size() <= kFractionDigits && all_digits(epoch.Fraction);
}

TimePoint ReadEpoch(const std::string& text) {
  EpochText epoch;
  if (!SplitEpoch(text, epoch)) ThrowMessage<std::invalid_argument>({kEpochUnreadable, text});
  std::int64_t seconds = 0;
  const auto [end, error] = std::from_chars(epoch.Whole.data(), epoch.Whole.data() + epoch.Whole.size(), seconds);
  if (error != std::errc() || seconds > kMaxTimePointSeconds) {
    ThrowMessage<std::out_of_range>({kEpochOutsideRange, text});
  }
  if (epoch.Fraction.empty()) return FileTimePointToSystemTimePoint(epoch.Negative ? -seconds : seconds);
  std::int64_t fraction = 0;
  for (std::size_t i = 0; i < kFractionDigits; ++i) {
    fraction = fraction * 10 + (i < epoch.Fraction.size() ? epoch.Fraction[i] - '0' : 0);
  }
  Int128 count = static_cast<Int128>(seconds) * kNanosecondsPerSecond + fraction;
  if (epoch.Negative) count = -count;
  if (count < std::numeric_limits<std::int64_t>::min() || count > std::numeric_limits<std::int64_t>::max()) {
    ThrowMessage<std::out_of_range>({kEpochOutsideRange, text});
  }
  return TimePoint(std::chrono::nanoseconds(static_cast<std::int64_t>(count)));
}

}  // namespace

InputKind DetectKind(std::string_view text) {
  EpochText epoch;
  if (SplitEpoch(text, epoch)) return InputKind::Epoch;
  if (!text.empty() && IsLetter(text.front())) return InputKind::Http;
  return InputKind::Iso;
}

TimePoint ReadInstant(const std::string& text, InputKind kind) {
  if (kind == InputKind::Auto) kind = DetectKind(text);
  switch (kind) {
    case InputKind::Http:
      return FromHttpDate(text);
    case InputKind::Epoch:
      return ReadEpoch(text);
    default:
      CheckIsoLength(text);
      return FromIso8601(text);
  }
}

std::pair<TimePoint, std::chrono::minutes> SplitIso(const std::string& text) {
  CheckIsoLength(text);
  return SplitIso8601(text);
}

std::string SecondsWithFraction(std::int64_t nanoseconds) {
  const FlooredTime floored = FloorToSecond(TimePoint(std::chrono::nanoseconds(nanoseconds)));
  char fraction[kFractionDigits];
  digits::WriteNine(fraction, floored.Nanoseconds);
  return std::to_string(floored.Seconds) + "." + std::string(fraction, sizeof fraction);
}

void AppendInstant(std::string& out, TimePoint t, OutputFormat format, TimeZone zone) {
  const std::int64_t count = t.time_since_epoch().count();
  switch (format) {
    case OutputFormat::Http:
      out += ToHttpDate(t);
      break;
    case OutputFormat::Iso:
      out += ToIso8601(t, Iso8601Format::Extended, zone);
      break;
    case OutputFormat::IsoNs:
      out += ToIso8601(t, Iso8601Format::ExtendedNanoseconds, zone);
      break;
    case OutputFormat::IsoBasic:
      out += ToIso8601(t, Iso8601Format::BasicNanoseconds, zone);
      break;
    case OutputFormat::Epoch:
      out += std::to_string(FloorToSecond(t).Seconds);
      break;
    case OutputFormat::EpochNs:
      out += std::to_string(count);
      break;
  }
}

}  // namespace orvik::chrono::cli
