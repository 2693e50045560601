// TryFromMailDate for oracles outside C++: reads texts from standard input,
// each ended by a NUL, and writes for each, also ended by a NUL, "<instant in
// ns> <offset in s>" or "refused <ErrorMessage>".
#include <orvik/chrono/chrono.h>

#include <iostream>
#include <string>

int main() {
  using namespace orvik::chrono;
  std::string text;
  while (std::getline(std::cin, text, '\0')) {
    const ParseResult<Timestamp> result = TryFromMailDate(text);
    if (result) {
      std::cout << result.value.instant.time_since_epoch().count() << ' ' << result.value.offset.count() << '\0';
    } else {
      std::cout << "refused " << ErrorMessage(result.error, text) << '\0';
    }
  }
  return 0;
}
