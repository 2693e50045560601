// Standard input read in large blocks without iostreams, in a buffer that
// grows only when what has not been consumed fills it.
#ifndef ORVIK_CHRONO_TOOLS_INPUT_BUFFER_H_
#define ORVIK_CHRONO_TOOLS_INPUT_BUFFER_H_

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>

namespace orvik::chrono::cli {

class InputBuffer {
 public:
  // `before_read`, if any, runs before each read of `fd`.
  explicit InputBuffer(int fd, std::function<void()> before_read = {});

  // What has been read and not yet consumed; it stays in place until Fill.
  [[nodiscard]] std::string_view Data() const { return {buffer_.get() + begin_, end_ - begin_}; }

  // Drops the first `size` bytes of Data(), or all of it.
  void Consume(std::size_t size) { begin_ = std::min(begin_ + size, end_); }

  // Reads more after Data(), which it moves to the start of the buffer,
  // first doubling the buffer when Data() fills it; false at the end of the
  // input or at a failed read. Views of Data() taken before do not hold.
  bool Fill();

  // The errno value of the read that failed, 0 while every read succeeded. A
  // failed read ends the input and drops what Data() held.
  [[nodiscard]] int Error() const { return error_; }

 private:
  struct Free {
    void operator()(char* p) const { std::free(p); }
  };

  int fd_;
  std::function<void()> before_read_;
  std::size_t size_ = std::size_t{1} << 20;
  // From malloc, so that realloc grows it in place where it can and no byte
  // is written before it is read into: the memory touched is what was read.
  std::unique_ptr<char[], Free> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
  int error_ = 0;
};

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_INPUT_BUFFER_H_
