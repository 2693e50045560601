#include "text_layout.h"

#include <cstdio>

namespace orvik::chrono::internal {
namespace {

// The scan of one HTTP date layout, with %n after its seventh field instead
// of the zone, which the reading never checks.
struct HttpLayout {
  const char* Name;
  const char* Scan;
  bool DayBeforeMonth;  // otherwise the month name comes right after the weekday
};

constexpr HttpLayout kHttpLayouts[] = {
    {"HTTP date, IMF-fixdate", "%3[FMSTWadehinortu], %2u %3[ADFJMNOSabceglnoprtuvy] %4u %2u:%2u:%2u%n", true},
    {"HTTP date, RFC 850", "%9[FMSTWadehinorstuy], %2u-%3[ADFJMNOSabceglnoprtuvy]-%2u %2u:%2u:%2u%n", true},
    {"HTTP date, asctime", "%3[FMSTWadehinortu] %3[ADFJMNOSabceglnoprtuvy]  %1u %2u:%2u:%2u %4u%n", false},
    {"HTTP date, asctime", "%3[FMSTWadehinortu] %3[ADFJMNOSabceglnoprtuvy] %2u %2u:%2u:%2u %4u%n", false},
};

constexpr int kHttpFields = 7;
constexpr std::string_view kExpectedZone = " GMT";

// The first layout whose seven fields all scan, as in the reading itself.
TextLayout FindHttpLayout(const std::string& text) {
  for (const HttpLayout& layout : kHttpLayouts) {
    char weekday[sizeof("Wednesday")] = {};
    char month[sizeof("Nov")] = {};
    unsigned fields[5] = {};
    int consumed = 0;
    // NOLINTNEXTLINE(cert-err34-c): the count of conversions is all that matters here
    const int scanned = layout.DayBeforeMonth ? std::sscanf(text.c_str(), layout.Scan, weekday, &fields[0], month,
                                                            &fields[1], &fields[2], &fields[3], &fields[4], &consumed)
                                              : std::sscanf(text.c_str(), layout.Scan, weekday, month, &fields[0],
                                                            &fields[1], &fields[2], &fields[3], &fields[4], &consumed);
    if (scanned != kHttpFields) continue;
    std::string_view rest(text);
    rest.remove_prefix(static_cast<std::size_t>(consumed));
    return {layout.Name, rest == kExpectedZone ? std::string_view() : rest};
  }
  return {"HTTP date", std::string_view()};
}

}  // namespace

TextLayout FindLayout(const std::string& text, InputKind kind) {
  switch (kind) {
    case InputKind::Http:
      return FindHttpLayout(text);
    case InputKind::Epoch:
      return {"epoch seconds", std::string_view()};
    default:
      return {text.size() > 4 && text[4] == '-' ? "ISO 8601, extended" : "ISO 8601, basic", std::string_view()};
  }
}

}  // namespace orvik::chrono::internal
