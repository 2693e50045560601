// Internal: a zone file's bytes from an open descriptor, and the table of a
// TZif file's bytes, for the process's zone and for zones by name alike.
#ifndef ORVIK_CHRONO_SRC_ZONE_ZONE_FILE_H_
#define ORVIK_CHRONO_SRC_ZONE_ZONE_FILE_H_

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "zone/tzif.h"
#include "zone/zone_table.h"

namespace orvik::chrono::internal::zone {

// Far larger than any zone file; a larger file is not read.
inline constexpr std::size_t kLargestFile = std::size_t{1} << 20;

// Closes the descriptor it holds, if any, when it goes.
struct Descriptor {
  int Fd;
  explicit Descriptor(int fd) : Fd(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (Fd >= 0) ::close(Fd);
  }
};

enum class FileReading : std::uint8_t { Read, Unreadable, TooLarge };

// The identity that fstat gives `fd`, a regular file (Unreadable otherwise),
// and, unless it is larger than kLargestFile, its whole contents.
FileReading ReadOpenFile(int fd, std::string& bytes, FileId& file);

// The zone of a TZif file's `bytes`, with `reading` Read and `key` set to
// Source TzifFile and Name its path once the bytes read as TZif; or nullptr
// with `reading` NotTzif, or Malformed for a file whose answers are left to
// localtime_r (malformed, or a footer whose changes cannot be computed).
// nullptr with Read where memory ran out.
Zone* MakeTzifZone(ZoneKey& key, std::string_view bytes, TzifReading& reading);

}  // namespace orvik::chrono::internal::zone

#endif  // ORVIK_CHRONO_SRC_ZONE_ZONE_FILE_H_
