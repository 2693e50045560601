// The face without exceptions or allocation beside the throwing one, on the
// same texts and instants: the Try readers on accepted texts and on refused
// ones (each text of a ring damaged at one place), the throwing readers on
// the same refused texts, and FormatIso8601 and FormatHttpDate beside
// ToIso8601 and ToHttpDate.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "benchmarks.h"
#include "inputs.h"

namespace orvik::chrono::bench {
namespace {

// The texts of a ring, alive as long as the benchmarks that view them.
const std::vector<std::string>& Keep(std::vector<std::string> texts) {
  static std::vector<std::unique_ptr<const std::vector<std::string>>> kept;
  kept.push_back(std::make_unique<const std::vector<std::string>>(std::move(texts)));
  return *kept.back();
}

std::vector<std::string_view> Views(const std::vector<std::string>& texts) { return {texts.begin(), texts.end()}; }

// Where a damaged character makes a text refused: from `First` on, and
// before the last `Tail` characters (the last digits of a field that may end
// early, such as the seconds of an HTTP date, and the text after them).
struct Damage {
  std::size_t First;
  std::size_t Tail;
};

// Each text with one character inside `damage` made an 'x', at a place that
// moves from text to text.
std::vector<std::string> Damaged(std::vector<std::string> texts, Damage damage) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::size_t places = texts[i].size() - damage.Tail - damage.First;
    texts[i][damage.First + (i * 7 + 3) % places] = 'x';
  }
  return texts;
}

// ISO 8601 timestamps with nanoseconds and an offset, or 'Z', written by libc.
std::vector<std::string> Iso8601Texts(bool utc = false) {
  std::vector<std::string> texts;
  for (const TimePoint t : RandomInstants()) {
    const std::tm tm = LibcCalendarTime(WholeSeconds(t) + 19800, TimeZone::UTC);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%FT%T", &tm);
    std::snprintf(text + length, sizeof text - length, utc ? ".%09ldZ" : ".%09ld+05:30", Nanoseconds(t));
    texts.emplace_back(text);
  }
  return texts;
}

std::vector<std::string> DurationTexts() {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < kRingSize; ++i) {
    texts.push_back("PT" + std::to_string(i % 100) + "H" + std::to_string(i % 60) + "M" + std::to_string(i % 59) + "S");
  }
  return texts;
}

// The throwing reader on a refused text: the cost of its exception.
template <typename Read>
auto Thrown(Read read) {
  return [read](const std::string& text) -> std::size_t {
    try {
      read(text);
    } catch (const std::exception& e) {
      return std::char_traits<char>::length(e.what());
    }
    return 0;
  };
}

// Try<format>/<variant>/accepted and /refused through the Try reader, and
// /refused_throwing through the throwing one.
template <typename TryRead, typename Read>
void RegisterReader(const std::string& name, std::vector<std::string> accepted, Damage damage, TryRead try_read,
                    Read read) {
  const auto& good = Keep(std::move(accepted));
  const auto& bad = Keep(Damaged(good, damage));
  RegisterMeasure(
      name + "/accepted", Views(good), [try_read](std::string_view text) { return try_read(text).value; },
      [&good, read](std::size_t i, auto value) { return value == read(good[i]); }, Threads::kOneAndTwo);
  RegisterMeasure(name + "/accepted_throwing", good, read, [](std::size_t, const auto&) { return true; });
  RegisterMeasure(
      name + "/refused", Views(bad), [try_read](std::string_view text) { return try_read(text).error; },
      [](std::size_t, ParseError error) { return error != ParseError::None; }, Threads::kOneAndTwo);
  RegisterMeasure(name + "/refused_throwing", bad, Thrown(read),
                  [](std::size_t, std::size_t length) { return length > 0; });
}

// The strict reader on the lenient one's texts: /accepted, checked against
// the lenient reader, and /refused.
template <typename TryStrict, typename Read>
void RegisterStrictReader(const std::string& name, std::vector<std::string> accepted, Damage damage,
                          TryStrict try_strict, Read read) {
  const auto& good = Keep(std::move(accepted));
  const auto& bad = Keep(Damaged(good, damage));
  RegisterMeasure(
      name + "/accepted", Views(good), [try_strict](std::string_view text) { return try_strict(text).value; },
      [&good, read](std::size_t i, auto value) { return value == read(good[i]); }, Threads::kOneAndTwo);
  RegisterMeasure(
      name + "/refused", Views(bad), [try_strict](std::string_view text) { return try_strict(text).error; },
      [](std::size_t, ParseError error) { return error != ParseError::None; }, Threads::kOneAndTwo);
}

// The instant alone of a strict reader.
template <typename TryStrict>
auto InstantOf(TryStrict try_strict) {
  return [try_strict](std::string_view text) {
    const ParseResult<Timestamp> read = try_strict(text);
    return ParseResult<TimePoint>{read.value.instant, read.error};
  };
}

