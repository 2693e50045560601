// duration: nanoseconds and seconds of each ISO 8601 duration.
#include <cstdint>
#include <string>

#include "commands.h"
#include "refusals.h"

namespace orvik::chrono::cli {

int Duration(const Options& options) {
  return ForEachText(options.Texts, [&options](const std::string& text, std::string& out, std::string& refusal) {
    const Reading<std::chrono::nanoseconds> read = ReadDuration(text, options.Lenient);
    if (!read) {
      refusal = RefusalMessage(read, text);
      return false;
    }
    const std::int64_t count = read.Value.count();
    out += std::to_string(count) + " ns  " + SecondsWithFraction(count) + " s\n";
    return true;
  });
}

}  // namespace orvik::chrono::cli
