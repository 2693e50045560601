// duration: nanoseconds and seconds of each ISO 8601 duration.
#include <cstdint>
#include <string>

#include "commands.h"
#include "refusals.h"

namespace orvik::chrono::cli {

int Duration(const Options& options) {
  return ForEachText(options.Texts, [](const std::string& text, std::string& out) {
    const std::int64_t count = duration::FromIso8601(text).count();
    out += std::to_string(count) + " ns  " + SecondsWithFraction(count) + " s\n";
  });
}

}  // namespace orvik::chrono::cli
