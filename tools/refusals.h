// Reports of refused inputs on standard error.
#ifndef ORVIK_CHRONO_TOOLS_REFUSALS_H_
#define ORVIK_CHRONO_TOOLS_REFUSALS_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace orvik::chrono::internal {

struct Refusals {
  std::size_t Count = 0;
};

// `text` with every control byte written as \xHH.
std::string EscapeControlBytes(std::string_view text);

// Reports "orvik-chrono: <where> <position>: <message>" and counts it. The
// message is `what` (an exception's text) with `input` escaped; when `what`
// ends with the part of `input` before a NUL byte, the whole input is shown.
void Report(Refusals& refusals, const char* where, std::size_t position, std::string_view what, std::string_view input);

// 0 when nothing was refused, 1 otherwise.
inline int ExitStatus(const Refusals& refusals) { return refusals.Count == 0 ? 0 : 1; }

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_TOOLS_REFUSALS_H_
