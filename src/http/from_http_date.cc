#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace orvik::chrono {
namespace {

// The whole seconds whose nanosecond count fits into a time point.
constexpr long kFirstSecond = -9'223'372'036;
constexpr long kLastSecond = 9'223'372'036;

// What one layout's scan yields. The numbers are read as unsigned so that
// no text can make the scan overflow its destination; a leading '-' wraps
// and is undone by the conversion to int.
struct ScannedDate {
  char weekday[sizeof("Wednesday")];
  char month[sizeof("Nov")];
  unsigned day;
  unsigned year;
  unsigned hour;
  unsigned minute;
  unsigned second;
};

constexpr int kScannedFields = 7;

// Tries IMF-fixdate, RFC 850 and the two asctime layouts in that order. Only
// the leading fields are matched: whatever follows the seconds (or, in
// asctime, the year) is ignored. The year is returned as written, except that
// RFC 850's two digits count from 1900.
std::optional<std::tm> ScanLayouts(const char* text, ScannedDate& d) {
  int year_offset = 0;
  d = {};
  bool matched = std::sscanf(text, "%3[FMSTWadehinortu], %2u %3[ADFJMNOSabceglnoprtuvy] %4u %2u:%2u:%2u GMT", d.weekday,
                             &d.day, d.month, &d.year, &d.hour, &d.minute, &d.second) == kScannedFields;
  if (!matched) {
    d = {};
    year_offset = 1900;
    matched = std::sscanf(text, "%9[FMSTWadehinorstuy], %2u-%3[ADFJMNOSabceglnoprtuvy]-%2u %2u:%2u:%2u GMT", d.weekday,
                          &d.day, d.month, &d.year, &d.hour, &d.minute, &d.second) == kScannedFields;
  }
  if (!matched) {
    d = {};
    year_offset = 0;
    matched = std::sscanf(text, "%3[FMSTWadehinortu] %3[ADFJMNOSabceglnoprtuvy]  %1u %2u:%2u:%2u %4u GMT", d.weekday,
                          d.month, &d.day, &d.hour, &d.minute, &d.second, &d.year) == kScannedFields;
  }
  if (!matched) {
    d = {};
    matched = std::sscanf(text, "%3[FMSTWadehinortu] %3[ADFJMNOSabceglnoprtuvy] %2u %2u:%2u:%2u %4u GMT", d.weekday,
                          d.month, &d.day, &d.hour, &d.minute, &d.second, &d.year) == kScannedFields;
  }
  if (!matched) return std::nullopt;

  // At most four characters per number, so every value fits into an int.
  std::tm fields{};
  fields.tm_mday = static_cast<int>(d.day);
  fields.tm_year = static_cast<int>(d.year) + year_offset;
  fields.tm_hour = static_cast<int>(d.hour);
  fields.tm_min = static_cast<int>(d.minute);
  fields.tm_sec = static_cast<int>(d.second);
  return fields;
}

template <typename Exception>
[[noreturn]] void Refuse(std::string message, const std::string& text) {
  message += text;
  throw Exception(message);
}

}  // namespace

TimePoint FromHttpDate(const std::string& text) {
  static const std::map<std::string, int> Weekdays{
      {"Sun", 0},    {"Mon", 1},    {"Tue", 2},     {"Wed", 3},       {"Thu", 4},      {"Fri", 5},    {"Sat", 6},
      {"Sunday", 0}, {"Monday", 1}, {"Tuesday", 2}, {"Wednesday", 3}, {"Thursday", 4}, {"Friday", 5}, {"Saturday", 6}};
  static const std::map<std::string, int> Months{{"Jan", 0}, {"Feb", 1}, {"Mar", 2},  {"Apr", 3},
                                                 {"May", 4}, {"Jun", 5}, {"Jul", 6},  {"Aug", 7},
                                                 {"Sep", 8}, {"Oct", 9}, {"Nov", 10}, {"Dec", 11}};

  ScannedDate scanned;
  std::optional<std::tm> fields = ScanLayouts(text.c_str(), scanned);
  if (!fields) Refuse<std::invalid_argument>("Failed to interpret date string as HTTP timestamp: ", text);

  const auto month = Months.find(scanned.month);
  if (month == Months.end()) {
    Refuse<std::invalid_argument>(
        std::string("Failed to parse the month '") + scanned.month + "' of the HTTP timestamp: ", text);
  }
  fields->tm_mon = month->second;

  // Only checked: timegm ignores tm_wday, so a weekday that does not fit the
  // date changes nothing.
  const auto weekday = Weekdays.find(scanned.weekday);
  if (weekday == Weekdays.end()) {
    Refuse<std::invalid_argument>(
        std::string("Failed to parse the weekday '") + scanned.weekday + "' of the HTTP timestamp: ", text);
  }
  fields->tm_wday = weekday->second;

  fields->tm_year -= 1900;
  // timegm reads the fields as UTC whatever the process's zone, carries
  // out-of-range fields into the next unit, and cannot fail for years of at
  // most four digits.
  const long seconds = timegm(&*fields);
  if (seconds < kFirstSecond || seconds > kLastSecond) {
    Refuse<std::out_of_range>(
        "Failed to interpret date string as HTTP timestamp, the instant is outside the time point range: ", text);
  }
  return TimePoint(std::chrono::seconds(seconds));
}

}  // namespace orvik::chrono
