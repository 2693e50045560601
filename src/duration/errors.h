// Internal: the two refusals of duration::FromIso8601.
#ifndef ORVIK_CHRONO_SRC_DURATION_ERRORS_H_
#define ORVIK_CHRONO_SRC_DURATION_ERRORS_H_

namespace orvik::chrono::duration {

// Throws std::invalid_argument "Durations with year/month/day components are not supported".
[[noreturn]] void ThrowNotSupported();

// Throws std::invalid_argument "Invalid ISO8601 duration format".
[[noreturn]] void ThrowInvalidFormat();

}  // namespace orvik::chrono::duration

#endif  // ORVIK_CHRONO_SRC_DURATION_ERRORS_H_
