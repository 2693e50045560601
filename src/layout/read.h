// Internal: a layout's reading of record, its steps walked one by one,
// which the reading of a text at fixed places must equal in every result and
// message.
#ifndef ORVIK_CHRONO_SRC_LAYOUT_READ_H_
#define ORVIK_CHRONO_SRC_LAYOUT_READ_H_

#include <orvik/chrono/chrono.h>

#include <string>
#include <string_view>

namespace orvik::chrono::internal::layout {

// TryFromLayout's reading and message (nullptr: no reference), by the steps
// alone.
ParseResult<ZonedTimestamp> ReadBySteps(std::string_view text, const Layout& layout, Zone zone, Disambiguation rule,
                                        const TimePoint* reference, std::string& message);

}  // namespace orvik::chrono::internal::layout

#endif  // ORVIK_CHRONO_SRC_LAYOUT_READ_H_
