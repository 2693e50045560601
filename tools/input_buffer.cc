#include "input_buffer.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace orvik::chrono::cli {

namespace {

char* Allocate(void* old, std::size_t size) {
  void* grown = std::realloc(old, size);
  if (grown == nullptr) throw std::bad_alloc();
  return static_cast<char*>(grown);
}

}  // namespace

InputBuffer::InputBuffer(int fd, std::function<void()> before_read)
    : fd_(fd), before_read_(std::move(before_read)), buffer_(Allocate(nullptr, size_)) {}

bool InputBuffer::Fill() {
  if (ended_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  // Full with one record: the buffer grows to hold it.
  if (end_ == size_) {
    char* const grown = Allocate(buffer_.get(), 2 * size_);
    static_cast<void>(buffer_.release());  // realloc has freed it, or it is `grown`
    buffer_.reset(grown);
    size_ *= 2;
  }
  if (before_read_) before_read_();
  ssize_t n = 0;
  do {
    n = ::read(fd_, buffer_.get() + end_, size_ - end_);
  } while (n < 0 && errno == EINTR);
  ended_ = n <= 0;
  if (n < 0) {
    error_ = errno;
    begin_ = end_;
  }
  if (n > 0) end_ += static_cast<std::size_t>(n);
  return n > 0;
}

}  // namespace orvik::chrono::cli
