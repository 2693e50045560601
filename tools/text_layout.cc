#include "text_layout.h"

#include <cstddef>

#include "http/scan_formats.h"
#include "iso8601/scan_formats.h"
#include "text/scan.h"

namespace orvik::chrono::internal {
namespace {

constexpr int kHttpFields = 7;
constexpr std::string_view kExpectedZone = " GMT";

// The destinations of an HTTP date's scan; only the count and the end of the
// seventh field matter here.
struct HttpFields {
  char Weekday[sizeof("Wednesday")] = {};
  char Month[sizeof("Nov")] = {};
  unsigned Numbers[5] = {};
};

// The layout's name and what follows its seventh field, when its seven
// fields all scan: the zone, which the reading never checks, is skipped
// text unless it is exactly " GMT".
template <ScanFormat kFormat, bool kDayBeforeMonth>
bool ScanHttpLayout(const std::string& text, const char* name, TextLayout& layout) {
  HttpFields f;
  unsigned* n = f.Numbers;
  std::size_t values_end = 0;
  int scanned = 0;
  if constexpr (kDayBeforeMonth) {
    scanned = ScanToValuesEnd<kFormat>(text, values_end, f.Weekday, n[0], f.Month, n[1], n[2], n[3], n[4]);
  } else {
    scanned = ScanToValuesEnd<kFormat>(text, values_end, f.Weekday, f.Month, n[0], n[1], n[2], n[3], n[4]);
  }
  if (scanned != kHttpFields) return false;
  const std::string_view rest = std::string_view(text).substr(values_end);
  layout = {name, rest == kExpectedZone ? std::string_view() : rest};
  return true;
}

// The first layout whose seven fields all scan, as in the reading itself.
TextLayout FindHttpLayout(const std::string& text) {
  TextLayout layout{"HTTP date", std::string_view()};
  static_cast<void>(ScanHttpLayout<kImfFixdate, true>(text, "HTTP date, IMF-fixdate", layout) ||
                    ScanHttpLayout<kRfc850, true>(text, "HTTP date, RFC 850", layout) ||
                    ScanHttpLayout<kAsctimeOneDigitDay, false>(text, "HTTP date, asctime", layout) ||
                    ScanHttpLayout<kAsctimeTwoDigitDay, false>(text, "HTTP date, asctime", layout));
  return layout;
}

constexpr int kIsoDateAndTime = 6;

// The ISO 8601 reading's scans, run for the end of the last value read: date,
// time, fraction and designator, then an offset in the form that the text's
// third character from the end selects; a text without a fraction has its
// designator and offset scanned again from where they stand when every field
// has its full width. Accepted texts are longer than that place.
template <typename Layout>
TextLayout FindIsoLayout(const std::string& text, const char* name) {
  unsigned v[9] = {};
  char designator = 0;
  std::size_t end = 0;
  int scanned = 0;
  if (text.back() == 'Z') {
    scanned = ScanToValuesEnd<Layout::kDateTime>(text, end, v[0], v[1], v[2], v[3], v[4], v[5], v[6], designator);
  } else if (text[text.size() - 3] == ':') {
    scanned = ScanToValuesEnd<Layout::kDateTime + kColonOffset>(text, end, v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                                                                designator, v[7], v[8]);
  } else {
    scanned = ScanToValuesEnd<Layout::kDateTime + kPlainOffset>(text, end, v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                                                                designator, v[7], v[8]);
  }
  if (scanned == kIsoDateAndTime && text.size() > Layout::kDesignatorIndex) {
    std::size_t offset_end = 0;
    static_cast<void>(ScanToValuesEnd<Layout::kDesignator>(std::string_view(text).substr(Layout::kDesignatorIndex),
                                                           offset_end, designator, v[7], v[8]));
    end = Layout::kDesignatorIndex + offset_end;
  }
  return {name, std::string_view(text).substr(end)};
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
