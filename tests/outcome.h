// What a call of a reader ends with, as text: its result as `call` writes it,
// or the exact type of the exception and its message.
#ifndef ORVIK_CHRONO_TESTS_OUTCOME_H_
#define ORVIK_CHRONO_TESTS_OUTCOME_H_

#include <orvik/chrono/chrono.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>

namespace orvik::chrono {

inline std::string Invalid(std::string_view head, std::string_view text = {}) {
  return "invalid_argument: " + std::string(head).append(text);
}
inline std::string OutOfRange(std::string_view head, std::string_view text = {}) {
  return "out_of_range: " + std::string(head).append(text);
}

template <typename Call>
std::string Outcome(Call call) {
  try {
    return call();
  } catch (const std::exception& e) {
    if (typeid(e) == typeid(std::invalid_argument)) return Invalid(e.what());
    return typeid(e) == typeid(std::out_of_range) ? OutOfRange(e.what()) : typeid(e).name();
  }
}

}  // namespace orvik::chrono

#endif  // ORVIK_CHRONO_TESTS_OUTCOME_H_
