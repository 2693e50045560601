// Standard output collected in large blocks and written with write(2). A
// failed write ends the command: Flush throws std::system_error, whose text
// reads "write error: <reason>".
#ifndef ORVIK_CHRONO_TOOLS_OUTPUT_H_
#define ORVIK_CHRONO_TOOLS_OUTPUT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace orvik::chrono::cli {

struct Output {
  static constexpr std::size_t kBlock = 1 << 16;

  int Fd;
  std::string Buffer;
};

// Writes all of `data` to `fd`, again after an interruption; returns 0, or
// the errno value of the write that failed.
int WriteAll(int fd, std::string_view data);

// Writes and empties the buffer.
void Flush(Output& out);

// Flushes once a block has gathered.
inline void FlushWhenFull(Output& out) {
  if (out.Buffer.size() >= Output::kBlock) Flush(out);
}

// Whether descriptors `a` and `b` write to one file or both to a terminal, so
// that what each writes interleaves.
bool SameDestination(int a, int b);

// Throws the write error for `error` (an errno value).
[[noreturn]] void ThrowWriteError(int error);

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_OUTPUT_H_
