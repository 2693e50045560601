#include "text_layout.h"

#include "http/read_http_date.h"
#include "iso8601/read_iso8601.h"

namespace orvik::chrono::cli {
namespace {

using internal::HttpDate;
using internal::HttpLayout;

constexpr std::string_view kExpectedZone = " GMT";

// The layout that the reading takes, and what follows its seventh field: the
// zone, which the reading never checks, is skipped text unless it is exactly
// " GMT".
TextLayout FindHttpLayout(std::string_view text) {
  const HttpDate date = internal::ReadHttpDate(text);
  const HttpLayout found = date.Layout;
  if (found == HttpLayout::None) return {"HTTP date", std::string_view()};
  const std::string_view rest = text.substr(date.ValuesLength);
  const char* const name = found == HttpLayout::ImfFixdate ? "HTTP date, IMF-fixdate"
                           : found == HttpLayout::Rfc850   ? "HTTP date, RFC 850"
                                                           : "HTTP date, asctime";
  return {name, rest == kExpectedZone ? std::string_view() : rest};
}

}  // namespace

TextLayout FindLayout(std::string_view text, InputKind kind) {
  switch (kind) {
    case InputKind::Http:
      return FindHttpLayout(text);
    case InputKind::Epoch:
      return {"epoch seconds", std::string_view()};
    default: {
      const internal::IsoFields fields = internal::ReadIso8601(text);
      return {fields.Extended ? "ISO 8601, extended" : "ISO 8601, basic", text.substr(fields.ValuesLength)};
    }
  }
}

}  // namespace orvik::chrono::cli
