// now: the current time.
#include <unistd.h>

#include <chrono>
#include <string>

#include "commands.h"
#include "output.h"
#include "refusals.h"

namespace orvik::chrono::cli {

int Now(const Options& options) {
  Output out{STDOUT_FILENO, {}};
  const TimePoint now = std::chrono::system_clock::now();
  if (!AppendInstant(out.Buffer, now, options.To, options.Zone)) {
    std::string utc;
    AppendInstant(utc, now, options.To, TimeZone::UTC);
    Say(UnwritableMessage(now, utc));
    return 1;
  }
  out.Buffer += '\n';
  Flush(out);
  return 0;
}

}  // namespace orvik::chrono::cli
