// The instant that a text says, or a refusal where the library would read
// another one. The library's readers keep their long-standing rules (a
// fraction scaled by the text's length, an offset in the layout's own form, an
// HTTP date taken as GMT whatever zone follows it, fields out of range carried
// over); this reading brings a text into the form that those rules read as
// meant, and accepts it only when writing the instant back in the text's own
// layout gives the text again.
#ifndef ORVIK_CHRONO_TOOLS_EXACT_READING_H_
#define ORVIK_CHRONO_TOOLS_EXACT_READING_H_

#include <orvik/chrono/chrono.h>

#include <string>

#include "instant_text.h"

namespace orvik::chrono::cli {

// Reads `text` as `kind` (Auto detects it first):
// - ISO 8601: a fraction of one to nine digits and an offset written +hh:mm,
//   +hhmm or +hh in either layout are read as they are meant;
// - HTTP date: a zone of GMT, UT or UTC, or after an IMF-fixdate or RFC 850
//   date +hhmm / -hhmm (RFC 5322), is applied,
//   and one without a zone is GMT;
// - epoch seconds: as ReadInstant reads them.
// Throws what ReadInstant throws, or std::invalid_argument with kNotAsWritten
// when the instant written back in the text's layout is not the text (a date
// or time that does not exist, a weekday that is not the date's, another
// zone, white space or other text around the value). `scratch` is reused
// memory for the rewritten text.
TimePoint ReadExactly(const std::string& text, InputKind kind, std::string& scratch);

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_EXACT_READING_H_
