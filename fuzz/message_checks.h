// Checks shared by the fuzz targets. A failed check prints what it found and
// aborts, which libFuzzer reports as a crash and saves the input for.
#ifndef ORVIK_CHRONO_FUZZ_MESSAGE_CHECKS_H_
#define ORVIK_CHRONO_FUZZ_MESSAGE_CHECKS_H_

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>

#include "calendar/time_units.h"

namespace orvik::chrono::fuzz {

using internal::Int128;

// The text with every byte outside printable ASCII escaped, for reports.
inline std::string Printable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (std::isprint(static_cast<unsigned char>(c)) != 0 && c != '\\') {
      out += c;
    } else {
      char escaped[sizeof("\\xff")];
      std::snprintf(escaped, sizeof(escaped), "\\x%02x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += escaped;
    }
  }
  return out;
}

[[noreturn]] inline void Fail(std::string_view what_failed, std::string_view text, std::string_view detail = {}) {
  std::fprintf(stderr, "\n==== check failed: %.*s\n  input:  \"%s\"\n", static_cast<int>(what_failed.size()),
               what_failed.data(), Printable(text).c_str());
  if (!detail.empty()) std::fprintf(stderr, "  detail: \"%s\"\n", Printable(detail).c_str());
  std::abort();
}

// True when `what` is `head`, then every byte of `text` (NULs included), then
// the terminating NUL. An exception's message keeps its own length, so the
// reads past an embedded NUL stay inside it whenever it really holds the whole
// text; a message cut short at a NUL fails here, or shows up as an
// out-of-bounds read that AddressSanitizer reports.
inline bool IsHeadThenText(const char* what, std::string_view head, std::string_view text) {
  if (std::strncmp(what, head.data(), head.size()) != 0) return false;
  const char* quoted = what + head.size();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (quoted[i] != text[i]) return false;
  }
  return quoted[text.size()] == '\0';
}

// The first of `heads` that `what` starts with and that is followed by the
// whole text, or an empty view.
inline std::string_view MatchingHead(const char* what, std::initializer_list<std::string_view> heads,
                                     std::string_view text) {
  for (const std::string_view head : heads) {
    if (IsHeadThenText(what, head, text)) return head;
  }
  return {};
}

enum class Outcome : std::uint8_t { Returned, InvalidArgument, OutOfRange };

// Runs `call`, which may throw only std::invalid_argument or std::out_of_range
// (exactly those types); hands the message of either to `check_message`
// together with the outcome. Any other exception fails.
template <typename Call, typename CheckMessage>
Outcome RunExpectingDocumentedErrors(std::string_view text, Call call, CheckMessage check_message) {
  try {
    call();
    return Outcome::Returned;
  } catch (const std::exception& e) {
    if (typeid(e) == typeid(std::invalid_argument)) {
      check_message(Outcome::InvalidArgument, e.what());
      return Outcome::InvalidArgument;
    }
    if (typeid(e) == typeid(std::out_of_range)) {
      check_message(Outcome::OutOfRange, e.what());
      return Outcome::OutOfRange;
    }
    Fail(std::string("undocumented exception ") + typeid(e).name(), text, e.what());
  } catch (...) {
    Fail("an exception not derived from std::exception", text);
  }
}

}  // namespace orvik::chrono::fuzz

#endif  // ORVIK_CHRONO_FUZZ_MESSAGE_CHECKS_H_
