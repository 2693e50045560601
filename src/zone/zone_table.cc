#include "zone/zone_table.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "civil/civil.h"

namespace orvik::chrono::internal::zone {
namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

// The offset, summer time flag and abbreviation that localtime_r shows.
struct Kind {
  std::int32_t Offset;
  bool IsDst;
  std::string_view Abbreviation;

  bool operator==(const Kind&) const = default;
};

// The leap seconds inserted so far, and what tm_sec gains at an inserted one.
struct Leap {
  std::int32_t Correction;
  int LeapSecond;

  bool operator==(const Leap&) const = default;
};

struct Piece {
  Kind Shown;
  Leap Leaps;

  bool operator==(const Piece&) const = default;
};

// `What` holds from Start up to the next stretch's start.
template <typename Value>
struct Stretch {
  std::int64_t Start;
  Value What;
};

// Appends a stretch to stretches in ascending order: one that starts before
// kFirstSecond starts there, one after kLastSecond is dropped, and one that
// shows what the stretch before it shows extends that one.
template <typename Value>
void Append(std::vector<Stretch<Value>>& stretches, std::int64_t at, const Value& value) {
  at = std::max(at, kFirstSecond);
  if (at > kLastSecond) return;
  if (!stretches.empty() && stretches.back().Start == at) stretches.pop_back();
  if (stretches.empty() || !(stretches.back().What == value)) stretches.push_back({at, value});
}

std::int64_t YearOf(std::int64_t seconds) { return civil::CivilFromDays(civil::SplitDays(seconds).Days).Year; }

std::int64_t YearStart(std::int64_t year) { return civil::SecondsFromCivil(year, 1, 1, 0, 0, 0); }

// A POSIX rule's offsets from second `from` on: glibc decides each second by
// both changes of its own UTC year, so within a year the offset changes only
// at those changes, and at the new year. A file may name any 64-bit second,
// and from past kLastSecond the rule shows nowhere.
void AppendRule(std::vector<Stretch<Kind>>& kinds, const PosixRule& rule, std::int64_t from) {
  if (from > kLastSecond) return;
  const Kind standard{rule.Standard.Offset, false, rule.Standard.Name};
  const Kind summer{rule.Summer.Offset, true, rule.Summer.Name};
  from = std::max(from, kFirstSecond);
  for (std::int64_t year = YearOf(from); year <= YearOf(kLastSecond); ++year) {
    const std::int64_t start = YearStart(year);
    const std::int64_t end = YearStart(year + 1);
    std::array<std::int64_t, 3> changes{start, ChangeOf(rule.Standard, year), ChangeOf(rule.Summer, year)};
    std::sort(changes.begin(), changes.end());
    for (const std::int64_t change : changes) {
      if (change < start || change >= end) continue;
      const std::int64_t at = std::max(change, from);
      Append(kinds, at, IsSummer(rule, at, year) ? summer : standard);
    }
  }
}

// A TZif file's offsets. Before its first transition, and at every second
// of a file without any (the footer unused), the first type of standard time,
// or the first type if all are summer time. From the last transition on, that
// second included, the footer's rule, its own abbreviations and offsets
// rather than the types', or without a footer the last transition's type.
std::vector<Stretch<Kind>> KindsOf(const Tzif& tzif, const PosixRule* footer) {
  const auto kind = [&tzif](std::size_t type) {
    const TzifType& of = tzif.Types[type];
    return Kind{of.Offset, of.IsDst, tzif.Abbreviations.c_str() + of.Abbreviation};
  };
  std::size_t first = 0;
  while (first < tzif.Types.size() && tzif.Types[first].IsDst) ++first;
  std::vector<Stretch<Kind>> kinds;
  Append(kinds, kFirstSecond, kind(first == tzif.Types.size() ? 0 : first));
  const std::size_t count = tzif.Transitions.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (i + 1 == count && footer != nullptr) {
      AppendRule(kinds, *footer, tzif.Transitions[i]);
    } else {
      Append(kinds, tzif.Transitions[i], kind(tzif.TypeOf[i]));
    }
  }
  return kinds;
}