// The text written into this thread's buffer, as a view of it.
template <std::size_t kSize, typename Format>
auto Written(Format format) {
  return [format](TimePoint t) {
    thread_local char buffer[kSize];
    return std::string_view(buffer, format(buffer, t));
  };
}

void RegisterFormatIso8601(const std::string& variant, const std::vector<TimePoint>& ring, TimeZone zone) {
  RegisterMeasure(
      "FormatIso8601/" + variant + "/orvik", ring, Written<kMaxIso8601Size>([zone](char* out, TimePoint t) {
        return FormatIso8601(out, t, Iso8601Format::ExtendedNanoseconds, zone);
      }),
      [&ring, zone](std::size_t i, std::string_view text) { return text == ToIso8601(ring[i], zone); },
      Threads::kOneAndTwo);
}

}  // namespace

void RegisterNoExceptionBenchmarks() {
  // Not the offset "+05:30", "GMT" and the seconds' last digit, the year of
  // asctime, or the first character of a duration, which is not looked at.
  RegisterReader("TryFromIso8601/extended_ns_offset", Iso8601Texts(), {0, 6}, TryFromIso8601, FromIso8601);
  RegisterReader("TryFromIso8601/extended_ns_utc", Iso8601Texts(true), {0, 1}, TryFromIso8601, FromIso8601);
  RegisterReader("TryFromHttpDate/imf_fixdate", Strftime(RandomSeconds(), "%a, %d %b %Y %H:%M:%S GMT"), {0, 5},
                 TryFromHttpDate, FromHttpDate);
  RegisterReader("TryFromHttpDate/rfc850", Strftime(RandomSecondsOfTwoDigitYears(), "%A, %d-%b-%y %H:%M:%S GMT"),
                 {0, 5}, TryFromHttpDate, FromHttpDate);
  RegisterReader("TryFromHttpDate/asctime", Strftime(RandomSeconds(), "%a %b %e %H:%M:%S %Y"), {0, 4}, TryFromHttpDate,
                 FromHttpDate);
  RegisterReader("duration::TryFromIso8601/varied", DurationTexts(), {1, 0}, duration::TryFromIso8601,
                 duration::FromIso8601);

  // The strict readers on the same texts; RFC 850 years of 1971 to 2000 read
  // against an instant of 1995, within 50 years of each.
  constexpr TimePoint kIn1995{std::chrono::seconds(788918400)};
  const auto http_in_1995 = [kIn1995](std::string_view text) { return TryFromHttpDateStrict(text, kIn1995); };
  const auto iso = [](std::string_view text) { return TryFromIso8601Strict(text); };
  const auto mail = [](std::string_view text) { return TryFromMailDate(text); };
  RegisterStrictReader("TryFromIso8601Strict/extended_ns_offset", Iso8601Texts(), {0, 6}, InstantOf(iso), FromIso8601);
  RegisterStrictReader("TryFromIso8601Strict/extended_ns_utc", Iso8601Texts(true), {0, 1}, InstantOf(iso), FromIso8601);
  RegisterStrictReader("TryFromHttpDateStrict/imf_fixdate", Strftime(RandomSeconds(), "%a, %d %b %Y %H:%M:%S GMT"),
                       {0, 5}, InstantOf(http_in_1995), FromHttpDate);
  RegisterStrictReader("TryFromHttpDateStrict/rfc850",
                       Strftime(RandomSecondsOfTwoDigitYears(), "%A, %d-%b-%y %H:%M:%S GMT"), {0, 5},
                       InstantOf(http_in_1995), FromHttpDate);
  RegisterStrictReader("TryFromHttpDateStrict/asctime", Strftime(RandomSeconds(), "%a %b %e %H:%M:%S %Y"), {0, 4},
                       InstantOf(http_in_1995), FromHttpDate);
  // A mail date as RFC 5322 recommends writing it; FromHttpDate reads the
  // same instant, ignoring the zone. No byte of it can be damaged unnoticed.
  RegisterStrictReader("TryFromMailDate/canonical", Strftime(RandomSeconds(), "%a, %d %b %Y %H:%M:%S +0000"), {0, 0},
                       InstantOf(mail), FromHttpDate);
  RegisterStrictReader(
      "duration::TryFromIso8601Strict/varied", DurationTexts(), {1, 0},
      [](std::string_view text) { return duration::TryFromIso8601Strict(text); }, duration::FromIso8601);

  RegisterFormatIso8601("utc_random", RandomInstants(), TimeZone::UTC);
  RegisterFormatIso8601("utc_same_hour", SameHourInstants(), TimeZone::UTC);
  RegisterFormatIso8601("local_random", RandomInstants(), TimeZone::Local);
  RegisterFormatIso8601("local_same_hour", SameHourInstants(), TimeZone::Local);
  RegisterMeasure(
      "FormatHttpDate/random/orvik", RandomInstants(), Written<kHttpDateSize>(FormatHttpDate),
      [](std::size_t i, std::string_view text) { return text == ToHttpDate(RandomInstants()[i]); },
      Threads::kOneAndTwo);
}

}  // namespace orvik::chrono::bench
