#include <array>
#include <cstddef>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string>

#include "calendar/convert.h"

namespace orvik::chrono {

std::string ToHttpDate(TimePoint t) {
  const long seconds = t.time_since_epoch().count() / kNanosecondsPerSecond;  // truncated toward zero
  std::tm utc{};
  Convert(seconds, &utc, TimeZone::UTC);

  static const std::array<std::string, 7> Days{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const std::array<std::string, 12> Months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

  std::ostringstream out;
  // A global locale that groups digits would turn the year into "2,024".
  out.imbue(std::locale::classic());
  out << Days.at(static_cast<std::size_t>(utc.tm_wday)) << ", " << std::setfill('0') << std::setw(2) << utc.tm_mday
      << ' ' << Months.at(static_cast<std::size_t>(utc.tm_mon)) << ' ' << std::setfill(' ') << std::setw(4)
      << utc.tm_year + 1900 << ' ' << std::setfill('0') << std::setw(2) << utc.tm_hour << ':' << std::setfill('0')
      << std::setw(2) << utc.tm_min << ':' << std::setfill('0') << std::setw(2) << utc.tm_sec << " GMT";
  return out.str();
}

}  // namespace orvik::chrono
