#include "text_layout.h"

#include <cstddef>

#include "http/scan_layouts.h"
#include "iso8601/scan_fields.h"

namespace orvik::chrono::internal {
namespace {

constexpr std::string_view kExpectedZone = " GMT";

// The layout that the reading takes, and what follows its seventh field: the
// zone, which the reading never checks, is skipped text unless it is exactly
// " GMT".
TextLayout FindHttpLayout(const std::string& text) {
  ScannedDate date{};
  std::size_t values_end = 0;
  const HttpLayout found = ScanLayouts(text, date, values_end);
  if (found == HttpLayout::None) return {"HTTP date", std::string_view()};
  const std::string_view rest = std::string_view(text).substr(values_end);
  const char* const name = found == HttpLayout::ImfFixdate ? "HTTP date, IMF-fixdate"
                           : found == HttpLayout::Rfc850   ? "HTTP date, RFC 850"
                                                           : "HTTP date, asctime";
  return {name, rest == kExpectedZone ? std::string_view() : rest};
}

// The reading's own scans, run for the end of the last value read.
template <typename Layout>
TextLayout FindIsoLayout(const std::string& text, const char* name) {
  Fields fields;
  std::size_t values_end = 0;
  static_cast<void>(ScanFields<Layout>(text, fields, values_end));
  return {name, std::string_view(text).substr(values_end)};
}

}  // namespace

TextLayout FindLayout(const std::string& text, InputKind kind) {
  switch (kind) {
    case InputKind::Http:
      return FindHttpLayout(text);
    case InputKind::Epoch:
      return {"epoch seconds", std::string_view()};
    default:
      return text[4] == '-' ? FindIsoLayout<ExtendedLayout>(text, "ISO 8601, extended")
                            : FindIsoLayout<BasicLayout>(text, "ISO 8601, basic");
  }
}

}  // namespace orvik::chrono::internal
