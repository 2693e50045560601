// Internal: where a thread last saw one variable of the environment, so that
// a later call tells without a search whether its value may have changed.
//
// Any change of a variable's value changes what the entries hold at
// BeforeIndex or Index, or the entries themselves: setenv and putenv replace
// its entry, unsetenv moves the entries after it, and a variable set where it
// was not lands after the last entry (also in the place of the last one,
// after an unsetenv of another variable). Only a putenv string written in
// place keeps its entry: its users compare the value's bytes.
#ifndef ORVIK_CHRONO_SRC_ZONE_ENVIRONMENT_H_
#define ORVIK_CHRONO_SRC_ZONE_ENVIRONMENT_H_

#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string_view>

namespace orvik::chrono::internal::zone {

struct VariableSeen {
  char* const* Entries;     // environ, or kNoEntries where it is NULL
  std::size_t Index;        // of the variable's entry, or of the NULL that ends the entries
  std::size_t BeforeIndex;  // Index - 1, or 0 when Index is 0
  const char* Entry;        // Entries[Index]
  const char* Before;       // Entries[BeforeIndex]
};

// The entries of an environment that has none (environ NULL).
inline char* const kNoEntries[] = {nullptr};

inline char* const* Environment() { return environ != nullptr ? environ : kNoEntries; }

// Whether the entries around the variable are no longer those `seen` saw;
// true where it saw nothing yet (all zero).
inline bool Moved(const VariableSeen& seen) {
  char* const* const entries = Environment();
  return entries != seen.Entries || entries[seen.Index] != seen.Entry || entries[seen.BeforeIndex] != seen.Before;
}

// Where the variable whose entries start with `prefix` ("TZ=") stands now.
inline VariableSeen Look(std::string_view prefix) {
  char* const* const entries = Environment();
  std::size_t index = 0;
  while (entries[index] != nullptr && std::strncmp(entries[index], prefix.data(), prefix.size()) != 0) ++index;
  const std::size_t before = index == 0 ? 0 : index - 1;
  return {entries, index, before, entries[index], entries[before]};
}

}  // namespace orvik::chrono::internal::zone

#endif  // ORVIK_CHRONO_SRC_ZONE_ENVIRONMENT_H_
