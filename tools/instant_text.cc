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

// Epoch seconds read in one pass: the whole seconds, which stop counting once
// past the time point range, and the fraction in nanoseconds.
struct EpochText {
  bool Negative = false;
  std::uint64_t Seconds = 0;  // above kMaxSeconds: outside the range, however far
  std::int64_t Nanoseconds = 0;
};

// Reads "@-123.45"; false when the text is not epoch seconds. Most texts are
// told apart by their first bytes.
bool SplitEpoch(std::string_view text, EpochText& epoch) {
  static constexpr std::int64_t kScale[kFractionDigits + 1] = {
      1'000'000'000, 100'000'000, 10'000'000, 1'000'000, 100'000, 10'000, 1'000, 100, 10, 1};
  const char* at = text.data();
  const char* const end = at + text.size();
  if (at != end && *at == '@') ++at;
  const bool negative = at != end && *at == '-';
  if (negative) ++at;
  const char* const whole = at;
  std::uint64_t seconds = 0;
  for (; at != end && IsDigit(*at); ++at) {
    if (seconds <= kMaxSeconds) seconds = seconds * 10 + static_cast<unsigned>(*at - '0');
  }
  epoch = {negative, seconds, 0};
  if (at == whole) return false;
  if (at == end) return true;
  if (*at != '.') return false;
  const char* const fraction = ++at;
  std::int64_t nanoseconds = 0;
  for (; at != end && IsDigit(*at) && at - fraction < static_cast<std::ptrdiff_t>(kFractionDigits); ++at) {
    nanoseconds = nanoseconds * 10 + (*at - '0');
  }
  const auto digits = static_cast<std::size_t>(at - fraction);
  epoch.Nanoseconds = nanoseconds * kScale[digits];
  return at == end && digits > 0;
}

Reading<Timestamp> ReadEpoch(std::string_view text) {
  constexpr ReadAs kEpoch = ReadAs::Epoch;
  EpochText epoch;
  if (!SplitEpoch(text, epoch)) return {{}, ParseError::None, kEpochUnreadable, kEpoch};
  if (epoch.Seconds > kMaxSeconds) return {{}, ParseError::None, kEpochOutsideRange, kEpoch};
  // Counted toward zero, so that the most negative time point fits.
  const auto seconds = static_cast<std::int64_t>(epoch.Seconds);
  std::int64_t count = 0;
  if (__builtin_mul_overflow(seconds, epoch.Negative ? -kNanosecondsPerSecond : kNanosecondsPerSecond, &count) ||
      __builtin_add_overflow(count, epoch.Negative ? -epoch.Nanoseconds : epoch.Nanoseconds, &count)) {
    return {{}, ParseError::None, kEpochOutsideRange, kEpoch};
  }
  return {{TimePoint(std::chrono::nanoseconds(count))}, ParseError::None, {}, kEpoch};
}

template <typename T>
Reading<T> FromLibrary(const ParseResult<T>& read, ReadAs format) {
  return {read.value, read.error, {}, format};
}

// As an HTTP date, then as a mail date. Where both refuse the text, the mail
// date's refusal is told only when the text has a mail date's layout but not
// an HTTP date's. Every two-digit year of a run is read against one instant.
Reading<Timestamp> ReadHttpOrMail(std::string_view text) {
  static const TimePoint kNow = std::chrono::system_clock::now();
  const ParseResult<Timestamp> http = TryFromHttpDateStrict(text, kNow);
  if (http) return FromLibrary(http, ReadAs::Http);
  const ParseResult<Timestamp> mail = TryFromMailDate(text);
  if (mail || (http.error == ParseError::HttpStrictLayout && mail.error != ParseError::MailDateLayout)) {
    return FromLibrary(mail, ReadAs::Mail);
  }
  return FromLibrary(http, ReadAs::Http);
}

// As an ISO 8601 timestamp, then, if `or_mail` and its layout is none, as a
// mail date that starts with its day or a comment.
Reading<Timestamp> ReadIso(std::string_view text, bool or_mail) {
  const ParseResult<Timestamp> iso = TryFromIso8601Strict(text);
  if (iso || !or_mail || iso.error != ParseError::Iso8601StrictLayout) return FromLibrary(iso, ReadAs::Iso);
  const ParseResult<Timestamp> mail = TryFromMailDate(text);
  return mail ? FromLibrary(mail, ReadAs::Mail) : FromLibrary(iso, ReadAs::Iso);
}

Reading<Timestamp> ReadLenient(std::string_view text, InputKind kind) {
  if (kind == InputKind::Http) {
    const ParseResult<TimePoint> read = TryFromHttpDate(text);
    return {{read.value}, read.error, {}, ReadAs::Http};
  }
  const auto read = TrySplitIso8601(text);
  return {{read.value.first, read.value.second}, read.error, {}, ReadAs::Iso};
}

