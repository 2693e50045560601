// duration: nanoseconds and seconds of each ISO 8601 duration.
#include <chrono>
#include <cstdio>
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
    // The seconds floored, and the nanoseconds above them: -1 ns is -1.999999999 s.
    const auto seconds = std::chrono::floor<std::chrono::seconds>(read.Value);
    char line[sizeof("-9223372036854775808 ns  -9223372037.000000000 s\n")];
    out.append(line,
               static_cast<std::size_t>(std::snprintf(
                   line, sizeof line, "%lld ns  %lld.%09lld s\n", static_cast<long long>(read.Value.count()),
                   static_cast<long long>(seconds.count()), static_cast<long long>((read.Value - seconds).count()))));
    return true;
  });
}

}  // namespace orvik::chrono::cli
