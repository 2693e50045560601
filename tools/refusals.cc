#include "refusals.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <system_error>

#include "cli_messages.h"
#include "messages.h"

namespace orvik::chrono::cli {

Refusals RefusalsFor(Output& out) { return {0, SameDestination(out.Fd, STDERR_FILENO) ? &out : nullptr}; }

std::string EscapeControlBytes(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      escaped += c;
      continue;
    }
    escaped += "\\x";
    escaped += kHex[byte >> 4];
    escaped += kHex[byte & 0xf];
  }
  return escaped;
}

void Say(std::string_view message) {
  std::fprintf(stderr, "orvik-chrono: %.*s\n", static_cast<int>(message.size()), message.data());
}

std::string_view MessageOf(const std::exception& e) {
  // The library passes on std::stoi's text for a duration number beyond int.
  if (e.what() == internal::kDurationRunOutOfRange) return kDurationNumberTooLarge;
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return kOutOfMemory;
  return e.what();
}

void Report(Refusals& refusals, const char* where, std::size_t position, std::string_view what,
            std::string_view input) {
  if (refusals.FlushFirst != nullptr) Flush(*refusals.FlushFirst);
  // A message is a C string, so an input quoted in it stops at its first NUL.
  const std::string_view quoted = input.substr(0, input.find('\0'));
  std::string message = std::string(where) + ' ' + std::to_string(position) + ": ";
  if (quoted.size() < input.size() && what.ends_with(quoted)) {
    what.remove_suffix(quoted.size());
    message += EscapeControlBytes(what) + EscapeControlBytes(input);
  } else {
    message += EscapeControlBytes(what);
  }
  Say(message);
  ++refusals.Count;
}

void ReportReadError(Refusals& refusals, std::string_view input, int error) {
  const std::string reason = error == EBADF ? std::string(kNotOpen) : std::generic_category().message(error);
  Say(std::string(kCannotRead).append(input).append(": ").append(reason));
  ++refusals.Count;
}

}  // namespace orvik::chrono::cli
