#include "refusals.h"

#include <cstdio>

namespace orvik::chrono::internal {

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

void Report(Refusals& refusals, const char* where, std::size_t position, std::string_view what,
            std::string_view input) {
  // A message is a C string, so an input quoted in it stops at its first NUL.
  const std::string_view quoted = input.substr(0, input.find('\0'));
  std::string message;
  if (quoted.size() < input.size() && what.ends_with(quoted)) {
    what.remove_suffix(quoted.size());
    message = EscapeControlBytes(what) + EscapeControlBytes(input);
  } else {
    message = EscapeControlBytes(what);
  }
  std::fprintf(stderr, "orvik-chrono: %s %zu: %s\n", where, position, message.c_str());
  ++refusals.Count;
}

}  // namespace orvik::chrono::internal
