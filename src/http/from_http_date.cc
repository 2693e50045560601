#include "http/from_http_date.h"

#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calendar/civil.h"
#include "calendar/digits.h"
#include "http/names.h"

namespace orvik::chrono {
namespace {

// The whole seconds whose nanosecond count fits into a time point.
constexpr long kFirstSecond = -9'223'372'036;
constexpr long kLastSecond = 9'223'372'036;

// The fields of one layout's scan. The numbers are read as unsigned so that
// no text can make the scan overflow its destination; a leading '-' wraps
// and the conversion to int undoes it.
struct ScannedDate {
  char weekday[sizeof("Wednesday")];
  char month[sizeof("Nov")];
  unsigned day;
  unsigned year;
  unsigned hour;
  unsigned minute;
  unsigned second;
  int first_year;  // the year that a written year of 0 stands for
};

constexpr int kScannedFields = 7;

// Tries IMF-fixdate, RFC 850 and the two asctime layouts in that order and
// stops at the first whose seven fields all convert. Nothing after the last
// field is checked, so a missing or different zone and trailing text pass.
bool ScanLayouts(const char* text, ScannedDate& d) {
  d = {};
  if (std::sscanf(text, "%3[FMSTWadehinortu], %2u %3[ADFJMNOSabceglnoprtuvy] %4u %2u:%2u:%2u GMT", d.weekday, &d.day,
                  d.month, &d.year, &d.hour, &d.minute, &d.second) == kScannedFields) {
    return true;
  }
  d = {};
  d.first_year = 1900;
  if (std::sscanf(text, "%9[FMSTWadehinorstuy], %2u-%3[ADFJMNOSabceglnoprtuvy]-%2u %2u:%2u:%2u GMT", d.weekday, &d.day,
                  d.month, &d.year, &d.hour, &d.minute, &d.second) == kScannedFields) {
    return true;
  }
  d = {};
  if (std::sscanf(text, "%3[FMSTWadehinortu] %3[ADFJMNOSabceglnoprtuvy]  %1u %2u:%2u:%2u %4u GMT", d.weekday, d.month,
                  &d.day, &d.hour, &d.minute, &d.second, &d.year) == kScannedFields) {
    return true;
  }
  d = {};
  return std::sscanf(text, "%3[FMSTWadehinortu] %3[ADFJMNOSabceglnoprtuvy] %2u %2u:%2u:%2u %4u GMT", d.weekday, d.month,
                     &d.day, &d.hour, &d.minute, &d.second, &d.year) == kScannedFields;
}

template <typename Exception>
[[noreturn]] void Refuse(std::string message, const std::string& text) {
  message += text;
  throw Exception(message);
}

// The fields of a date as the fast path reads them.
struct DateFields {
  unsigned year;
  unsigned month;  // 1 to 12
  unsigned day;
  unsigned hour;
  unsigned minute;
  unsigned second;
};

// The index of the three-letter name at `text` in `names`, or -1.
template <std::size_t kCount>
int FindName(const char* text, const char (&names)[kCount][4]) {
  for (std::size_t i = 0; i < kCount; ++i) {
    if (text[0] == names[i][0] && text[1] == names[i][1] && text[2] == names[i][2]) return static_cast<int>(i);
  }
  return -1;
}

bool ReadMonth(const char* text, unsigned* month) {
  const int index = FindName(text, http::kMonthNames);
  *month = static_cast<unsigned>(index + 1);
  return index >= 0;
}

// "08:49:37"
bool ReadClock(const char* text, DateFields* f) {
  return digits::Read(text, 2, &f->hour) && text[2] == ':' && digits::Read(text + 3, 2, &f->minute) && text[5] == ':' &&
         digits::Read(text + 6, 2, &f->second);
}

// "Sun, 06 Nov 1994 08:49:37"
bool ReadImfFixdate(std::string_view text, DateFields* f) {
  const char* p = text.data();
  return text.size() >= sizeof("Sun, 06 Nov 1994 08:49:37") - 1 && FindName(p, http::kDayNames) >= 0 && p[3] == ',' &&
         p[4] == ' ' && digits::Read(p + 5, 2, &f->day) && p[7] == ' ' && ReadMonth(p + 8, &f->month) && p[11] == ' ' &&
         digits::Read(p + 12, 4, &f->year) && p[16] == ' ' && ReadClock(p + 17, f);
}

// "Sunday, 06-Nov-94 08:49:37"
bool ReadRfc850(std::string_view text, DateFields* f) {
  const int weekday = FindName(text.data(), http::kDayNames);
  if (weekday < 0) return false;
  const std::string_view name = http::kFullDayNames[weekday];
  if (text.size() < name.size() + sizeof(", 06-Nov-94 08:49:37") - 1 || !text.starts_with(name)) return false;
  const char* p = text.data() + name.size();
  unsigned year = 0;
  if (!(p[0] == ',' && p[1] == ' ' && digits::Read(p + 2, 2, &f->day) && p[4] == '-' && ReadMonth(p + 5, &f->month) &&
        p[8] == '-' && digits::Read(p + 9, 2, &year) && p[11] == ' ' && ReadClock(p + 12, f))) {
    return false;
  }
  f->year = 1900 + year;
  return true;
}

// "Sun Nov  6 08:49:37 1994", "Sun Nov 06 08:49:37 1994"
bool ReadAsctime(std::string_view text, DateFields* f) {
  const char* p = text.data();
  return text.size() >= sizeof("Sun Nov  6 08:49:37 1994") - 1 && FindName(p, http::kDayNames) >= 0 && p[3] == ' ' &&
         ReadMonth(p + 4, &f->month) && p[7] == ' ' &&
         (p[8] == ' ' ? digits::Read(p + 9, 1, &f->day) : digits::Read(p + 8, 2, &f->day)) && p[10] == ' ' &&
         ReadClock(p + 11, f) && p[19] == ' ' && digits::Read(p + 20, 4, &f->year);
}

}  // namespace

// Each layout read here is the one whose scan first matches such a text in
// the general path: the scans before it stop at the fourth character (a
// letter or a blank where ',' is due), and a two-digit asctime day fails the
// one-digit scan (a blank where ':' is due). Whatever follows the seconds (in
// asctime, the year) is ignored there as here. Days 29 to 31 of shorter
// months carry into the next month as timegm carries them; day 0, days above
// 31, clock values past 23:59:59 and instants out of range are left to the
// general path.
std::optional<TimePoint> FromHttpDateFast(std::string_view text) {
  DateFields f{};
  const bool read = text.size() > 3 && (text[3] == ','   ? ReadImfFixdate(text, &f)
                                        : text[3] == ' ' ? ReadAsctime(text, &f)
                                                         : ReadRfc850(text, &f));
  if (!read || f.day < 1 || f.day > 31 || f.hour > 23 || f.minute > 59 || f.second > 59) return std::nullopt;
  const unsigned second_of_day = (f.hour * 60 + f.minute) * 60 + f.second;
  const std::int64_t seconds = civil::DaysFromCivil(f.year, f.month, f.day) * civil::kSecondsPerDay + second_of_day;
  if (seconds < kFirstSecond || seconds > kLastSecond) return std::nullopt;
  return TimePoint(std::chrono::seconds(seconds));
}

TimePoint FromHttpDateGeneral(const std::string& text) {
  static const std::map<std::string, int> Weekdays{
      {"Sun", 0},    {"Mon", 1},    {"Tue", 2},     {"Wed", 3},       {"Thu", 4},      {"Fri", 5},    {"Sat", 6},
      {"Sunday", 0}, {"Monday", 1}, {"Tuesday", 2}, {"Wednesday", 3}, {"Thursday", 4}, {"Friday", 5}, {"Saturday", 6}};
  static const std::map<std::string, int> Months{{"Jan", 0}, {"Feb", 1}, {"Mar", 2},  {"Apr", 3},
                                                 {"May", 4}, {"Jun", 5}, {"Jul", 6},  {"Aug", 7},
                                                 {"Sep", 8}, {"Oct", 9}, {"Nov", 10}, {"Dec", 11}};

  ScannedDate scanned;
  if (!ScanLayouts(text.c_str(), scanned)) {
    Refuse<std::invalid_argument>("Failed to interpret date string as HTTP timestamp: ", text);
  }
  const auto month = Months.find(scanned.month);
  if (month == Months.end()) {
    Refuse<std::invalid_argument>(
        std::string("Failed to parse the month '") + scanned.month + "' of the HTTP timestamp: ", text);
  }
  const auto weekday = Weekdays.find(scanned.weekday);
  if (weekday == Weekdays.end()) {
    Refuse<std::invalid_argument>(
        std::string("Failed to parse the weekday '") + scanned.weekday + "' of the HTTP timestamp: ", text);
  }

  // Numbers of at most four characters fit into an int. The weekday is only
  // checked: the conversion ignores tm_wday, so one that does not fit the date
  // changes nothing.
  std::tm fields{};
  fields.tm_sec = static_cast<int>(scanned.second);
  fields.tm_min = static_cast<int>(scanned.minute);
  fields.tm_hour = static_cast<int>(scanned.hour);
  fields.tm_mday = static_cast<int>(scanned.day);
  fields.tm_mon = month->second;
  fields.tm_year = scanned.first_year + static_cast<int>(scanned.year) - 1900;
  fields.tm_wday = weekday->second;
  // The fields are UTC whatever the process's zone; out-of-range fields carry
  // into the next unit.
  const std::int64_t seconds = civil::SecondsFromFields(fields);
  if (seconds < kFirstSecond || seconds > kLastSecond) {
    Refuse<std::out_of_range>(
        "Failed to interpret date string as HTTP timestamp, the instant is outside the time point range: ", text);
  }
  return TimePoint(std::chrono::seconds(seconds));
}

TimePoint FromHttpDate(const std::string& text) {
  if (const std::optional<TimePoint> t = FromHttpDateFast(text)) return *t;
  return FromHttpDateGeneral(text);
}

}  // namespace orvik::chrono
