// Checks shared by the fuzz targets. A failed check prints what it found and
// aborts, which libFuzzer reports as a crash and saves the input for.
#ifndef ORVIK_CHRONO_FUZZ_MESSAGE_CHECKS_H_
#define ORVIK_CHRONO_FUZZ_MESSAGE_CHECKS_H_

#include <orvik/chrono/chrono.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>

#include "civil/time_units.h"

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

// Requires that `try_read`, the Try reader of `throwing`, ends on `text` as
// `throwing` does: the same value, or the ParseError whose ErrorMessage is the
// thrown message and whose ThrowParseError throws the same type. It reads two
// views of the bytes that end without a NUL: one in an allocation of its own,
// so that AddressSanitizer reports any read past its end, and one cut from a
// longer buffer before digits, which must not change the result.
template <typename Throwing, typename TryRead>
void CheckBothFaces(const std::string& text, Throwing throwing, TryRead try_read) {
  const std::unique_ptr<char[]> alone(new char[text.size()]);
  if (!text.empty()) std::memcpy(alone.get(), text.data(), text.size());
  const std::string longer = text + "0123456789";
  const std::string_view views[] = {{alone.get(), text.size()}, {longer.data(), text.size()}};
  const decltype(try_read(text)) reads[] = {try_read(views[0]), try_read(views[1])};
  try {
    const auto value = throwing(text);
    for (const auto& read : reads) {
      if (!read || !(read.value == value)) Fail("the Try reader ends otherwise on an accepted text", text);
    }
  } catch (const std::exception& thrown) {
    for (std::size_t i = 0; i < 2; ++i) {
      if (reads[i]) Fail("the Try reader accepted a refused text", text);
      const std::string message = ErrorMessage(reads[i].error, views[i]);
      if (!IsHeadThenText(thrown.what(), "", message))
        Fail("ErrorMessage differs from the message thrown", text, message);
      try {
        ThrowParseError(reads[i].error, views[i]);
      } catch (const std::exception& e) {
        if (typeid(e) != typeid(thrown) || !IsHeadThenText(e.what(), "", message)) {
          Fail("ThrowParseError throws otherwise", text, e.what());
        }
      }
    }
  }
}

}  // namespace orvik::chrono::fuzz

#endif  // ORVIK_CHRONO_FUZZ_MESSAGE_CHECKS_H_
