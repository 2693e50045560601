// Internal: one instant of a wall-clock time, picked by a Disambiguation.
#ifndef ORVIK_CHRONO_SRC_CALENDAR_DISAMBIGUATION_H_
#define ORVIK_CHRONO_SRC_CALENDAR_DISAMBIGUATION_H_

#include <orvik/chrono/chrono.h>

namespace orvik::chrono::internal {

// The instant of `lookup` that `rule` picks, with the offset in force at it;
// under Reject, CivilSkipped or CivilRepeated where the time is not unique.
// A gap's `before` is its compatible instant (moved forward by the gap),
// which falls after the change, `after` the earlier one, before it; a fold's
// `before` is its earlier instant.
constexpr ParseResult<Timestamp> PickInstant(const CivilTimeLookup& lookup, Disambiguation rule) {
  switch (lookup.kind) {
    case CivilTimeKind::Unique:
      break;
    case CivilTimeKind::Skipped:
      if (rule == Disambiguation::Reject) return {{}, ParseError::CivilSkipped};
      if (rule == Disambiguation::Earlier) return {{lookup.after.instant, lookup.before.offset}, ParseError::None};
      return {{lookup.before.instant, lookup.after.offset}, ParseError::None};
    case CivilTimeKind::Repeated:
      if (rule == Disambiguation::Reject) return {{}, ParseError::CivilRepeated};
      if (rule == Disambiguation::Later) return {lookup.after, ParseError::None};
      break;
  }
  return {lookup.before, ParseError::None};
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_CALENDAR_DISAMBIGUATION_H_
