#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <stdexcept>
#include <string>

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

}  // namespace

TimePoint FromHttpDate(const std::string& text) {
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
  // checked: timegm ignores tm_wday, so one that does not fit the date
  // changes nothing.
  std::tm fields{};
  fields.tm_sec = static_cast<int>(scanned.second);
  fields.tm_min = static_cast<int>(scanned.minute);
  fields.tm_hour = static_cast<int>(scanned.hour);
  fields.tm_mday = static_cast<int>(scanned.day);
  fields.tm_mon = month->second;
  fields.tm_year = scanned.first_year + static_cast<int>(scanned.year) - 1900;
  fields.tm_wday = weekday->second;
  // timegm reads the fields as UTC whatever the process's zone, carries
  // out-of-range fields into the next unit, and cannot fail for years of at
  // most four digits.
  const long seconds = timegm(&fields);
  if (seconds < kFirstSecond || seconds > kLastSecond) {
    Refuse<std::out_of_range>(
        "Failed to interpret date string as HTTP timestamp, the instant is outside the time point range: ", text);
  }
  return TimePoint(std::chrono::seconds(seconds));
}

}  // namespace orvik::chrono
