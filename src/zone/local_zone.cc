// Which zone TZ names, read as glibc reads it: TZ unset is /etc/localtime,
// "" is "Universal", one leading ':' is dropped, a relative name is looked up
// under $TZDIR (if set and not empty) or /usr/share/zoneinfo, an absolute
// path is taken as it is. A name that is no readable TZif file is a POSIX rule,
// of which glibc keeps the part that it could read; with no name at all ("",
// after the ':'), or /etc/localtime unreadable, it is UTC.
//
// Every zone read is kept, newest first, in one list shared by all threads
// and never freed: a thread may still read any of them, and a std::tm points
// at their abbreviations. A new zone joins the list by one atomic exchange;
// two threads that read the same new zone at once may both add it.
#include "zone/local_zone.h"

#include <fcntl.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <new>
#include <string>

#include "zone/zone_file.h"
#include "zone/zone_table.h"

namespace orvik::chrono {
namespace internal::zone {
namespace {

constexpr const char* kDefaultFile = "/etc/localtime";
constexpr const char* kDefaultDirectory = "/usr/share/zoneinfo";
std::atomic<const Zone*> zones{nullptr};

FileId Identify(const char* path) {
  struct stat status {};
  if (*path == '\0' || ::stat(path, &status) != 0) return {};
  return {status.st_dev, status.st_ino, status.st_mtim.tv_sec, status.st_mtim.tv_nsec, status.st_size};
}

// A regular file's whole contents and its identity.
FileReading ReadFile(const char* path, std::string& bytes, FileId& file) {
  const Descriptor descriptor{::open(path, O_RDONLY | O_CLOEXEC)};
  return ReadOpenFile(descriptor.Fd, bytes, file);
}

// The zone that `name` (TZ's value after its ':', or /etc/localtime) names,
// read from `path` or from the name itself.
Zone* ReadZoneOfTz(ZoneKey key, const char* name) {
  // A setuid program: glibc then refuses some names; left to it.
  if (::getauxval(AT_SECURE) != 0) {
    key.Source = LocalZoneSource::Libc;
    key.WatchesFile = false;
    return MakeZone(key);
  }
  std::string bytes;
  const FileReading file = key.Path.empty() ? FileReading::Unreadable : ReadFile(key.Path.data(), bytes, key.File);
  if (file == FileReading::TooLarge) {
    key.Source = LocalZoneSource::Libc;
    return MakeZone(key);
  }
  if (file == FileReading::Read) {
    TzifReading reading = TzifReading::NotTzif;
    Zone* const zone = MakeTzifZone(key, bytes, reading);
    if (reading == TzifReading::Read) return zone;
    if (reading == TzifReading::Malformed) {
      key.Source = LocalZoneSource::Libc;
      return MakeZone(key);
    }
  }
  const bool utc = *name == '\0' || std::strcmp(name, kDefaultFile) == 0;
  const PosixRule rule = ReadPosixRule(utc ? "UTC0" : name);
  if (!IsComputable(rule)) {
    key.Source = LocalZoneSource::Libc;
    return MakeZone(key);
  }
  key.Source = rule.Whole && !utc ? LocalZoneSource::PosixRule : LocalZoneSource::Unreadable;
  if (key.Source == LocalZoneSource::PosixRule) key.Name = name;
  return MakeZone(key, rule);
}

bool SameTz(const Zone& zone, const char* tz) {
  return tz == nullptr ? zone.Tz == nullptr : zone.Tz != nullptr && std::strcmp(zone.Tz, tz) == 0;
}

// The zone for TZ's value `tz` (nullptr: unset): one already read from the
// same file or text, or a new one. With `trust_newest`, the newest zone read
// for the same value and path, without a look at the file.
const Zone* ZoneOf(const char* tz, bool trust_newest) {
  const char* name = tz == nullptr ? kDefaultFile : *tz == '\0' ? "Universal" : tz;
  if (*name == ':') ++name;
  std::string path;
  if (*name != '\0' && *name != '/') {
    const char* directory = std::getenv("TZDIR");  // NOLINT(concurrency-mt-unsafe): as glibc reads it
    path.append(directory != nullptr && *directory != '\0' ? directory : kDefaultDirectory).append("/");
  }
  path.append(name);
  const Zone* const newest = zones.load(std::memory_order_acquire);
  const auto same = [&](const Zone& zone) { return SameTz(zone, tz) && path == zone.Path; };
  const FileId file = trust_newest ? FileId{} : Identify(path.c_str());
  for (const Zone* zone = newest; zone != nullptr; zone = zone->Next) {
    if (same(*zone) && (trust_newest || zone->File == file)) return zone;
  }
  // A file that cannot be read keeps its identity too, so that it is not read again until it changes.
  const FileId read = trust_newest ? Identify(path.c_str()) : file;
  Zone* zone = ReadZoneOfTz(
      {LocalZoneSource::Unreadable, tz, path, read, tz == nullptr ? kDefaultFile : tz, tz == nullptr}, name);
  if (zone == nullptr) return nullptr;
  zone->Next = newest;
  while (!zones.compare_exchange_weak(zone->Next, zone, std::memory_order_release, std::memory_order_acquire)) {
  }
  return zone;
}

}  // namespace

const Zone* LookAgain(ZoneSeen& seen, bool replaced) {
  ZoneSeen now{Look("TZ="), seen.InForce, seen.Checked, 0};
  const char* const entry = now.Tz.Entry;
  try {
    const std::string tz = entry == nullptr ? std::string() : std::string(entry + 3);
    const char* const value = entry == nullptr ? nullptr : tz.c_str();
    now.ValueSize = tz.size();
    if (replaced || seen.InForce == nullptr || !SameTz(*seen.InForce, value)) {
      now.InForce = ZoneOf(value, seen.InForce == nullptr && !replaced);
      now.Checked = std::time(nullptr);
    }
  } catch (const std::bad_alloc&) {
    now.InForce = nullptr;
  }
  if (now.InForce != nullptr) seen = now;
  return now.InForce;
}

const Zone* LookAtFile(ZoneSeen& seen, std::time_t now) {
  seen.Checked = now;
  if (Identify(seen.InForce->Path) == seen.InForce->File) return seen.InForce;
  return LookAgain(seen, true);
}

}  // namespace internal::zone

LocalZone CurrentLocalZone() noexcept {
  internal::zone::ZoneSeen seen{};
  const internal::zone::Zone* const zone = internal::zone::ZoneInForce(seen);
  if (zone == nullptr) return {LocalZoneSource::Libc, {}};
  return {zone->Source, zone->Name};
}

}  // namespace orvik::chrono
