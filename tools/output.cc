#include "output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "cli_messages.h"

namespace orvik::chrono::cli {
namespace {

// The most of a record that a message shows: enough to find it by.
constexpr std::size_t kShownBytes = 256;

// Writes all of `data` to `fd`, again after an interruption; returns 0, or
// the errno value of the write that failed.
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

// Whether descriptors `a` and `b` write to one file or both to a terminal, so
// that what each writes interleaves.
bool SameDestination(int a, int b) {
  if (::isatty(a) != 0 && ::isatty(b) != 0) return true;
  struct stat first {};
  struct stat second {};
  return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

Output& Destination(Refusals& refusals) { return refusals.Shared != nullptr ? *refusals.Shared : refusals.Errors; }

// Writes the reports held for standard error; a failure to write them, which
// nothing could report, is ignored.
void WriteErrors(Refusals& refusals) {
  WriteAll(refusals.Errors.Fd, refusals.Errors.Buffer);
  refusals.Errors.Buffer.clear();
}

// Ends a report that Destination(refusals) holds.
void EndReport(Refusals& refusals) {
  Destination(refusals).Buffer += '\n';
  ++refusals.Count;
  if (refusals.Errors.Buffer.size() >= Output::kBlock) WriteErrors(refusals);
}

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

// Whether `text` has a control byte, sixteen bytes at a time, a block that
// the compiler checks at once: the last block overlaps the one before it.
bool HasControl(std::string_view text) {
  constexpr std::size_t kBlock = 16;
  if (text.size() < kBlock) return std::ranges::any_of(text, IsControl);
  std::array<unsigned char, kBlock> found{};
  const auto check = [&found](const char* block) {
    for (std::size_t i = 0; i < kBlock; ++i) {
      found[i] = static_cast<unsigned char>(found[i] | (IsControl(block[i]) ? 1 : 0));
    }
  };
  for (std::size_t at = 0; at + kBlock < text.size(); at += kBlock) check(text.data() + at);
  check(text.data() + text.size() - kBlock);
  std::array<std::uint64_t, kBlock / sizeof(std::uint64_t)> words{};
  std::memcpy(words.data(), found.data(), kBlock);
  return (words[0] | words[1]) != 0;
}

}  // namespace

void ThrowWriteError(int error) { throw std::system_error(error, std::generic_category(), "write error"); }

void Flush(Output& out) {
  const int error = WriteAll(out.Fd, out.Buffer);
  if (error != 0) ThrowWriteError(error);
  out.Buffer.clear();
}

void Flush(Output& out, Refusals& refusals) {
  WriteErrors(refusals);
  Flush(out);
}

void WriteLong(Output& out, Refusals& refusals, std::string_view text) {
  Flush(out, refusals);
  const int error = WriteAll(out.Fd, text);
  if (error != 0) ThrowWriteError(error);
}

Refusals::~Refusals() { WriteErrors(*this); }

Refusals::Refusals(Output& out) : Shared(SameDestination(out.Fd, STDERR_FILENO) ? &out : nullptr) {}

void AppendEscaped(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  if (!HasControl(text)) {
    out.append(text);
    return;
  }
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsControl(c)) {
      ((out += "\\x") += kHex[byte >> 4]) += kHex[byte & 0xf];
    } else {
      out += c;
    }
  }
}

std::string EscapeControlBytes(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  AppendEscaped(escaped, text);
  return escaped;
}

void AppendExcerpt(std::string& out, std::string_view text, std::size_t size) {
  if (size <= kShownBytes) {
    out.append(text);
    return;
  }
  std::size_t shown = kShownBytes;
  while (shown > 0 && (static_cast<unsigned char>(text[shown]) & 0xc0) == 0x80) --shown;  // inside a sequence
  char digits[sizeof("18446744073709551615")];
  out.append(text.substr(0, shown)).append(kCut);
  out.append(digits, std::to_chars(digits, digits + sizeof digits, size).ptr).append(kCutBytes);
}

void Say(std::string_view message) {
  std::fprintf(stderr, "orvik-chrono: %.*s\n", static_cast<int>(message.size()), message.data());
}

void Report(Refusals& refusals, std::string_view where, std::size_t position, std::string_view message) {
  // The head of the report, put together here and appended at once.
  constexpr std::size_t kLongestWhere = sizeof("argument") - 1;
  char head[kPrefix.size() + kLongestWhere + sizeof(" 18446744073709551615: ")];
  std::memcpy(head, kPrefix.data(), kPrefix.size());
  where = where.substr(0, kLongestWhere);
  std::memcpy(head + kPrefix.size(), where.data(), where.size());
  char* end = head + kPrefix.size() + where.size();
  *end++ = ' ';
  end = std::to_chars(end, std::end(head), position).ptr;
  *end++ = ':';
  *end++ = ' ';
  std::string& out = Destination(refusals).Buffer;
  out.append(head, end);
  AppendEscaped(out, message);
  EndReport(refusals);
}

void ReportReadError(Refusals& refusals, std::string_view input, int error) {
  const std::string reason = error == EBADF ? std::string(kNotOpen) : std::generic_category().message(error);
  Destination(refusals).Buffer.append(kPrefix).append(kCannotRead).append(input).append(": ").append(reason);
  EndReport(refusals);
}

}  // namespace orvik::chrono::cli
