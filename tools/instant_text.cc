#include "instant_text.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "cli_messages.h"

namespace orvik::chrono::cli {
namespace {

constexpr std::uint64_t kLargestCount = std::numeric_limits<std::int64_t>::max();

// The fraction digits that each unit takes, down to nanoseconds, in the order
// of kEpochUnits: a unit is 10 to that power nanoseconds.
constexpr std::size_t kUnitFractionDigits[] = {9, 6, 3, 0};
constexpr std::uint64_t kPowersOfTen[] = {1,       10,        100,        1'000,       10'000,
                                          100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000};

// Digits alone that --from auto does not read, as they may be a year or a date
// as well as epoch seconds.
constexpr std::size_t kFewestAmbiguous = sizeof("2024") - 1;
constexpr std::size_t kMostAmbiguous = sizeof("20240305") - 1;

constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The index in kEpochUnits of what `kind` counts; seconds for Auto.
std::size_t UnitOf(InputKind kind) {
  return kind > InputKind::Epoch ? static_cast<std::size_t>(kind) - static_cast<std::size_t>(InputKind::Epoch) : 0;
}

// What the reading of an epoch count expected where it stopped, in the order
// of kExpected.
enum class Expected : std::uint8_t { Digit, DigitPointOrEnd, DigitOrEnd, EndAfterFraction };

// An epoch count read in one pass: the whole units, which stop counting once
// past any range, and the fraction in nanoseconds.
struct EpochText {
  bool Negative = false;
  std::uint64_t Whole = 0;  // the largest std::uint64_t: beyond it, however far
  std::uint64_t Fraction = 0;
  std::size_t Stop = 0;  // where a refused text stopped being one
  Expected Wanted = Expected::Digit;
};

// Reads "@-123.45" counted in kEpochUnits[unit]; false when the text is no
// such count. Most texts are told apart by their first bytes.
bool SplitEpoch(std::string_view text, std::size_t unit, EpochText& epoch) {
  // A count up to this one takes one more digit without overflow.
  constexpr std::uint64_t kGrows = (std::numeric_limits<std::uint64_t>::max() - 9) / 10;
  const std::size_t most = kUnitFractionDigits[unit];
  const char* at = text.data();
  const char* const end = at + text.size();
  if (at != end && *at == '@') ++at;
  const bool negative = at != end && *at == '-';
  if (negative) ++at;
  const char* const whole = at;
  std::uint64_t count = 0;
  for (; at != end && IsDigit(*at); ++at) {
    count = count <= kGrows ? count * 10 + static_cast<unsigned>(*at - '0') : std::numeric_limits<std::uint64_t>::max();
  }
  epoch = {negative, count, 0, static_cast<std::size_t>(at - text.data()), Expected::Digit};
  if (at == whole) return false;
  if (at == end) return true;
  if (*at != '.' || most == 0) {
    epoch.Wanted = most == 0 ? Expected::DigitOrEnd : Expected::DigitPointOrEnd;
    return false;
  }
  const char* const fraction = ++at;
  std::uint64_t part = 0;
  for (; at != end && IsDigit(*at) && at - fraction < static_cast<std::ptrdiff_t>(most); ++at) {
    part = part * 10 + static_cast<unsigned>(*at - '0');
  }
  const auto digits = static_cast<std::size_t>(at - fraction);
  epoch.Fraction = part * kPowersOfTen[most - digits];
  epoch.Stop = static_cast<std::size_t>(at - text.data());
  if (at == end && digits > 0) return true;
  epoch.Wanted = digits == 0 ? Expected::Digit : digits == most ? Expected::EndAfterFraction : Expected::DigitOrEnd;
  return false;
}

Reading<Timestamp> ReadEpoch(std::string_view text, InputKind kind) {
  const std::size_t unit = UnitOf(kind);
  const Reading<Timestamp> refused{{}, false, ReadAs::Epoch, kind, {}, nullptr};
  EpochText epoch;
  if (!SplitEpoch(text, unit, epoch)) return refused;
  // The size of the count in nanoseconds: a negative one reaches one further.
  std::uint64_t size = 0;
  if (__builtin_mul_overflow(epoch.Whole, kPowersOfTen[kUnitFractionDigits[unit]], &size) ||
      __builtin_add_overflow(size, epoch.Fraction, &size) || size > kLargestCount + (epoch.Negative ? 1 : 0)) {
    return refused;
  }
  const auto count = static_cast<std::int64_t>(epoch.Negative ? 0 - size : size);
  return {{TimePoint(std::chrono::nanoseconds(count))}, true, ReadAs::Epoch, kind, {}, nullptr};
}

// Whether `text`, white space around it aside, is an optional '-' and digits
// with at most one '.' or ','.
bool IsNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.starts_with('-')) text.remove_prefix(1);
  std::size_t points = 0;
  for (const char c : text) {
    if (!IsDigit(c) && c != '.' && c != ',') return false;
    points += IsDigit(c) ? 0U : 1U;
  }
  return points <= 1 && text.size() > points;  // and a digit
}

