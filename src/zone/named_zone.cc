// Zones by name, by fixed offset and by POSIX rule.
//
// Storage: two lists shared by all threads, newest first, never freed: the
// entries (one per kind, name and zone directory) and the tables of zone files
// (one per file identity: device, inode, modification time and size, so that
// names that are links to one file share its table). A load searches the
// entries without a lock, a system call or an allocation, and reads a name
// not found. A new table or entry joins its list by compare-and-exchange;
// where another thread added the same one first, that one is taken and the
// new one, never shared, is freed. So each name has one entry, and a Zone is
// equal to every other Zone of the same name.
//
// Opening: a name of the tz database's form only (no '.', so no "." or ".."
// component, and no leading '/'), opened by openat2 with RESOLVE_BENEATH from
// a descriptor of the zone directory, without blocking (a FIFO), then checked
// to be a regular file of at most kLargestFile bytes.
#include "zone/named_zone.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "civil/instant.h"
#include "messages.h"
#include "zone/environment.h"
#include "zone/posix_rule.h"
#include "zone/zone_file.h"

namespace orvik::chrono {
namespace internal::zone {
namespace {

constexpr std::string_view kDefaultDirectory = "/usr/share/zoneinfo";
constexpr std::size_t kLongestName = 255;

std::atomic<const NamedZone*> entries{nullptr};
std::atomic<const Zone*> file_tables{nullptr};

// Where TZDIR stood when a thread last looked, and a copy of its entry, so
// that a name already loaded is found without a search of the environment.
// An entry too long for Entry is looked up at every call.
struct DirectorySeen {
  VariableSeen Tzdir;
  std::size_t Size;  // of the entry in Entry, "TZDIR=" and the value
  char Entry[sizeof("TZDIR=") + 255];
};
thread_local DirectorySeen directory_seen{};

// $TZDIR unless unset or empty, else the default; ignored in a setuid program
// (secure_getenv's rule).
std::string_view ZoneDirectory() {
  static const bool secure = ::getauxval(AT_SECURE) != 0;
  if (secure) return kDefaultDirectory;
  constexpr std::size_t kPrefix = sizeof("TZDIR=") - 1;
  DirectorySeen& seen = directory_seen;
  // A putenv string written in place keeps its entry: its bytes tell.
  if (Moved(seen.Tzdir) ||
      (seen.Tzdir.Entry != nullptr && std::memcmp(seen.Tzdir.Entry, seen.Entry, seen.Size + 1) != 0)) [[unlikely]] {
    seen.Tzdir = Look("TZDIR=");
    const std::string_view entry = seen.Tzdir.Entry == nullptr ? "" : seen.Tzdir.Entry;
    if (entry.size() >= sizeof seen.Entry) {
      seen.Tzdir.Entries = nullptr;  // looked up again at the next call
      return entry.size() > kPrefix ? entry.substr(kPrefix) : kDefaultDirectory;
    }
    seen.Size = entry.copy(seen.Entry, entry.size());
    seen.Entry[seen.Size] = '\0';
  }
  return seen.Size > kPrefix ? std::string_view(seen.Entry + kPrefix, seen.Size - kPrefix) : kDefaultDirectory;
}

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '+';
}

ZoneError CheckName(std::string_view name) {
  if (name.size() > kLongestName) return ZoneError::NameTooLong;
  bool component_empty = true;
  for (const char c : name) {
    if (c == '/') {
      if (component_empty) return ZoneError::NotAName;
      component_empty = true;
    } else if (IsNameByte(c)) {
      component_empty = false;
    } else {
      return ZoneError::NotAName;
    }
  }
  return component_empty ? ZoneError::NotAName : ZoneError::None;
}

const NamedZone* Find(const NamedZone* from, const NamedZone* to, NamedKind kind, std::string_view name,
                      std::string_view directory) {
  for (const NamedZone* entry = from; entry != to; entry = entry->Next) {
    if (entry->Kind == kind && entry->Name == name && entry->Directory == directory) return entry;
  }
  return nullptr;
}

// Adds `node` to `head`'s list, `seen` the head when the caller searched it,
// unless a node that `same` matches was added since: then returns that one
// and the caller frees `node`.
template <typename Node, typename Same>
const Node* Publish(std::atomic<const Node*>& head, Node* node, const Node* seen, Same same) {
  node->Next = seen;
  while (!head.compare_exchange_weak(node->Next, node, std::memory_order_release, std::memory_order_acquire)) {
    for (const Node* other = node->Next; other != seen; other = other->Next) {
      if (same(*other)) return other;
    }
    seen = node->Next;
  }
  return node;
}

void Free(const void* block) { ::operator delete(const_cast<void*>(block)); }

// A table that answers every second by lookup, or nullptr (freed) for one
// left to localtime_r, which a zone by name does not use.
Zone* Usable(Zone* table) {
  if (table != nullptr && table->Shifts == nullptr) {
    Free(table);
    return nullptr;
  }
  return table;
}

// A new entry for `table` (never freed once shared), in one block with its
// texts; the entry already added for it where another thread was first.
ZoneLoad Enter(const Zone* table, NamedKind kind, std::string_view name, std::string_view directory,
               const NamedZone* seen) {
  auto* block = static_cast<char*>(::operator new(sizeof(NamedZone) + name.size() + directory.size(), std::nothrow));
  if (block == nullptr) return {{}, ZoneError::OutOfMemory};
  char* const text = block + sizeof(NamedZone);
  name.copy(text, name.size());  // not memcpy: an empty view's data may be null
  directory.copy(text + name.size(), directory.size());
  auto* entry =
      new (block) NamedZone{table, kind, {text, name.size()}, {text + name.size(), directory.size()}, nullptr};
  const NamedZone* const shared = Publish(entries, entry, seen, [&](const NamedZone& other) {
    return other.Kind == kind && other.Name == name && other.Directory == directory;
  });
  if (shared != entry) Free(block);
  return {chrono::Zone(shared), ZoneError::None};
}

// Opens `name` beneath `directory`, following no link out of it. Where the
// kernel has no openat2 (or a filter refuses it), one component at a time
// without following any link.
int OpenBeneath(int directory, const std::string& name) {
  constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
  open_how how{};
  how.flags = kFlags;
  how.resolve = RESOLVE_BENEATH;
  const long fd = ::syscall(SYS_openat2, directory, name.c_str(), &how, sizeof how);
  if (fd >= 0 || (errno != ENOSYS && errno != EPERM)) return static_cast<int>(fd);
  int at = directory;
  std::size_t from = 0;
  for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', from)) {
    const int next =
        ::openat(at, name.substr(from, slash - from).c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (at != directory) ::close(at);
    if (next < 0) return -1;
    at = next;
    from = slash + 1;
  }
  const int file = ::openat(at, name.c_str() + from, kFlags | O_NOFOLLOW);
  const int error = errno;
  if (at != directory) ::close(at);
  errno = error;
  return file;
}

ZoneError OpenError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return ZoneError::NotFound;
    case EXDEV:
      return ZoneError::OutsideDirectory;
    case ENXIO:  // a socket
      return ZoneError::NotZoneFile;
    case ENOMEM:
      return ZoneError::OutOfMemory;
    default:
      return ZoneError::Unreadable;
  }
}

