#include "text_layout.h"

#include <algorithm>
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

// The ISO 8601 scans with %n after every value, so that the end of the last
// value read is known: date, time, fraction and designator, then an offset in
// the form that the text's third character from the end selects; a text
// without a fraction has its designator and offset scanned again from where
// they stand when every field has its full width.
struct IsoLayout {
  const char* Name;
  const char* Scan;
  const char* SecondScan;
  std::size_t DesignatorIndex;
};

constexpr IsoLayout kExtended{"ISO 8601, extended", "%4u%n-%2u%n-%2u%nT%2u%n:%2u%n:%2u%n.%9u%n%c%n", "%c%n%2u%n:%2u%n",
                              sizeof("2020-01-01T00:00:00") - 1};
constexpr IsoLayout kBasic{"ISO 8601, basic", "%4u%n%2u%n%2u%nT%2u%n%2u%n%2u%n.%9u%n%c%n", "%c%n%2u%n%2u%n",
                           sizeof("20200101T000000") - 1};
constexpr int kIsoDateAndTime = 6;

// Accepted texts are longer than the designator's index.
TextLayout FindIsoLayout(const std::string& text) {
  const IsoLayout& layout = text[4] == '-' ? kExtended : kBasic;
  std::string scan = layout.Scan;
  if (text.back() != 'Z') scan += text[text.size() - 3] == ':' ? "%2u%n:%2u%n" : "%2u%n%2u%n";
  unsigned v[9] = {};
  char designator = 0;
  int ends[10] = {};
  // NOLINTNEXTLINE(cert-err34-c): only the count and the ends are used
  const int scanned =
      std::sscanf(text.c_str(), scan.c_str(), &v[0], &ends[0], &v[1], &ends[1], &v[2], &ends[2], &v[3], &ends[3], &v[4],
                  &ends[4], &v[5], &ends[5], &v[6], &ends[6], &designator, &ends[7], &v[7], &ends[8], &v[8], &ends[9]);
  auto end = static_cast<std::size_t>(*std::max_element(std::begin(ends), std::end(ends)));
  if (scanned == kIsoDateAndTime && text.size() > layout.DesignatorIndex) {
    int offset_ends[3] = {};
    // NOLINTNEXTLINE(cert-err34-c): only the ends are used
    static_cast<void>(std::sscanf(text.c_str() + layout.DesignatorIndex, layout.SecondScan, &designator,
                                  &offset_ends[0], &v[7], &offset_ends[1], &v[8], &offset_ends[2]));
    end = layout.DesignatorIndex +
          static_cast<std::size_t>(*std::max_element(std::begin(offset_ends), std::end(offset_ends)));
  }
  return {layout.Name, std::string_view(text).substr(end)};
}

}  // namespace

TextLayout FindLayout(const std::string& text, InputKind kind) {
  switch (kind) {
    case InputKind::Http:
      return FindHttpLayout(text);
    case InputKind::Epoch:
      return {"epoch seconds", std::string_view()};
    default:
      return FindIsoLayout(text);
  }
}

}  // namespace orvik::chrono::internal