// The kind that `auto` picks, by the rule of kAutoRule.
InputKind DetectKind(std::string_view text) {
  if (text.empty()) return InputKind::Iso;
  if (IsLetter(text.front())) return InputKind::Http;  // never a number
  return text.front() == '@' || IsNumber(text) ? InputKind::Epoch : InputKind::Iso;
}

// The number of digits before any fraction of `text`, epoch seconds without
// '@' with 4 to 8 such digits, signed or not, with a fraction or not (2024,
// -2024.5, 20240305): a year or a date as well. 0 for any other text.
std::size_t AmbiguousDigits(std::string_view text) {
  EpochText epoch;
  if (text.starts_with('@') || !SplitEpoch(text, 0, epoch)) return 0;
  if (text.starts_with('-')) text.remove_prefix(1);
  const std::size_t digits = std::min(text.find('.'), text.size());
  return digits >= kFewestAmbiguous && digits <= kMostAmbiguous ? digits : 0;
}

template <typename T>
Reading<T> FromLibrary(const ParseResult<T>& read, ReadAs format) {
  return {read.value, static_cast<bool>(read), format, InputKind::Iso, {}, nullptr};
}

// Whether `text`, which the mail reader and another refuse alike for their
// layouts, has a mail date's shape and none of the other's, so that the mail
// reader's message says what is wrong: a comment first; a day of one or two
// digits and a blank first (ISO 8601 starts with a year of four); or a day in
// digits after a weekday and an optional ',', but for two digits then '-'
// (RFC 850) and two digits in a text that ends in " GMT" (IMF-fixdate).
bool HasMailShape(std::string_view text) {
  if (text.starts_with('(')) return true;
  const std::string_view weekday = text.substr(0, text.find_first_not_of(kLetters));
  std::string_view day = text.substr(weekday.size());
  if (!weekday.empty()) {
    if (day.starts_with(',')) day.remove_prefix(1);
    while (!day.empty() && IsBlank(day.front())) day.remove_prefix(1);
  }
  const std::size_t digits = std::min(day.find_first_not_of("0123456789"), day.size());
  const std::string_view after = day.substr(digits);
  if (weekday.empty()) return digits >= 1 && digits <= 2 && !after.empty() && IsBlank(after.front());
  return digits > 0 && !(digits == 2 && (after.starts_with('-') || text.ends_with(" GMT")));
}

// `text`, which another reader refused as having none of its layouts, as a
// mail date. Where the mail date is refused too, its refusal replaces the
// other's, which `refusal` holds from `start` on, when the text has a mail
// date's layout or, refused for its layout too, a mail date's shape by the
// rule of HasMailShape: the text is read again for its message.
Reading<Timestamp> OrMailDate(std::string_view text, const Reading<Timestamp>& refused, std::string& refusal,
                              std::size_t start) {
  const ParseResult<Timestamp> mail = TryFromMailDate(text);
  if (!mail && mail.error == ParseError::MailDateLayout && !HasMailShape(text)) return refused;
  refusal.resize(start);
  if (!mail) TryFromMailDate(text, refusal);
  return FromLibrary(mail, ReadAs::Mail);
}

