#include "instant_text.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <system_error>

#include "cli_messages.h"

namespace orvik::chrono::cli {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
// The whole seconds that a time point holds either way.
constexpr std::int64_t kMaxSeconds = std::numeric_limits<std::int64_t>::max() / kNanosecondsPerSecond;

// Fraction digits of epoch seconds: nanoseconds at most.
constexpr std::size_t kFractionDigits = sizeof("999999999") - 1;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
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
  // Most texts are told apart by their first bytes: no look at the rest.
  const auto whole = static_cast<std::size_t>(std::ranges::find_if_not(text, IsDigit) - text.begin());
  epoch.Whole = text.substr(0, whole);
  if (whole == 0 || whole == text.size()) return whole != 0;
  if (text[whole] != '.') return false;
  epoch.Fraction = text.substr(whole + 1);
  return !epoch.Fraction.empty() && epoch.Fraction.size() <= kFractionDigits &&
         std::ranges::all_of(epoch.Fraction, IsDigit);
}

Reading<TimePoint> ReadEpoch(std::string_view text) {
  EpochText epoch;
  if (!SplitEpoch(text, epoch)) return {{}, ParseError::None, kEpochUnreadable};
  std::int64_t seconds = 0;
  const auto [end, error] = std::from_chars(epoch.Whole.data(), epoch.Whole.data() + epoch.Whole.size(), seconds);
  if (error != std::errc() || seconds > kMaxSeconds) return {{}, ParseError::None, kEpochOutsideRange};
  std::int64_t fraction = 0;
  for (std::size_t i = 0; i < kFractionDigits; ++i) {
    fraction = fraction * 10 + (i < epoch.Fraction.size() ? epoch.Fraction[i] - '0' : 0);
  }
  // Counted toward zero, so that the most negative time point fits.
  std::int64_t count = 0;
  if (__builtin_mul_overflow(seconds, epoch.Negative ? -kNanosecondsPerSecond : kNanosecondsPerSecond, &count) ||
      __builtin_add_overflow(count, epoch.Negative ? -fraction : fraction, &count)) {
    return {{}, ParseError::None, kEpochOutsideRange};
  }
  return {TimePoint(std::chrono::nanoseconds(count)), ParseError::None, {}};
}

template <typename T>
Reading<T> FromLibrary(const ParseResult<T>& read) {
  return {read.value, read.error, {}};
}

void AppendNumber(std::string& out, std::int64_t value) {
  char text[sizeof("-9223372036854775808")];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

}  // namespace

InputKind DetectKind(std::string_view text) {
  EpochText epoch;
  if (SplitEpoch(text, epoch)) return InputKind::Epoch;
  if (!text.empty() && IsLetter(text.front())) return InputKind::Http;
  return InputKind::Iso;
}

Reading<TimePoint> ReadInstant(std::string_view text, InputKind kind) {
  if (kind == InputKind::Auto) kind = DetectKind(text);
  switch (kind) {
    case InputKind::Http:
      return FromLibrary(TryFromHttpDate(text));
    case InputKind::Epoch:
      return ReadEpoch(text);
    default:
      return FromLibrary(TryFromIso8601(text));
  }
}

Reading<std::pair<TimePoint, std::chrono::minutes>> SplitIso(std::string_view text) {
  return FromLibrary(TrySplitIso8601(text));
}

Reading<std::chrono::nanoseconds> ReadDuration(std::string_view text) {
  return FromLibrary(duration::TryFromIso8601(text));
}

std::string RefusalMessage(ParseError error, std::string_view own_refusal, std::string_view text) {
  if (error == ParseError::Iso8601TooShort) own_refusal = kIsoTooShort;
  if (!own_refusal.empty()) return std::string(own_refusal).append(text);
  if (error == ParseError::DurationNumberTooLarge) return std::string(kDurationNumberTooLarge);
  return ErrorMessage(error, text);
}

std::string SecondsWithFraction(std::int64_t nanoseconds) {
  const TimePoint t{std::chrono::nanoseconds(nanoseconds)};
  const auto seconds = std::chrono::floor<std::chrono::seconds>(t);
  std::string text;
  AppendNumber(text, seconds.time_since_epoch().count());
  char fraction[sizeof(".999999999")];
  std::snprintf(fraction, sizeof fraction, ".%09lld", static_cast<long long>((t - seconds).count()));
  return text.append(fraction);
}

void AppendInstant(std::string& out, TimePoint t, OutputFormat format, TimeZone zone) {
  char text[kMaxIso8601Size];
  char* end = nullptr;
  switch (format) {
    case OutputFormat::Http:
      end = FormatHttpDate(text, t);
      break;
    case OutputFormat::Iso:
    case OutputFormat::IsoNs:
    case OutputFormat::IsoBasic: {
      const Iso8601Format layout = format == OutputFormat::Iso     ? Iso8601Format::Extended
                                   : format == OutputFormat::IsoNs ? Iso8601Format::ExtendedNanoseconds
                                                                   : Iso8601Format::BasicNanoseconds;
      end = FormatIso8601(text, t, layout, zone);
      // Only a failure of localtime_r, which no second of the time point
      // range meets, writes nothing: ToIso8601 then throws its exception.
      if (end == nullptr) out += ToIso8601(t, layout, zone);
      break;
    }
    case OutputFormat::Epoch:
      AppendNumber(out, std::chrono::floor<std::chrono::seconds>(t).time_since_epoch().count());
      return;
    case OutputFormat::EpochNs:
      AppendNumber(out, t.time_since_epoch().count());
      return;
  }
  if (end != nullptr) out.append(text, static_cast<std::size_t>(end - text));
}

}  // namespace orvik::chrono::cli