// The table of the file `name` under `directory`: one already read from the
// same file, or a new one.
ZoneLoad ReadNamed(std::string_view name, std::string_view directory, const NamedZone* seen) {
  const std::string path = std::string(directory).append("/").append(name);
  const Descriptor opened_directory{::open(path.substr(0, directory.size()).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)};
  if (opened_directory.Fd < 0) return {{}, ZoneError::NotFound};
  const Descriptor file{OpenBeneath(opened_directory.Fd, std::string(name))};
  if (file.Fd < 0) return {{}, OpenError(errno)};
  struct stat status {};
  if (::fstat(file.Fd, &status) != 0) return {{}, ZoneError::Unreadable};
  if (!S_ISREG(status.st_mode) || static_cast<std::uint64_t>(status.st_size) > kLargestFile) {
    return {{}, ZoneError::NotZoneFile};
  }
  const FileId id{status.st_dev, status.st_ino, status.st_mtim.tv_sec, status.st_mtim.tv_nsec, status.st_size};
  const Zone* const newest = file_tables.load(std::memory_order_acquire);
  for (const Zone* table = newest; table != nullptr; table = table->Next) {
    if (table->File == id) return Enter(table, NamedKind::File, name, directory, seen);
  }
  std::string bytes;
  FileId read{};
  if (ReadOpenFile(file.Fd, bytes, read) != FileReading::Read || !(read == id)) return {{}, ZoneError::Unreadable};
  ZoneKey key{LocalZoneSource::TzifFile, nullptr, path, id, name, false};
  TzifReading reading = TzifReading::NotTzif;
  Zone* const table = Usable(MakeTzifZone(key, bytes, reading));
  if (reading != TzifReading::Read) return {{}, ZoneError::NotZoneFile};
  if (table == nullptr) return {{}, ZoneError::OutOfMemory};
  const Zone* const shared = Publish(file_tables, table, newest, [&id](const Zone& other) { return other.File == id; });
  if (shared != table) Free(table);
  return Enter(shared, NamedKind::File, name, directory, seen);
}

// The entry of a fixed offset or a rule named `name`, whose table `make`
// builds where none is found.
template <typename Make>
ZoneLoad Load(NamedKind kind, std::string_view name, Make make) noexcept {
  const NamedZone* const seen = entries.load(std::memory_order_acquire);
  if (const NamedZone* const found = Find(seen, nullptr, kind, name, {})) return {chrono::Zone(found), ZoneError::None};
  try {
    const ZoneKey key{LocalZoneSource::PosixRule, nullptr, {}, {}, name, false};
    Zone* table = nullptr;
    if (const ZoneError error = make(key, table); error != ZoneError::None) return {{}, error};
    if (table == nullptr) return {{}, ZoneError::OutOfMemory};
    return Enter(table, kind, name, {}, seen);
  } catch (const std::bad_alloc&) {
    return {{}, ZoneError::OutOfMemory};
  }
}

