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

#include <cstddef>
#include <string>
#include <string_view>

#include "instant_text.h"

namespace orvik::chrono::cli {

// Memory that ReadExactly reuses from one text to the next, and what a
// refusal of its shows.
struct ExactScratch {
  std::string Rewritten;  // the text in the form the library reads as meant
  char Written[64];       // the instant written back, longest zone included
  std::size_t WrittenSize = 0;
  bool RewrittenRefused = false;  // the library refused Rewritten, not the text
};

// Reads `text` as `kind` (Auto detects it first):
// - ISO 8601: a fraction of one to nine digits and an offset written +hh:mm,
//   +hhmm or +hh in either layout are read as they are meant;
// - HTTP date: a zone of GMT, UT or UTC, or after an IMF-fixdate or RFC 850
//   date +hhmm / -hhmm (RFC 5322), is applied,
//   and one without a zone is GMT;
// - epoch seconds: as ReadInstant reads them.
// Refuses what ReadInstant refuses, an instant outside the time point range
// (kInstantOutsideRange), or, with kNotAsWritten, a text that the instant
// written back in its layout is not (a date or time that does not exist, a
// weekday that is not the date's, another zone, white space or other text
// around the value). Allocates nothing once `scratch` has grown.
Reading<TimePoint> ReadExactly(std::string_view text, InputKind kind, ExactScratch& scratch);

// Why ReadExactly refused `text`, given the same `scratch`: RefusalMessage,
// or for kNotAsWritten the first differing runs of the text and of the text
// written back, in quotes and joined by kWouldBeReadAs, then the text written
// back in parentheses, kLenientAllows and the text.
std::string ExactRefusalMessage(const Reading<TimePoint>& reading, std::string_view text, const ExactScratch& scratch);

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_EXACT_READING_H_
