// A layout's two readings on arbitrary texts: the reading at fixed places,
// which TryFromLayout tries first, must give what the steps give, value,
// refusal and message alike. The first byte picks a format whose fields have
// fixed widths, or else the bytes up to a newline are the format.
#include <orvik/chrono/chrono.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "layout/read.h"

namespace orvik::chrono::fuzz {
namespace {

constexpr std::string_view kFormats[] = {
    "%d/%b/%Y:%H:%M:%S %z",
    "%a, %d %b %Y %H:%M:%S %Z",
    "%a %b %e %H:%M:%S %Z %Y",
    "%F %T.%N%:z",
    "%m/%d/%y %I:%M %p",
    "%Y%m%d%H%M%S%3N",
    "%j %C%y %T",
    "%b %e %T",
    "%A %d %B %Y",
};

bool Same(const ParseResult<ZonedTimestamp>& a, const ParseResult<ZonedTimestamp>& b) {
  return a.error == b.error && a.value.timestamp == b.value.timestamp && a.value.wall_clock == b.value.wall_clock &&
         a.value.kind == b.value.kind && a.value.zone == b.value.zone;
}

void Check(std::string_view bytes) {
  if (bytes.empty()) return;
  std::string_view format;
  std::string_view text;
  if (static_cast<unsigned char>(bytes[0]) < std::size(kFormats)) {
    format = kFormats[static_cast<unsigned char>(bytes[0])];
    text = bytes.substr(1);
  } else {
    const std::size_t newline = bytes.find('\n');
    if (newline == std::string_view::npos) return;
    format = bytes.substr(0, newline);
    text = bytes.substr(newline + 1);
  }
  Layout layout;
  std::string message;
  if (!TryCompileLayout(format, layout, message)) return;
  static const Zone kZones[] = {Zone::Utc(), LoadZone("Europe/Berlin"), LoadZone("America/New_York")};
  constexpr TimePoint kReference{std::chrono::seconds(1709622489)};
  for (const Zone zone : kZones) {
    for (const TimePoint* reference : {static_cast<const TimePoint*>(nullptr), &kReference}) {
      std::string fast;
      std::string steps;
      const auto read = reference == nullptr
                            ? TryFromLayout(text, layout, zone, Disambiguation::Compatible, fast)
                            : TryFromLayout(text, layout, zone, Disambiguation::Compatible, *reference, fast);
      const auto read_by_steps =
          internal::layout::ReadBySteps(text, layout, zone, Disambiguation::Compatible, reference, steps);
      if (!Same(read, read_by_steps) || fast != steps) {
        std::fprintf(stderr, "format '%.*s' text '%.*s': '%s' against the steps' '%s'\n",
                     static_cast<int>(format.size()), format.data(), static_cast<int>(text.size()), text.data(),
                     fast.c_str(), steps.c_str());
        std::abort();
      }
    }
  }
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvik::chrono::fuzz::Check({reinterpret_cast<const char*>(data), size});
  return 0;
}
