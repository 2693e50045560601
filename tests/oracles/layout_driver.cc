// Layouts for oracles outside C++: reads records ended by a NUL, each
// "W<TAB>zone<TAB>nanoseconds<TAB>format" (writes the text) or
// "R<TAB>zone<TAB>format<TAB>text" (reads the text as wall-clock time in the
// zone, "" for UTC), and answers each, also ended by a NUL, with the text
// written, the instant read in nanoseconds, or "refused <message>".
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <iostream>
#include <string>
#include <string_view>

int main() {
  using namespace orvik::chrono;
  std::string record;
  while (std::getline(std::cin, record, '\0')) {
    std::string_view rest = record;
    std::string_view fields[4];
    for (std::string_view& field : fields) {
      const std::size_t tab = rest.find('\t');
      field = rest.substr(0, tab);
      rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
    }
    const Zone zone = fields[1].empty() ? Zone::Utc() : LoadZone(fields[1]);
    if (fields[0] == "W") {
      const TimePoint t{std::chrono::nanoseconds(std::stoll(std::string(fields[2])))};
      std::cout << ToLayout(t, CompileLayout(fields[3]), zone) << '\0';
      continue;
    }
    std::string message = "refused ";
    const auto read = TryFromLayout(fields[3], CompileLayout(fields[2]), zone, Disambiguation::Compatible, message);
    std::cout << (read ? std::to_string(read.value.timestamp.instant.time_since_epoch().count()) : message) << '\0';
  }
  return 0;
}