constexpr std::size_t kLongestNumber = sizeof("-9223372036854775808") - 1;
constexpr std::size_t kLongestInstant = std::max({kMaxIso8601Size, kHttpDateSize, kLongestNumber});

// The first whole second of the time point range; the second before it
// begins below the range.
constexpr TimePoint kFirstWholeSecond = std::chrono::ceil<std::chrono::seconds>(TimePoint::min());
constexpr long kSecondsPerMinute = 60;

// The local offset at `t`, in seconds east of UTC.
long LocalOffset(TimePoint t) { return ToCalendarTime(SecondShown(t), TimeZone::Local).tm_gmtoff; }

char* WriteNumber(char* out, std::int64_t value) { return std::to_chars(out, out + kLongestNumber, value).ptr; }

void AppendNumber(std::string& out, std::int64_t value) {
  char text[kLongestNumber];
  out.append(text, WriteNumber(text, value));
}

}  // namespace

InputKind DetectKind(std::string_view text) {
  if (!text.empty() && IsLetter(text.front())) return InputKind::Http;  // never epoch seconds
  EpochText epoch;
  return SplitEpoch(text, epoch) ? InputKind::Epoch : InputKind::Iso;
}

Reading<Timestamp> ReadInstant(std::string_view text, InputKind kind, bool lenient) {
  const InputKind read_as = kind == InputKind::Auto ? DetectKind(text) : kind;
  if (read_as == InputKind::Epoch) return ReadEpoch(text);
  if (lenient) return ReadLenient(text, read_as);
  return read_as == InputKind::Http ? ReadHttpOrMail(text) : ReadIso(text, kind == InputKind::Auto);
}

Reading<std::chrono::nanoseconds> ReadDuration(std::string_view text, bool lenient) {
  return FromLibrary(lenient ? duration::TryFromIso8601(text) : duration::TryFromIso8601Strict(text), ReadAs::Iso);
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

TimePoint SecondShown(TimePoint t) {
  if (t >= TimePoint{} || t < kFirstWholeSecond) return t;
  return std::chrono::floor<std::chrono::seconds>(t);
}

bool AppendInstant(std::string& out, TimePoint t, OutputFormat format, TimeZone zone) {
  const bool iso = format == OutputFormat::Iso || format == OutputFormat::IsoNs || format == OutputFormat::IsoBasic;
  if (iso && zone == TimeZone::Local && LocalOffset(t) % kSecondsPerMinute != 0) return false;
  // Written in place at the end of `out`, never copied there.
  const std::size_t begin = out.size();
  out.resize(begin + kLongestInstant);
  char* const text = out.data() + begin;
  char* end = nullptr;
  switch (format) {
    case OutputFormat::Http:
      end = FormatHttpDate(text, SecondShown(t));
      // FormatHttpDate cuts toward zero, as ToCalendarTime does from 1970
      // on, so the range's first second, which SecondShown leaves as it is,
      // comes out as the second after it, 00:12:44.
      if (t < kFirstWholeSecond) --text[kHttpDateSize - sizeof(" GMT")];
      break;
    case OutputFormat::Iso:
    case OutputFormat::IsoNs:
    case OutputFormat::IsoBasic: {
      // The layouts with a fraction name `t` itself; the one without shows
      // the second that ToCalendarTime shows.
      const Iso8601Format layout = format == OutputFormat::Iso     ? Iso8601Format::Extended
                                   : format == OutputFormat::IsoNs ? Iso8601Format::ExtendedNanoseconds
                                                                   : Iso8601Format::BasicNanoseconds;
      const TimePoint shown = format == OutputFormat::Iso ? SecondShown(t) : t;
      end = FormatIso8601(text, shown, layout, zone);
      // Only a failure of localtime_r, which no second of the time point
      // range meets, writes nothing: ToIso8601 then throws its exception.
      if (end == nullptr) {
        out.resize(begin);
        out += ToIso8601(shown, layout, zone);
        return true;
      }
      break;
    }
    case OutputFormat::Epoch:
      end = WriteNumber(text, std::chrono::floor<std::chrono::seconds>(t).time_since_epoch().count());
      break;
    case OutputFormat::EpochNs:
      end = WriteNumber(text, t.time_since_epoch().count());
      break;
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
  return true;
}

std::string UnwritableMessage(TimePoint t, std::string_view text) {
  const long offset = LocalOffset(t);
  const long size = offset < 0 ? -offset : offset;
  char shown[32];  // room for any long
  std::snprintf(shown, sizeof shown, "%c%02ld:%02ld:%02ld", offset < 0 ? '-' : '+', size / 3600, size / 60 % 60,
                size % 60);
  return std::string(kOffsetWithSeconds).append(shown).append(kUseUtc).append(text);
}

}  // namespace orvik::chrono::cli
