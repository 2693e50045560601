#include "zone/zone_file.h"

#include <sys/stat.h>

#include "zone/posix_rule.h"

namespace orvik::chrono::internal::zone {

FileReading ReadOpenFile(int fd, std::string& bytes, FileId& file) {
  struct stat status {};
  if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return FileReading::Unreadable;
  file = {status.st_dev, status.st_ino, status.st_mtim.tv_sec, status.st_mtim.tv_nsec, status.st_size};
  if (static_cast<std::uint64_t>(status.st_size) > kLargestFile) return FileReading::TooLarge;
  bytes.resize(static_cast<std::size_t>(status.st_size));
  // As stdio reads it for glibc: a failure, an interruption included, is the
  // file's; an end is where it was read up to.
  std::size_t size = 0;
  ssize_t got = 0;
  while (size < bytes.size() && (got = ::read(fd, bytes.data() + size, bytes.size() - size)) > 0) {
    size += static_cast<std::size_t>(got);
  }
  if (got < 0) return FileReading::Unreadable;
  bytes.resize(size);
  return FileReading::Read;
}

Zone* MakeTzifZone(ZoneKey& key, std::string_view bytes, TzifReading& reading) {
  Tzif tzif;
  reading = ReadTzif(bytes, tzif);
  if (reading != TzifReading::Read) return nullptr;
  key.Source = LocalZoneSource::TzifFile;
  key.Name = key.Path;
  if (tzif.Footer.empty()) return MakeZone(key, tzif, nullptr);
  const PosixRule footer = ReadPosixRule(tzif.Footer.c_str());
  if (IsComputable(footer)) return MakeZone(key, tzif, &footer);
  reading = TzifReading::Malformed;
  return nullptr;
}

}  // namespace orvik::chrono::internal::zone