// As an HTTP date, then, where the text has none of its layouts, as a mail
// date: of those layouts only the IMF-fixdate is a mail date, refused by both
// readers alike. An RFC 850 two-digit year is read against `reference`.
Reading<Timestamp> ReadHttpOrMail(std::string_view text, TimePoint reference, std::string& refusal) {
  const std::size_t start = refusal.size();
  const ParseResult<Timestamp> http = TryFromHttpDateStrict(text, reference, refusal);
  if (http || http.error != ParseError::HttpStrictLayout) return FromLibrary(http, ReadAs::Http);
  return OrMailDate(text, FromLibrary(http, ReadAs::Http), refusal, start);
}

// As an ISO 8601 timestamp, then, if `or_mail` and its layout is none, as a
// mail date that starts with its day or a comment. With --assume-zone the
// reading in its zone reads every text; without, the plain strict reader
// reads the texts that name their instant with seconds, and the reading in a
// zone what it refuses that names its instant otherwise: by an RFC 9557
// suffix, a time without seconds, an offset with seconds. A text that names
// no zone is then refused with a hint of --assume-zone.
Reading<Timestamp> ReadIso(std::string_view text, bool or_mail, const WallClock& wall, std::string& refusal) {
  if (!wall.In) {
    const ParseResult<Timestamp> plain = TryFromIso8601Strict(text);
    if (plain) return FromLibrary(plain, ReadAs::Iso);
  }
  const ParseResult<ZonedTimestamp> zoned = TryFromIso8601Strict(text, wall.In.value_or(Zone::Utc()), wall.Rule);
  const bool lacks_zone = zoned && !wall.In && zoned.value.wall_clock && !zoned.value.zone_named;
  if (zoned && !lacks_zone) {
    Reading<Timestamp> read{zoned.value.timestamp, true, ReadAs::Iso, InputKind::Iso, {}, nullptr};
    read.InZone = zoned.value;
    return read;
  }
  const std::size_t start = refusal.size();
  ParseError error = ParseError::None;
  if (wall.In || text.find('[') != std::string_view::npos) {
    error = TryFromIso8601Strict(text, wall.In.value_or(Zone::Utc()), wall.Rule, refusal).error;
  } else {
    error = TryFromIso8601Strict(text, refusal).error;
    // Before the ": " and the text that end the library's message.
    if (lacks_zone) refusal.insert(refusal.size() - text.size() - 2, kAssumeZoneHint);
  }
  const Reading<Timestamp> refused{{}, false, ReadAs::Iso, InputKind::Iso, {}, nullptr};
  if (lacks_zone || !or_mail || error != ParseError::Iso8601StrictLayout) return refused;
  return OrMailDate(text, refused, refusal, start);
}

// The library's message, or the tool's words where the library passes on the
// standard library's.
template <typename T>
Reading<T> Lenient(const ParseResult<T>& read, ReadAs format, std::string_view text, std::string& refusal) {
  if (read) return FromLibrary(read, format);
  if (read.error == ParseError::Iso8601TooShort) {
    refusal.append(kIsoTooShort).append(text);
  } else if (read.error == ParseError::DurationNumberTooLarge) {
    refusal.append(kDurationNumberTooLarge);
  } else {
    refusal += ErrorMessage(read.error, text);
  }
  return FromLibrary(read, format);
}

Reading<Timestamp> ReadLenient(std::string_view text, InputKind kind, std::string& refusal) {
  if (kind == InputKind::Http) {
    const ParseResult<TimePoint> read = TryFromHttpDate(text);
    return Lenient<Timestamp>({{read.value}, read.error}, ReadAs::Http, text, refusal);
  }
  const auto read = TrySplitIso8601(text);
  return Lenient<Timestamp>({{read.value.first, read.value.second}, read.error}, ReadAs::Iso, text, refusal);
}

