// TryFromHttpDateStrict: an HTTP date of RFC 9110, read only as written.
//
// The weekday tells the layout: an abbreviation and ',' an IMF-fixdate, a
// full name an RFC 850 date, an abbreviation and ' ' an asctime date. The rest
// is one layout of fixed width, its month looked up in its exact case; the
// fields are checked, and the weekday against the date, once the text has its
// layout.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "civil/civil.h"
#include "civil/instant.h"
#include "civil/names.h"
#include "civil/time_units.h"
#include "http/record.h"
#include "messages.h"
#include "text/pattern.h"
#include "text/strict_reading.h"
#include "text/vector.h"

namespace orvik::chrono {
namespace internal {
namespace {

// Each after its weekday.
constexpr BytePattern kImfFixdate{", dd nnn yyyy hh:ii:ss GMT", "weekday"};
constexpr BytePattern kRfc850{", dd-nnn-yy hh:ii:ss GMT", "weekday"};
constexpr BytePattern kAsctime{" nnn _d hh:ii:ss yyyy", "weekday"};
// The IMF-fixdate whole, its weekday too, the layout that writers use most.
constexpr BytePattern kWholeImfFixdate{"nnn, dd nnn yyyy hh:ii:ss GMT", ""};

constexpr StrictErrors kErrors{ParseError::HttpStrictLayout, ParseError::HttpStrictNonexistent,
                               ParseError::HttpStrictWeekday, ParseError::HttpStrictLayout,
                               ParseError::HttpStrictOutsideRange};

// The weekday's abbreviation or full name, in exact case, and the end of its
// letters; nullopt for none. The letters are counted from the end of the full
// name that the abbreviation names, where it stands.
[[gnu::always_inline]] inline std::optional<int> ReadWeekday(std::string_view text, std::size_t& end) {
  const bool abbreviation = IsAt(text, kAbbreviationLength, ',') || IsAt(text, kAbbreviationLength, ' ');
  const std::optional<int> weekday =
      text.size() < kAbbreviationLength ? std::nullopt : WeekdayOfKey(AbbreviationAt<false>(text, 0));
  const std::string_view name = weekday ? kWeekdayNames[*weekday] : "";
  const bool full_name = !abbreviation && weekday && text.starts_with(name);
  end = abbreviation ? kAbbreviationLength : full_name ? name.size() : 0;
  while (end < text.size() && IsLetter(text[end])) ++end;
  if (end < kAbbreviationLength) return std::nullopt;
  if (end == kAbbreviationLength || (full_name && end == name.size())) return weekday;
  return std::nullopt;
}

// kPattern after the weekday, its month looked up.
template <const BytePattern& kPattern>
bool ReadDate(std::string_view text, std::size_t& at, StrictReading& r) {
  constexpr std::size_t kMonth = kPattern.Text.find('n');
  const std::size_t month_at = at + kMonth;
  if (!ReadPattern<kPattern>(text, at, r)) return false;
  const std::optional<int> month = MonthOfKey(AbbreviationAt<false>(text, month_at));
  if (!month) {
    r.Fault = {Problem::Expected, kExpectedTexts<kPattern>[kMonth].View(), static_cast<std::uint32_t>(month_at),
               kAbbreviationLength};
    return false;
  }
  r.Fields.Month = *month + 1;
  return at == text.size() || r.Refuse("the end of the text", at);
}

// A year, month, day and second of the day as one number that orders as the
// four do, one after another: months below 16, days below 128 and seconds
// below 2^19, which two digits of each field of a text cannot reach.
constexpr std::int64_t CalendarOrder(std::int64_t year, int month, int day, std::int64_t second) {
  return ((year * 16 + month) * 128 + day) * (std::int64_t{1} << 19) + second;
}

// What a two-digit year is placed by: `now` 50 years on, in CalendarOrder,
// and the first year of now's century.
struct FiftyYears {
  std::int64_t Limit;
  std::int64_t Century;
};

FiftyYears FiftyYearsFrom(TimePoint now) {
  const civil::DayAndSecond split = civil::SplitDays(FloorToSecond(now).Seconds);
  const civil::Date today = civil::CivilFromDays(split.Days);
  return {CalendarOrder(today.Year + 50, static_cast<int>(today.Month), static_cast<int>(today.Day), split.Second),
          today.Year - today.Year % 100};
}

// The year of two digits `f.Year` that lies no more than 50 years after
// `now`, and after `now` minus 50 years, the times compared field by field as
// the calendar orders them: 29 February of a year that has none lies before
// 1 March, where a count of seconds would carry it.
int CenturyYear(const CivilFields& f, const FiftyYears& from_now) {
  const std::int64_t time = f.Hour * kSecondsPerHour + f.Minute * kSecondsPerMinute + f.Second;
  const auto after_limit = [&](std::int64_t year) {
    return CalendarOrder(year, f.Month, f.Day, time) > from_now.Limit;
  };
  std::int64_t year = from_now.Century + f.Year;
  if (after_limit(year)) {
    year -= 100;
  } else if (!after_limit(year + 100)) {
    year += 100;
  }
  return static_cast<int>(year);
}

// kWholeImfFixdate, its names looked up.
[[gnu::always_inline]] inline bool IsWholeImfFixdate(std::string_view text, StrictReading& r,
                                                     std::optional<int>& weekday) {
  constexpr std::size_t kMonth = kWholeImfFixdate.Text.find('n', kAbbreviationLength);
  if (!IsWholePattern<kWholeImfFixdate>(text, r)) return false;
  weekday = WeekdayOfKey(AbbreviationAt<false>(text, 0));
  const std::optional<int> month = MonthOfKey(AbbreviationAt<false>(text, kMonth));
  r.Fields.Month = month.value_or(0) + 1;
  return weekday && month;
}

// The reading of record; where `misfit`, the text is known not to be a
// whole kWholeImfFixdate whose names are found.
[[gnu::always_inline]] inline ParseResult<Timestamp> ReadRecord(std::string_view text, TimePoint now, StrictReading& r,
                                                                bool misfit) {
  std::size_t at = 0;
  std::optional<int> weekday;
  if (misfit || !IsWholeImfFixdate(text, r, weekday)) {
    r = {};
    weekday = ReadWeekday(text, at);
    const bool full_name = at > kAbbreviationLength;
    if (!weekday) {
      r.Refuse(kWeekdayPrompt, 0, at);
      return {{}, kErrors.Layout};
    }
    // Taken from `now` alone, before the date is read, so that the two
    // overlap.
    const FiftyYears from_now = full_name ? FiftyYearsFrom(now) : FiftyYears{};
    const bool read = full_name             ? ReadDate<kRfc850>(text, at, r)
                      : IsAt(text, at, ' ') ? ReadDate<kAsctime>(text, at, r)
                                            : ReadDate<kImfFixdate>(text, at, r);
    if (!read) return {{}, kErrors.Layout};
    if (full_name) r.Fields.Year = CenturyYear(r.Fields, from_now);
  }
  Timestamp instant;
  std::int64_t days = 0;
  const Problem formed = FormTimestamp(r.Fields, 0, instant, days);
  Problem problem = CheckWeekday(formed, days, *weekday);
  if (problem == Problem::Weekday) {
    instant = {};
    r.Fault.Size = static_cast<std::uint32_t>(text.find_first_of(", "));
  }
  return Outcome(r, problem, instant, kErrors);
}

#if defined(__SSE2__)
// kWholeImfFixdate's first sixteen bytes and its last, the names left open.
inline constexpr vector::Layout kImfStart = vector::MakeLayout<1>("???, 99 ??? 9999", {5}, {31}, {1});
inline constexpr vector::Layout kImfEnd =
    vector::MakeLayout<3>("999 99:99:99 GMT", {4, 7, 10}, {23, 59, 59}, {0, 0, 0});
static_assert(kWholeImfFixdate.Text.size() == 29);
#endif

// The IMF-fixdate at once: Read, its instant into `read`, where the text is a
// whole kWholeImfFixdate with fields in their bounds, an inner year and the
// date's weekday; Misfit where it is no kWholeImfFixdate whose month is
// found; otherwise Other.
[[gnu::always_inline]] inline Shortcut ReadImfShortcut(std::string_view text, Timestamp& read) {
#if defined(__SSE2__)
  if (text.size() != kWholeImfFixdate.Text.size()) return Shortcut::Misfit;
  const char* const p = text.data();
  const vector::Checked start = vector::Check(p, kImfStart);
  const vector::Checked end = vector::Check(p + 13, kImfEnd);
  const std::size_t month = MonthIndexOfKey(AbbreviationAt<false>(text, 8));
  if (!vector::IsZero(vector::Or(start.Departures, end.Departures)) || month == kMonthKeys.size()) {
    return Shortcut::Misfit;
  }
  const InnerFields fields{vector::ByteAt<12>(start.Pairs) * 100 + vector::ByteAt<14>(start.Pairs),
                           static_cast<unsigned>(month) + 1,
                           vector::ByteAt<5>(start.Pairs),
                           vector::ByteAt<4>(end.Pairs),
                           vector::ByteAt<7>(end.Pairs),
                           vector::ByteAt<10>(end.Pairs),
                           0,
                           0};
  // The weekday written is compared with the date's, whose name it must be.
  std::int64_t days = 0;
  if (!vector::IsZero(vector::Or(start.OutOfBounds, end.OutOfBounds)) || !FormInnerTimestamp(fields, read, days) ||
      AbbreviationAt<false>(text, 0) != kWeekdayKeys[civil::WeekdayFromDays(days)]) {
    return Shortcut::Other;
  }
  return Shortcut::Read;
#else
  static_cast<void>(text);
  static_cast<void>(read);
  return Shortcut::Other;
#endif
}

}  // namespace

ParseResult<Timestamp> ReadHttpDateStrictRecord(std::string_view text, TimePoint now, StrictReading& r) {
  return ReadRecord(text, now, r, false);
}

}  // namespace internal

ParseResult<Timestamp> TryFromHttpDateStrict(std::string_view text, TimePoint now) noexcept {
  Timestamp read;
  const internal::Shortcut shortcut = internal::ReadImfShortcut(text, read);
  if (shortcut == internal::Shortcut::Read) return {read, ParseError::None};
  internal::StrictReading reading;
  return internal::ReadRecord(text, now, reading, shortcut == internal::Shortcut::Misfit);
}

ParseResult<Timestamp> TryFromHttpDateStrict(std::string_view text) noexcept {
  return TryFromHttpDateStrict(text, std::chrono::system_clock::now());
}

ParseResult<Timestamp> TryFromHttpDateStrict(std::string_view text, TimePoint now, std::string& message) {
  Timestamp read;
  const internal::Shortcut shortcut = internal::ReadImfShortcut(text, read);
  if (shortcut == internal::Shortcut::Read) return {read, ParseError::None};
  internal::StrictReading reading;
  const ParseResult<Timestamp> result =
      internal::ReadRecord(text, now, reading, shortcut == internal::Shortcut::Misfit);
  if (!result) internal::AppendStrictMessage(message, internal::kHttpStrictHead, reading, text);
  return result;
}

}  // namespace orvik::chrono
