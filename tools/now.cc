// now: the current time.
#include <unistd.h>

#include <chrono>

#include "commands.h"
#include "output.h"

namespace orvik::chrono::cli {

int Now(const Options& options) {
  Output out{STDOUT_FILENO, {}};
  AppendInstant(out.Buffer, std::chrono::system_clock::now(), options.To, options.Zone);
  out.Buffer += '\n';
  Flush(out);
  return 0;
}

}  // namespace orvik::chrono::cli
