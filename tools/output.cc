#include "output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace orvik::chrono::cli {

void ThrowWriteError(int error) { throw std::system_error(error, std::generic_category(), "write error"); }

bool SameDestination(int a, int b) {
  if (::isatty(a) != 0 && ::isatty(b) != 0) return true;
  struct stat first {};
  struct stat second {};
  return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

void Flush(Output& out) {
  std::size_t written = 0;
  while (written < out.Buffer.size()) {
    const ssize_t n = ::write(out.Fd, out.Buffer.data() + written, out.Buffer.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowWriteError(errno);
    if (n == 0) ThrowWriteError(EIO);
    written += static_cast<std::size_t>(n);
  }
  out.Buffer.clear();
}

}  // namespace orvik::chrono::cli