// The leap seconds of a right/ zone: each record's correction holds from its
// second on. Where the correction grows, that second is a leap second (tm_sec
// 60) and the one before shows 23:59:59 too; a run of records one second
// apart, each one more, counts on (61).
std::vector<Stretch<Leap>> LeapsOf(const std::vector<LeapRecord>& records) {
  std::vector<Stretch<Leap>> leaps;
  Append(leaps, kFirstSecond, Leap{0, 0});
  for (std::size_t i = 0; i < records.size() && records[i].At <= kLastSecond; ++i) {
    int in_a_row = 0;
    if (records[i].Correction > (i == 0 ? 0 : records[i - 1].Correction)) {
      in_a_row = 1;
      for (std::size_t j = i; j > 0 && records[j].At == records[j - 1].At + 1 &&
                              std::int64_t{records[j].Correction} == std::int64_t{records[j - 1].Correction} + 1;
           --j) {
        ++in_a_row;
      }
    }
    Append(leaps, records[i].At, Leap{records[i].Correction, in_a_row});
    if (in_a_row > 0) Append(leaps, records[i].At + 1, Leap{records[i].Correction, 0});
  }
  return leaps;
}

std::vector<Stretch<Piece>> Merge(const std::vector<Stretch<Kind>>& kinds, const std::vector<Stretch<Leap>>& leaps) {
  std::vector<Stretch<Piece>> pieces;
  std::size_t k = 0;
  std::size_t l = 0;
  while (k < kinds.size() || l < leaps.size()) {
    const std::int64_t at =
        std::min(k < kinds.size() ? kinds[k].Start : kNever, l < leaps.size() ? leaps[l].Start : kNever);
    if (k < kinds.size() && kinds[k].Start == at) ++k;
    if (l < leaps.size() && leaps[l].Start == at) ++l;
    Append(pieces, at, Piece{kinds[k - 1].What, leaps[l - 1].What});
  }
  return pieces;
}

// Where each part of a zone's block starts, in bytes; every part is aligned
// for its type, since each size before it is a multiple of 8.
struct BlockOffsets {
  std::size_t Shifts;
  std::size_t Starts;
  std::size_t ShiftOf;
  std::size_t Text;
  std::size_t Size;
};

BlockOffsets OffsetsOf(std::size_t shifts, std::size_t stretches, std::size_t text) {
  BlockOffsets offsets{};
  offsets.Shifts = sizeof(Zone);
  offsets.Starts = offsets.Shifts + shifts * sizeof(Shift);
  offsets.ShiftOf = offsets.Starts + (stretches + 1) * sizeof(std::int64_t);
  offsets.Text = offsets.ShiftOf + stretches * sizeof(std::uint16_t);
  offsets.Size = offsets.Text + text;
  return offsets;
}

// Appends `text` and a NUL to `texts` once; returns where it starts.
std::size_t Intern(std::string& texts, std::string_view text) {
  const std::string key = std::string(text) + '\0';
  std::size_t at = 0;
  for (; at < texts.size(); at = texts.find('\0', at) + 1) {
    if (texts.compare(at, key.size(), key) == 0) return at;
  }
  texts += key;
  return at;
}

