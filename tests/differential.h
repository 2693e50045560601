// Helpers of the tests that compare a fast path with its general path.
#ifndef ORVIK_CHRONO_TESTS_DIFFERENTIAL_H_
#define ORVIK_CHRONO_TESTS_DIFFERENTIAL_H_

#include <cstddef>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvik::chrono::testing {

// The count that `parse` returns, or the exception's type and message.
template <typename Parse>
std::string Outcome(Parse parse) {
  try {
    return std::to_string(parse());
  } catch (const std::out_of_range& e) {
    return std::string("out_of_range: ") + e.what();
  } catch (const std::invalid_argument& e) {
    return std::string("invalid_argument: ") + e.what();
  }
}

// One to three edits at random places: a byte inserted, removed or replaced
// (mostly one of `likely`, else any byte), or a digit changed.
inline void Damage(std::string* text, std::mt19937* random, std::string_view likely) {
  auto below = [random](std::size_t n) { return static_cast<std::size_t>((*random)() % n); };
  for (std::size_t edits = 1 + below(3); edits > 0 && !text->empty(); --edits) {
    const std::size_t at = below(text->size());
    const char byte = below(4) == 0 ? static_cast<char>(below(256)) : likely[below(likely.size())];
    switch (below(4)) {
      case 0:
        text->insert(at, 1, byte);
        break;
      case 1:
        text->erase(at, 1);
        break;
      case 2:
        (*text)[at] = byte;
        break;
      default:
        if ((*text)[at] >= '0' && (*text)[at] <= '9') (*text)[at] = static_cast<char>('0' + below(10));
    }
  }
}

}  // namespace orvik::chrono::testing

#endif  // ORVIK_CHRONO_TESTS_DIFFERENTIAL_H_