constexpr std::size_t kLongestNumber = sizeof("-9223372036854775808") - 1;
constexpr std::size_t kLongestInstant =
    std::max({kMaxIso8601InZoneSize, kMaxIso8601Size, kHttpDateSize, kLongestNumber});

// The first whole second of the time point range; the second before it
// begins below the range.
constexpr TimePoint kFirstWholeSecond = std::chrono::ceil<std::chrono::seconds>(TimePoint::min());
constexpr long kSecondsPerMinute = 60;
constexpr long kSecondsPerDay = 86'400;
constexpr int kLeapSecond = 60;

long SecondOfDay(const std::tm& tm) {
  return (tm.tm_hour * kSecondsPerMinute + tm.tm_min) * kSecondsPerMinute + tm.tm_sec;
}

// What keeps the local time of `t` from naming `t` in ISO 8601.
enum class LocalText : std::uint8_t { Names, OffsetWithSeconds, CountsLeapSeconds };

// Whether the local time of `t`, as ToCalendarTime shows it, names `t` with
// its offset: not where the offset has seconds, nor in a zone that counts
// leap seconds (right/), whose fields lag UTC's plus the offset by the leap
// seconds inserted so far and show a leap second as second 60.
LocalText CheckLocal(TimePoint t) {
  const TimePoint shown = SecondShown(t);
  const std::tm local = ToCalendarTime(shown, TimeZone::Local);
  if (local.tm_gmtoff % kSecondsPerMinute != 0) return LocalText::OffsetWithSeconds;
  const long lag =
      (SecondOfDay(ToCalendarTime(shown, TimeZone::UTC)) + local.tm_gmtoff - SecondOfDay(local)) % kSecondsPerDay;
  return lag != 0 || local.tm_sec == kLeapSecond ? LocalText::CountsLeapSeconds : LocalText::Names;
}

char* WriteNumber(char* out, std::int64_t value) { return std::to_chars(out, out + kLongestNumber, value).ptr; }

// Appends kFound and the character of `text` at `at` in quotes, or the end of
// the text: a UTF-8 lead byte with the continuation bytes after it, as the
// library's messages quote one, so that the message of a UTF-8 text is UTF-8.
void AppendFound(std::string& out, std::string_view text, std::size_t at) {
  constexpr std::size_t kLongestSequence = 4;
  out.append(kFound);
  if (at == text.size()) {
    out.append(kEndOfText);
    return;
  }
  std::size_t size = 1;
  if (static_cast<unsigned char>(text[at]) >= 0xc0) {
    while (size < kLongestSequence && at + size < text.size() &&
           (static_cast<unsigned char>(text[at + size]) & 0xc0) == 0x80) {
      ++size;
    }
  }
  out.append("'").append(text.substr(at, size)).append("'");
}

// Why `text`, read as `kind`, is no epoch count of that unit: where it is not
// one, or the range of the time points.
std::string EpochMessage(std::string_view text, InputKind kind) {
  const std::size_t unit = UnitOf(kind);
  const EpochUnitWords& words = kEpochUnits[unit];
  std::string message(kNotEpoch);
  message.append(words.Name).append(" (").append(words.Examples).append("), ");
  EpochText epoch;
  if (SplitEpoch(text, unit, epoch)) {
    message.append(kEpochOutsideRange);
    AppendInstant(message, TimePoint::min(), OutputFormat::IsoNs, TimeZone::UTC);
    message.append(kRangeTo);
    AppendInstant(message, TimePoint::max(), OutputFormat::IsoNs, TimeZone::UTC);
    if (!words.Smaller.empty()) message.append(kSmallerUnits).append(words.Smaller);
    return message.append(": ").append(text);
  }
  message.append(kExpected[static_cast<std::size_t>(epoch.Wanted)]);
  if (epoch.Wanted == Expected::EndAfterFraction) message.append(words.MostFractionDigits).append(kFractionDigits);
  AppendFound(message, text, epoch.Stop);
  return message.append(": ").append(text);
}

