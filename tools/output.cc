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

int WriteAll(int fd, std::string_view data) {
  std::size_t written = 0;
  while (written < data.size()) {
    const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    written += static_cast<std::size_t>(n);
  }
  return 0;
}

void Flush(Output& out) {
  const int error = WriteAll(out.Fd, out.Buffer);
  if (error != 0) ThrowWriteError(error);
  out.Buffer.clear();
}

}  // namespace orvik::chrono::cli
