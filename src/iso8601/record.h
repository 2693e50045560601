// Internal: the strict ISO 8601 reader's reading of record, step by step,
// without the shortcut for the layouts that writers use most, which must read
// every text as it does.
#ifndef ORVIK_CHRONO_SRC_ISO8601_RECORD_H_
#define ORVIK_CHRONO_SRC_ISO8601_RECORD_H_

#include <orvik/chrono/chrono.h>

#include <string_view>

#include "text/strict_reading.h"

namespace orvik::chrono::internal {

// TryFromIso8601Strict(text)'s reading, what it found wrong into `r`. Where
// `misfit`, the shortcut found the text's first bytes out of layout, which
// are then not checked again.
ParseResult<Timestamp> ReadIso8601StrictRecord(std::string_view text, StrictReading& r, bool misfit = false);

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_ISO8601_RECORD_H_