// Why --from auto does not read `text`, whose `digits` whole digits may be a
// year or a date: what it is as epoch seconds, and what names an instant.
std::string AmbiguousMessage(std::string_view text, std::size_t digits) {
  const bool year = digits == kFewestAmbiguous;
  std::string message(kAmbiguous);
  message.append(year ? kYear : kDate).append(kOrEpochSeconds).append(text).append(kReadsEpochSeconds);
  AppendInstant(message, ReadEpoch(text, InputKind::Epoch).Value.instant, OutputFormat::Iso, TimeZone::UTC);
  return message.append(year ? kYearIsNoInstant : kDateIsNoInstant).append(": ").append(text);
}

// `text` as `kind`, ReadInstant's reading without formats.
Reading<Timestamp> ReadKind(std::string_view text, InputKind kind, bool lenient, std::string& refusal,
                            const WallClock& wall, TimePoint reference) {
  InputKind read_as = kind;
  if (kind == InputKind::Auto) {
    read_as = DetectKind(text);
    const std::size_t digits = read_as == InputKind::Epoch ? AmbiguousDigits(text) : 0;
    if (digits != 0) {
      refusal += AmbiguousMessage(text, digits);
      return {{}, false, ReadAs::Epoch, read_as, {}, nullptr};
    }
  }
  if (read_as >= InputKind::Epoch) {
    const Reading<Timestamp> read = ReadEpoch(text, read_as);
    if (!read) refusal += EpochMessage(text, read_as);
    return read;
  }
  if (lenient) return ReadLenient(text, read_as, refusal);
  return read_as == InputKind::Http ? ReadHttpOrMail(text, reference, refusal)
                                    : ReadIso(text, kind == InputKind::Auto, wall, refusal);
}

}  // namespace

Reading<Timestamp> ReadInstant(std::string_view text, InputKind kind, bool lenient, std::string& refusal,
                               const WallClock& wall, const Readers& readers) {
  if (readers.Formats.empty()) return ReadKind(text, kind, lenient, refusal, wall, readers.Reference);
  const Zone zone = wall.In.value_or(Zone::Utc());
  const Layout* shaped = nullptr;  // the first format whose shape the text has
  for (const Layout& layout : readers.Formats) {
    const ParseResult<ZonedTimestamp> read = TryFromLayout(text, layout, zone, wall.Rule, readers.Reference);
    if (read) return {read.value.timestamp, true, ReadAs::Layout, InputKind::Iso, read.value, &layout};
    if (shaped == nullptr && read.error != ParseError::LayoutMismatch) shaped = &layout;
  }
  if (readers.KindToo) {
    const std::size_t start = refusal.size();
    const Reading<Timestamp> read = ReadKind(text, kind, lenient, refusal, wall, readers.Reference);
    if (read || shaped == nullptr) return read;
    refusal.resize(start);
  }
  // Read again for its message, which only a refusal needs.
  const Layout& said = shaped != nullptr ? *shaped : readers.Formats.front();
  static_cast<void>(TryFromLayout(text, said, zone, wall.Rule, readers.Reference, refusal));
  return {{}, false, ReadAs::Layout, InputKind::Iso, {}, &said};
}

Reading<std::chrono::nanoseconds> ReadDuration(std::string_view text, bool lenient, std::string& refusal) {
  if (lenient) return Lenient(duration::TryFromIso8601(text), ReadAs::Iso, text, refusal);
  return FromLibrary(duration::TryFromIso8601Strict(text, refusal), ReadAs::Iso);
}

std::string EpochName(InputKind kind) { return "epoch " + std::string(kEpochUnits[UnitOf(kind)].Name); }

TimePoint SecondShown(TimePoint t) {
  if (t >= TimePoint{} || t < kFirstWholeSecond) return t;
  return std::chrono::floor<std::chrono::seconds>(t);
}

