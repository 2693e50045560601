// Reports of refused inputs and of failures on standard error, each line
// "orvik-chrono: " and a message.
#ifndef ORVIK_CHRONO_TOOLS_REFUSALS_H_
#define ORVIK_CHRONO_TOOLS_REFUSALS_H_

#include <unistd.h>

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "output.h"

namespace orvik::chrono::cli {

struct Refusals {
  std::size_t Count = 0;
  // Flushed before each report, so that results and refusals keep the order
  // of the inputs when they go to one file or terminal.
  Output* FlushFirst = nullptr;
};

// Refusals of a command that writes to `out`.
Refusals RefusalsFor(Output& out);

// `text` with every control byte written as \xHH.
std::string EscapeControlBytes(std::string_view text);

// Writes "orvik-chrono: <message>" and a newline on standard error.
void Say(std::string_view message);

// What a user is told of `e`, thrown for one input: its text when it is the
// library's or the tool's own, the tool's words for what the standard library
// said otherwise.
std::string_view MessageOf(const std::exception& e);

// Reports "orvik-chrono: <where> <position>: <message>" and counts it. The
// message is `what` with `input` escaped; when `what` ends with the part of
// `input` before a NUL byte, the whole input is shown.
void Report(Refusals& refusals, const char* where, std::size_t position, std::string_view what, std::string_view input);

// Reports that reading `input` (a name) failed with `error` (an errno value)
// and counts it.
void ReportReadError(Refusals& refusals, std::string_view input, int error);

// 0 when nothing was refused, 1 otherwise.
inline int ExitStatus(const Refusals& refusals) { return refusals.Count == 0 ? 0 : 1; }

// Writes what `append(text, out)` appends for each of `texts` to standard
// output, or reports why not; returns the exit status. `append` throws before
// it appends anything.
template <typename Append>
int ForEachText(const std::vector<std::string>& texts, Append append) {
  Output out{STDOUT_FILENO, {}};
  Refusals refusals = RefusalsFor(out);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    try {
      append(texts[i], out.Buffer);
    } catch (const std::exception& e) {
      Report(refusals, "argument", i + 1, MessageOf(e), texts[i]);
    }
  }
  Flush(out);
  return ExitStatus(refusals);
}

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_REFUSALS_H_
