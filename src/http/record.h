// Internal: the strict HTTP date reader's reading of record, step by step,
// without the shortcut for the IMF-fixdate, which must read every text as it
// does.
#ifndef ORVIK_CHRONO_SRC_HTTP_RECORD_H_
#define ORVIK_CHRONO_SRC_HTTP_RECORD_H_

#include <orvik/chrono/chrono.h>

#include <string_view>

#include "text/strict_reading.h"

namespace orvik::chrono::internal {

// TryFromHttpDateStrict(text, now)'s reading, what it found wrong into `r`.
ParseResult<Timestamp> ReadHttpDateStrictRecord(std::string_view text, TimePoint now, StrictReading& r);

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_HTTP_RECORD_H_
