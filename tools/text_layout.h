// Which layout the library read an accepted text in, and what it left unread.
#ifndef ORVIK_CHRONO_TOOLS_TEXT_LAYOUT_H_
#define ORVIK_CHRONO_TOOLS_TEXT_LAYOUT_H_

#include <string_view>

#include "instant_text.h"

namespace orvik::chrono::cli {

struct TextLayout {
  const char* Name;
  // Text after the last value read, which the reading skipped without a look:
  // an HTTP date's zone other than " GMT" or a fraction of its seconds, the
  // minutes of an offset in the form the ISO 8601 reading did not expect, or
  // anything from a NUL byte on. Empty when nothing was skipped.
  std::string_view Ignored;
};

// The layout of `text`, which the library has already read as `kind` (not
// Auto). The public face tells no layout, so this reads the text again with
// the library's own internal readings. The rules are the library's own, with its scans in its order: an
// ISO 8601 text is extended when its fifth character is '-' and basic
// otherwise; an HTTP date is the first of IMF-fixdate, RFC 850, asctime with a
// one-digit day and asctime with a two-digit day whose seven fields all scan.
TextLayout FindLayout(std::string_view text, InputKind kind);

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_TEXT_LAYOUT_H_
