// duration: nanoseconds and seconds of each ISO 8601 duration.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "commands.h"
#include "output.h"
#include "refusals.h"

namespace orvik::chrono::cli {

int Duration(const Options& options) {
  Output out{STDOUT_FILENO, {}};
  Refusals refusals = RefusalsFor(out);
  for (std::size_t i = 0; i < options.Texts.size(); ++i) {
    try {
      const std::int64_t count = duration::FromIso8601(options.Texts[i]).count();
      out.Buffer += std::to_string(count) + " ns  " + SecondsWithFraction(count) + " s\n";
    } catch (const std::exception& e) {
      Report(refusals, "argument", i + 1, MessageOf(e), options.Texts[i]);
    }
  }
  Flush(out);
  return ExitStatus(refusals);
}

}  // namespace orvik::chrono::cli
