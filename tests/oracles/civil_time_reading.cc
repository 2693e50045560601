// TryFromCivil for oracles outside C++: reads lines "zone year month day hour
// minute second" and writes for each "<compatible> <earlier> <later>" in
// epoch seconds, or "refused <message>".
#include <orvik/chrono/chrono.h>

#include <iostream>
#include <string>

int main() {
  using namespace orvik::chrono;
  std::string name;
  CivilTime t;
  while (std::cin >> name >> t.year >> t.month >> t.day >> t.hour >> t.minute >> t.second) {
    std::string message;
    const ZoneLoad load = TryLoadZone(name);
    if (!load) message = ZoneErrorMessage(load.error, name);
    for (const Disambiguation choice : {Disambiguation::Compatible, Disambiguation::Earlier, Disambiguation::Later}) {
      const ParseResult<Timestamp> result = TryFromCivil(t, load.zone, choice, message);
      if (load && result) std::cout << result.value.instant.time_since_epoch().count() / 1000000000 << ' ';
    }
    std::cout << (message.empty() ? "" : "refused " + message) << '\n' << std::flush;
  }
  return 0;
}