// One block for the zone, its stretches (none: left to localtime_r) and its
// texts.
Zone* Build(const ZoneKey& key, const std::vector<Stretch<Piece>>& pieces) {
  std::vector<Piece> distinct;
  std::vector<std::uint16_t> shift_of;
  for (const Stretch<Piece>& piece : pieces) {
    const auto found = std::find(distinct.begin(), distinct.end(), piece.What);
    shift_of.push_back(static_cast<std::uint16_t>(found - distinct.begin()));
    if (found == distinct.end()) distinct.push_back(piece.What);
  }
  if (distinct.size() >= kSeveralChanges || pieces.size() >= kSeveralChanges) {
    return MakeZone({LocalZoneSource::Libc, key.Tz, key.Path, key.File, key.Name, key.WatchesFile});
  }
  std::string texts;
  std::vector<std::size_t> abbreviations;
  abbreviations.reserve(distinct.size());
  for (const Piece& piece : distinct) abbreviations.push_back(Intern(texts, piece.Shown.Abbreviation));
  const std::size_t tz = key.Tz == nullptr ? 0 : Intern(texts, key.Tz);
  const std::size_t path = Intern(texts, key.Path);
  const std::size_t name = Intern(texts, key.Name);

  const BlockOffsets offsets = OffsetsOf(distinct.size(), pieces.size(), texts.size());
  auto* block = static_cast<std::byte*>(::operator new(offsets.Size, std::nothrow));
  if (block == nullptr) return nullptr;
  char* const text = reinterpret_cast<char*>(block + offsets.Text);
  std::copy(texts.begin(), texts.end(), text);
  auto* shifts = reinterpret_cast<Shift*>(block + offsets.Shifts);
  for (std::size_t i = 0; i < distinct.size(); ++i) {
    const Piece& piece = distinct[i];
    shifts[i] = {piece.Shown.Offset - std::int64_t{piece.Leaps.Correction}, piece.Shown.Offset,
                 piece.Shown.IsDst ? 1 : 0, piece.Leaps.LeapSecond, text + abbreviations[i]};
  }
  auto* starts = reinterpret_cast<std::int64_t*>(block + offsets.Starts);
  for (std::size_t i = 0; i < pieces.size(); ++i) starts[i] = pieces[i].Start;
  starts[pieces.size()] = kNever;
  auto* stretch_shifts = reinterpret_cast<std::uint16_t*>(block + offsets.ShiftOf);
  std::copy(shift_of.begin(), shift_of.end(), stretch_shifts);
  auto* zone = new (block) Zone{pieces.empty() ? nullptr : shifts,
                                starts,
                                stretch_shifts,
                                pieces.size(),
                                distinct.size() == 1,
                                distinct.empty() ? Shift{} : shifts[0],
                                key.WatchesFile,
                                key.Source,
                                key.Tz == nullptr ? nullptr : text + tz,
                                text + path,
                                key.File,
                                {text + name, key.Name.size()},
                                nullptr,
                                {},
                                {}};
  std::size_t holding = 0;
  for (std::size_t bucket = 0; !pieces.empty() && bucket < kBuckets; ++bucket) {
    const std::int64_t start = kFirstSecond + static_cast<std::int64_t>(bucket << kBucketBits);
    while (starts[holding + 1] <= start) ++holding;
    zone->StretchOf.at(bucket) = static_cast<std::uint16_t>(holding);
    std::size_t changes = holding + 1;
    while (starts[changes] <= start + static_cast<std::int64_t>(kInBucket)) ++changes;
    Bucket& at = zone->Buckets.at(bucket);
    at = {~std::uint32_t{0}, shift_of[holding], shift_of[holding]};
    if (changes == holding + 2) {
      at = {static_cast<std::uint32_t>(starts[holding + 1] - start), shift_of[holding], shift_of[holding + 1]};
    } else if (changes > holding + 2) {
      at = {~std::uint32_t{0}, kSeveralChanges, static_cast<std::uint16_t>(holding)};
    }
  }
  return zone;
}

}  // namespace

Zone* MakeZone(const ZoneKey& key, const Tzif& tzif, const PosixRule* footer) {
  return Build(key, Merge(KindsOf(tzif, footer), LeapsOf(tzif.Leaps)));
}

Zone* MakeZone(const ZoneKey& key, const PosixRule& rule) {
  std::vector<Stretch<Kind>> kinds;
  AppendRule(kinds, rule, kFirstSecond);
  return Build(key, Merge(kinds, LeapsOf({})));
}

Zone* MakeZone(const ZoneKey& key) { return Build(key, {}); }

// With every offset under kReach, the instant at which a stretch would show
// `local` lies within kReach of `local`: only the stretches from the one in
// force at local - kReach (the first stretch where that is before
// kFirstSecond, the last where it is past kLastSecond) to the last that
// starts by local + kReach can show it or bound a gap at it. That first one
// is the stretch in force at the start of the bucket of local - kReach, or a
// later one that starts within that bucket, by local - kReach.
WallClock FindWallClock(const Zone& zone, std::int64_t local) {
  constexpr std::int64_t kReach = 2 * kSecondsPerDay;
  const std::int64_t* const starts = zone.Starts;
  const std::int64_t from = std::clamp(local - kReach, kFirstSecond, kLastSecond);
  std::size_t i = zone.StretchOf[static_cast<std::uint64_t>(from - kFirstSecond) >> kBucketBits];
  while (starts[i + 1] <= from) ++i;
  unsigned count = 0;
  const Shift* first = nullptr;
  const Shift* last = nullptr;
  std::int64_t change = 0;
  for (; starts[i] <= local + kReach; ++i) {
    const Shift* const shift = &zone.Shifts[zone.ShiftOf[i]];
    const std::int64_t at = local - shift->Add;
    if (at >= starts[i] && at < starts[i + 1]) {
      if (count++ == 0) first = shift;
      last = shift;
      change = starts[i];
    } else if (count == 0 && i > 0 && at < starts[i]) {
      // Shown at neither side of the change at starts[i]: a gap, unless an
      // earlier stretch showed it.
      const Shift* const before = &zone.Shifts[zone.ShiftOf[i - 1]];
      if (local - before->Add >= starts[i]) {
        first = before;
        last = shift;
        change = starts[i];
      }
    }
  }
  return {count, first, last, change};
}

}  // namespace orvik::chrono::internal::zone