bool AppendInstant(std::string& out, TimePoint t, OutputFormat format, TimeZone zone,
                   const std::optional<Zone>& named) {
  const bool iso = format == OutputFormat::Iso || format == OutputFormat::IsoNs || format == OutputFormat::IsoBasic;
  if (iso && zone == TimeZone::Local && CheckLocal(t) != LocalText::Names) return false;
  // Written in place at the end of `out`, never copied there.
  const std::size_t begin = out.size();
  out.resize(begin + (format == OutputFormat::IsoZone ? kMaxIso8601WithZoneNameSize : kLongestInstant));
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
      if (named) {  // which names the second that holds `t` in every layout
        end = FormatIso8601(text, t, layout, *named);
        break;  // nothing where the zone counts leap seconds
      }
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
    case OutputFormat::IsoZone:
      end = named ? FormatIso8601WithZoneName(text, t, Iso8601Format::ExtendedNanoseconds, *named) : nullptr;
      break;
    case OutputFormat::Epoch:
      end = WriteNumber(text, std::chrono::floor<std::chrono::seconds>(t).time_since_epoch().count());
      break;
    case OutputFormat::EpochNs:
      end = WriteNumber(text, t.time_since_epoch().count());
      break;
  }
  out.resize(end == nullptr ? begin : static_cast<std::size_t>(end - out.data()));
  return end != nullptr;
}

bool AppendLayout(std::string& out, TimePoint t, const Layout& layout, TimeZone zone,
                  const std::optional<Zone>& named) {
  // The library writes localtime_r's fields, which in a zone that counts leap
  // seconds name another instant.
  if (!named && zone == TimeZone::Local && CheckLocal(t) == LocalText::CountsLeapSeconds) return false;
  const std::size_t begin = out.size();
  out.resize(begin + layout.MaxSize());
  char* const text = out.data() + begin;
  char* const end = named ? FormatLayout(text, layout.MaxSize(), t, layout, *named)
                          : FormatLayout(text, layout.MaxSize(), t, layout, zone);
  out.resize(end == nullptr ? begin : static_cast<std::size_t>(end - out.data()));
  if (end != nullptr) return true;
  // A zone abbreviation longer than MaxSize counts on, which a POSIX rule
  // may name, or a zone that counts leap seconds, which ToLayout refuses.
  try {
    out += named ? ToLayout(t, layout, *named) : ToLayout(t, layout, zone);
    return true;
  } catch (const std::invalid_argument&) {
    return false;
  }
}

std::string OffsetText(std::chrono::seconds offset) {
  const long long east = offset.count();
  const long long size = east < 0 ? -east : east;
  char text[sizeof("+2147483647:00:00")];
  int length = std::snprintf(text, sizeof text, "%c%02lld:%02lld", east < 0 ? '-' : '+', size / 3600, size / 60 % 60);
  if (size % 60 != 0) {
    length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ":%02lld", size % 60);
  }
  return {text, static_cast<std::size_t>(length)};
}

std::string UnwritableMessage(TimePoint t, std::string_view text, const std::optional<Zone>& named,
                              const Layout* layout) {
  std::string message;
  if (layout != nullptr && named) {
    try {  // for its refusal
      static_cast<void>(ToLayout(t, *layout, *named));
    } catch (const std::invalid_argument& e) {
      message = e.what();
    }
  } else if (layout != nullptr) {
    message.append(kLocalCountsLeapSeconds).append(kNamesAnotherInstant);
  } else if (named) {
    message.append(kZoneCountsHead).append(named->Name()).append(kZoneCountsLeapSeconds);
    message.append(kIsoCountsNone).append(kNamesAnotherInstant);
  } else if (CheckLocal(t) == LocalText::OffsetWithSeconds) {
    const long offset = ToCalendarTime(SecondShown(t), TimeZone::Local).tm_gmtoff;
    message.append(kOffsetWithSeconds).append(OffsetText(std::chrono::seconds(offset))).append(kHasSeconds);
  } else {
    message.append(kLocalCountsLeapSeconds).append(kIsoCountsNone).append(kNamesAnotherInstant);
  }
  return message.append(kUseUtc).append(text);
}

}  // namespace orvik::chrono::cli
