// Standard output collected in large blocks and written with write(2). A
// failed write ends the command: Flush throws std::system_error, whose text
// reads "write error: <reason>".
#ifndef ORVIK_CHRONO_TOOLS_OUTPUT_H_
#define ORVIK_CHRONO_TOOLS_OUTPUT_H_

#include <cstddef>
#include <string>

namespace orvik::chrono::internal {

struct Output {
  static constexpr std::size_t kBlock = 1 << 16;

  int Fd;
  std::string Buffer;
};

// Writes and empties the buffer.
void Flush(Output& out);

// Flushes once a block has gathered.
inline void FlushWhenFull(Output& out) {
  if (out.Buffer.size() >= Output::kBlock) Flush(out);
}

// Throws the write error for `error` (an errno value).
[[noreturn]] void ThrowWriteError(int error);

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_TOOLS_OUTPUT_H_
