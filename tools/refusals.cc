#include "refusals.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "cli_messages.h"

namespace orvik::chrono::cli {
namespace {

constexpr std::string_view kPrefix = "orvik-chrono: ";

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

// Whether any of the eight bytes of `word` is a control byte: below 0x20, or
// 0x7f. A byte below n, where n is at most 0x80, turns its top bit on in
// word - n * kOnes and has it off in word; the borrows only ever come from a
// byte that is itself below n.
bool HasControl(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kTops = 0x80 * kOnes;
  const std::uint64_t deletes = word ^ (0x7f * kOnes);  // a zero byte where word has 0x7f
  return ((((word - 0x20 * kOnes) & ~word) | ((deletes - kOnes) & ~deletes)) & kTops) != 0;
}

// The first control byte of `text`, or its end.
const char* FindControl(std::string_view text) {
  const char* at = text.data();
  const char* const end = at + text.size();
  for (std::uint64_t word = 0; end - at >= 8; at += 8) {
    std::memcpy(&word, at, sizeof word);
    if (HasControl(word)) break;
  }
  while (at != end && !IsControl(*at)) ++at;
  return at;
}

}  // namespace

void ThrowWriteError(int error) { throw std::system_error(error, std::generic_category(), "write error"); }

void Flush(Output& out) {
  const int error = WriteAll(out.Fd, out.Buffer);
  if (error != 0) ThrowWriteError(error);
  out.Buffer.clear();
}

Refusals::~Refusals() { WriteErrors(*this); }

Refusals::Refusals(Output& out) : Shared(SameDestination(out.Fd, STDERR_FILENO) ? &out : nullptr) {}

void AppendEscaped(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  // Runs of bytes shown as they are, each appended at once.
  while (true) {
    const char* const control = FindControl(text);
    const auto shown = static_cast<std::size_t>(control - text.data());
    out.append(text.data(), shown);
    if (shown == text.size()) return;
    const auto byte = static_cast<unsigned char>(*control);
    const char escaped[] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xf]};
    out.append(escaped, sizeof escaped);
    text.remove_prefix(shown + 1);
  }
}

std::string EscapeControlBytes(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  AppendEscaped(escaped, text);
  return escaped;
}

void AppendExcerpt(std::string& out, std::string_view text) {
  if (text.size() <= kShownBytes) {
    out.append(text);
    return;
  }
  std::size_t shown = kShownBytes;
  while (shown > 0 && (static_cast<unsigned char>(text[shown]) & 0xc0) == 0x80) --shown;  // inside a sequence
  char size[sizeof("18446744073709551615")];
  out.append(text.substr(0, shown)).append(kCut);
  out.append(size, std::to_chars(size, size + sizeof size, text.size()).ptr).append(kCutBytes);
}

void Say(std::string_view message) {
  std::fprintf(stderr, "orvik-chrono: %.*s\n", static_cast<int>(message.size()), message.data());
}

void Report(Refusals& refusals, const char* where, std::size_t position, std::string_view message) {
  std::string& out = Destination(refusals).Buffer;
  char number[sizeof("18446744073709551615")];
  out.append(kPrefix).append(where) += ' ';
  out.append(number, std::to_chars(number, number + sizeof number, position).ptr).append(": ");
  AppendEscaped(out, message);
  EndReport(refusals);
}

void ReportReadError(Refusals& refusals, std::string_view input, int error) {
  const std::string reason = error == EBADF ? std::string(kNotOpen) : std::generic_category().message(error);
  Destination(refusals).Buffer.append(kPrefix).append(kCannotRead).append(input).append(": ").append(reason);
  EndReport(refusals);
}

}  // namespace orvik::chrono::cli
