// The scanning engine against libc's sscanf under every format that the
// readers use, on arbitrary bytes: the same count and the same stored values,
// every byte of every destination included.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <type_traits>

#include "http/scan_formats.h"
#include "iso8601/scan_formats.h"
#include "message_checks.h"
#include "text/scan.h"

namespace orvik::chrono::fuzz {
namespace {

using namespace internal;

// Room for the destinations of any of the formats.
struct Values {
  unsigned Numbers[7];
  char Character;
  unsigned Offset[2];
  char Weekday[sizeof("Wednesday")];
  char Month[sizeof("Nov")];
  bool operator==(const Values&) const = default;
};

// What sscanf takes for a destination: a char array's first element, or the
// object's address.
template <typename T>
auto Address(T& destination) {
  if constexpr (std::is_array_v<T>) {
    return static_cast<std::remove_extent_t<T>*>(destination);
  } else {
    return &destination;
  }
}

// Scans `text` with kFormat both ways into the destinations that `select`
// picks out of equally filled Values.
template <ScanFormat kFormat, typename Select>
void Compare(const std::string& text, Select select) {
  Values engine;
  std::memset(&engine, 0xa5, sizeof(engine));
  Values libc = engine;
  const int engine_count = std::apply([&](auto&... d) { return Scan<kFormat>(text, d...).Count; }, select(engine));
  const int libc_count =
      std::apply([&](auto&... d) { return std::sscanf(text.c_str(), kFormat.Text, Address(d)...); }, select(libc));
  if (engine_count != libc_count) {
    Fail("the engine's count differs from sscanf's", text,
         std::string(kFormat.Text) + ": " + std::to_string(engine_count) + " and " + std::to_string(libc_count));
  }
  if (!(engine == libc)) Fail("the engine stored other values than sscanf", text, kFormat.Text);
}

// The destinations of each format, in format order.
std::tuple<unsigned&, unsigned&, unsigned&, unsigned&, unsigned&, unsigned&, unsigned&, char&> DateTime(Values& v) {
  return std::tie(v.Numbers[0], v.Numbers[1], v.Numbers[2], v.Numbers[3], v.Numbers[4], v.Numbers[5], v.Numbers[6],
                  v.Character);
}

auto DateTimeOffset(Values& v) { return std::tuple_cat(DateTime(v), std::tie(v.Offset[0], v.Offset[1])); }

auto Designator(Values& v) { return std::tie(v.Character, v.Offset[0], v.Offset[1]); }

auto DayBeforeMonth(Values& v) {
  return std::tie(v.Weekday, v.Numbers[0], v.Month, v.Numbers[1], v.Numbers[2], v.Numbers[3], v.Numbers[4]);
}

auto MonthBeforeDay(Values& v) {
  return std::tie(v.Weekday, v.Month, v.Numbers[0], v.Numbers[1], v.Numbers[2], v.Numbers[3], v.Numbers[4]);
}

template <typename Layout>
void CompareIso8601(const std::string& text) {
  Compare<Layout::kDateTime>(text, DateTime);
  Compare<Layout::kDateTime + kColonOffset>(text, DateTimeOffset);
  Compare<Layout::kDateTime + kPlainOffset>(text, DateTimeOffset);
  Compare<Layout::kDesignator>(text, Designator);
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvik::chrono::fuzz;
  using namespace orvik::chrono::internal;
  const std::string text(reinterpret_cast<const char*>(data), size);
  CompareIso8601<ExtendedScan>(text);
  CompareIso8601<BasicScan>(text);
  Compare<kImfFixdate>(text, DayBeforeMonth);
  Compare<kRfc850>(text, DayBeforeMonth);
  Compare<kAsctimeOneDigitDay>(text, MonthBeforeDay);
  Compare<kAsctimeTwoDigitDay>(text, MonthBeforeDay);
  return 0;
}