// A name's bytes, those outside printable ASCII as \xhh.
std::string Escaped(std::string_view name) {
  std::string escaped;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f) {
      escaped += c;
    } else {
      constexpr std::string_view kHex = "0123456789abcdef";
      escaped.append("\\x").append(1, kHex[byte >> 4U]).append(1, kHex[byte & 0xfU]);
    }
  }
  return escaped;
}

}  // namespace
}  // namespace internal::zone

std::string_view Zone::Name() const noexcept { return entry_ == nullptr ? std::string_view("UTC") : entry_->Name; }

ZoneLoad TryLoadZone(std::string_view name) noexcept {
  using namespace internal::zone;
  // A name found among the entries was checked when it was loaded.
  const std::string_view directory = ZoneDirectory();
  const NamedZone* const seen = entries.load(std::memory_order_acquire);
  if (const NamedZone* const found = Find(seen, nullptr, NamedKind::File, name, directory)) {
    return {chrono::Zone(found), ZoneError::None};
  }
  if (const ZoneError error = CheckName(name); error != ZoneError::None) return {{}, error};
  try {
    return ReadNamed(name, directory, seen);
  } catch (const std::bad_alloc&) {
    return {{}, ZoneError::OutOfMemory};
  }
}

Zone LoadZone(std::string_view name) {
  const ZoneLoad load = TryLoadZone(name);
  if (load.error == ZoneError::OutOfMemory) throw std::bad_alloc();
  if (!load) throw std::invalid_argument(ZoneErrorMessage(load.error, name));
  return load.zone;
}

ZoneLoad TryFixedOffsetZone(std::chrono::seconds offset) noexcept {
  using namespace internal;
  const std::int64_t seconds = offset.count();
  if (seconds <= -kSecondsPerDay || seconds >= kSecondsPerDay) return {{}, ZoneError::OffsetOutOfRange};
  char name[sizeof("+00:00:00")];
  const std::string_view text(name, static_cast<std::size_t>(WriteOffset(name, seconds, true) - name));
  return zone::Load(zone::NamedKind::FixedOffset, text, [&](const zone::ZoneKey& key, zone::Zone*& table) {
    zone::PosixRule rule;
    rule.Standard.Name = text;
    rule.Standard.Offset = static_cast<std::int32_t>(seconds);
    rule.Summer = rule.Standard;  // as a rule without summer time reads
    rule.Whole = true;
    table = zone::Usable(zone::MakeZone(key, rule));
    return ZoneError::None;
  });
}

ZoneLoad TryPosixRuleZone(std::string_view rule) noexcept {
  using namespace internal::zone;
  return Load(NamedKind::Rule, rule, [&](const ZoneKey& key, internal::zone::Zone*& table) {
    if (rule.empty() || rule.find('\0') != std::string_view::npos) return ZoneError::NotARule;
    const std::string text(rule);
    const PosixRule read = ReadPosixRule(text.c_str());
    if (!read.Whole || read.WantsPosixRules || !IsComputable(read)) return ZoneError::NotARule;
    table = Usable(MakeZone(key, read));
    return ZoneError::None;
  });
}

std::string ZoneErrorMessage(ZoneError error, std::string_view name) {
  using namespace internal;
  const std::string escaped = zone::Escaped(name);
  const std::string_view directory = zone::ZoneDirectory();
  switch (error) {
    case ZoneError::NameTooLong:
      return JoinMessage({kZoneNameTooLongHead, std::to_string(name.size()), kZoneNameTooLongTail});
    case ZoneError::NotAName:
      return JoinMessage({kNotAZoneName, escaped, "'"});
    case ZoneError::NotFound:
      return JoinMessage({kNoZoneNamed, escaped, kUnder, directory});
    case ZoneError::OutsideDirectory:
      return JoinMessage({kZoneHead, escaped, kLeadsOutside, directory});
    case ZoneError::NotZoneFile:
      return JoinMessage({kZoneHead, escaped, kUnder, directory, kNoZoneFile});
    case ZoneError::Unreadable:
      return JoinMessage({kCannotReadZone, escaped, kUnder, directory});
    case ZoneError::NotARule:
      return JoinMessage({kNotARule, escaped, "'"});
    case ZoneError::OffsetOutOfRange:
      return JoinMessage({kOffsetOfHead, escaped, kOffsetOfTail});
    case ZoneError::OutOfMemory:
      return JoinMessage({kOutOfMemoryLoading, escaped, "'"});
    case ZoneError::None:
      break;
  }
  return {};
}

}  // namespace orvik::chrono
