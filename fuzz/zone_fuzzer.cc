// The zone module on arbitrary bytes: read as a TZif file, which must read
// without a fault and answer every second it is asked; and their text up to
// the first NUL read as a POSIX TZ rule, whose answers must be localtime_r's
// under that TZ at the seconds that the rest of the bytes name.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <string_view>

#include "calendar/convert.h"
#include "zone/zone_table.h"

namespace orvik::chrono::fuzz {
namespace {

using namespace internal::zone;
using internal::zone::Zone;

// The zone's answer at `seconds` through the same function as every local
// conversion.
std::tm Answer(const Zone* zone, long seconds) {
  std::tm tm{};
  internal::LocalFromSeconds(seconds, tm, zone);
  return tm;
}

// No other thread knows the zone, nor any std::tm kept.
void Free(Zone* zone) { ::operator delete(zone); }

const ZoneKey kKey{LocalZoneSource::PosixRule, "fuzz", "", {}, "fuzz", false};

void Check(std::string_view bytes) {
  const std::string text(bytes.substr(0, bytes.find('\0')));
  std::string_view rest = bytes.substr(text.size() < bytes.size() ? text.size() + 1 : bytes.size());
  const auto next_second = [&rest] {
    std::int64_t value = 0;
    const std::size_t taken = rest.size() < sizeof value ? rest.size() : sizeof value;
    std::memcpy(&value, rest.data(), taken);
    rest.remove_prefix(taken);
    return static_cast<long>(value % (kLastSecond - kFirstSecond + 1) + (value < 0 ? kLastSecond : kFirstSecond));
  };

  Tzif tzif;
  if (ReadTzif(bytes, tzif) == TzifReading::Read) {
    const PosixRule footer = ReadPosixRule(tzif.Footer.c_str());
    if (IsComputable(footer)) {
      Zone* zone = MakeZone(kKey, tzif, tzif.Footer.empty() ? nullptr : &footer);
      for (const long seconds : {kFirstSecond, kLastSecond, next_second()}) Answer(zone, seconds);
      Free(zone);
    }
    return;
  }

  // Read as a rule by glibc too: no name of a file (glibc would read it), no
  // '/' (a file that never ends), no ':' first and not empty (other names).
  struct stat status {};
  const std::string path = "/usr/share/zoneinfo/" + text;
  if (text.empty() || text.size() > 64 || text[0] == ':' || text.find('/') != std::string::npos ||
      ::stat(path.c_str(), &status) == 0) {
    return;
  }
  const PosixRule rule = ReadPosixRule(text.c_str());
  if (!IsComputable(rule)) return;
  Zone* zone = MakeZone(kKey, rule);
  ::setenv("TZ", text.c_str(), 1);  // NOLINT(concurrency-mt-unsafe): one thread
  ::tzset();
  for (int i = 0; i < 8; ++i) {
    const long seconds = next_second();
    std::tm libc{};
    localtime_r(&seconds, &libc);
    const std::tm ours = Answer(zone, seconds);
    if (std::memcmp(&ours, &libc, 9 * sizeof(int)) != 0 || ours.tm_gmtoff != libc.tm_gmtoff ||
        std::strcmp(ours.tm_zone, libc.tm_zone) != 0) {
      std::fprintf(stderr, "TZ=\"%s\" at %ld: %s at %ld, localtime_r %s at %ld\n", text.c_str(), seconds, ours.tm_zone,
                   ours.tm_gmtoff, libc.tm_zone, libc.tm_gmtoff);
      std::abort();
    }
  }
  Free(zone);
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvik::chrono::fuzz::Check(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
