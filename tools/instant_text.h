// The tool's reading and writing of instants: which library call reads an
// input, and which one writes each output format. Nothing here throws for a
// refused text or allocates for an accepted one.
#ifndef ORVIK_CHRONO_TOOLS_INSTANT_TEXT_H_
#define ORVIK_CHRONO_TOOLS_INSTANT_TEXT_H_

#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvik::chrono::cli {

// The epoch kinds, last, count seconds, milliseconds, microseconds and
// nanoseconds, in the order of kEpochUnits.
enum class InputKind : std::uint8_t { Auto, Iso, Http, Epoch, EpochMs, EpochUs, EpochNs };
// IsoZone: IsoNs followed by the zone's name in brackets (RFC 9557).
enum class OutputFormat { Http, Iso, IsoNs, IsoBasic, Epoch, EpochNs, IsoZone };

// The reader that accepted a text; Layout, one of --from-format's.
enum class ReadAs : std::uint8_t { Iso, Http, Mail, Epoch, Layout };

// What reading a text gave: a value, or a refusal.
template <typename T>
struct Reading {
  T Value{};
  bool Accepted = false;
  ReadAs Format = ReadAs::Iso;
  InputKind Kind = InputKind::Iso;  // with Format Epoch, its unit
  // ISO 8601 text read in a zone: wall-clock time, a suffix's zone, or a
  // time without seconds; and every text read by a layout.
  std::optional<ZonedTimestamp> InZone;
  const Layout* ByLayout = nullptr;  // with Format Layout, the one that read it

  explicit operator bool() const { return Accepted; }
};

// How ISO 8601 text without an offset is read: with a zone (--assume-zone),
// as wall-clock time in it under Rule (--disambiguate); without one refused,
// with a hint of --assume-zone where the text lacks only its zone. Layouts
// without an offset read in the zone alike, and %Z the zone's abbreviations.
struct WallClock {
  std::optional<Zone> In;
  Disambiguation Rule = Disambiguation::Reject;
};

// The readers beside the kind's: the layouts of --from-format, tried in order
// before it, and instead of it unless KindToo (--from given as well); and the
// instant that layouts without a year and RFC 850's two-digit years are read
// against, the tool's start (one clock read a run) or --reference.
struct Readers {
  std::vector<Layout> Formats;
  bool KindToo = true;
  TimePoint Reference;
};

// Reads `text` with the first of readers.Formats that reads it, or else as
// `kind` (Auto picks one by the rule of kAutoRule) with the
// library's strict readers, or with `lenient` its lenient ones, or the tool's
// own reading of epoch counts. An HTTP text is tried as an HTTP date, then as
// a mail date; so is an ISO 8601 text that Auto took for one and that is none.
// Where it refuses the text, appends why to `refusal`: the library's message
// (the mail reader's where the text has a mail date's shape, by the rule of
// HasMailShape in instant_text.cc),
// or the tool's words where the library passes on the standard library's (an
// ISO 8601 text too short to read), or the tool's own refusal of an epoch
// count or of digits that Auto does not read. A text that no reader reads is
// refused with the message of the first format whose shape it has (a date
// that does not exist, a weekday not the date's, a zone, the range), else of
// the kind's reader where it is tried, else of the first format.
Reading<Timestamp> ReadInstant(std::string_view text, InputKind kind, bool lenient, std::string& refusal,
                               const WallClock& wall, const Readers& readers);

// The library's strict duration::TryFromIso8601Strict, or with `lenient` its
// duration::TryFromIso8601 (a number beyond int in the tool's words); where it
// refuses the text, appends why to `refusal`.
Reading<std::chrono::nanoseconds> ReadDuration(std::string_view text, bool lenient, std::string& refusal);

// "epoch " and the unit that `kind` counts: "epoch seconds" for Auto and Epoch.
std::string EpochName(InputKind kind);

// A time point that ToCalendarTime shows as the second that holds `t`, its
// floor also before 1970. `t` itself from 1970 on, where cutting toward zero
// floors, and in the range's first second, which begins below the range:
// ToCalendarTime shows a time point inside a second before 1970 as the second
// below it, unless the second above starts an hour (that one does not).
// Elsewhere the whole second.
TimePoint SecondShown(TimePoint t);

// Appends the text of `t` in `format` to `out`: in the whole-second formats
// the second that holds `t`, as `date` and every database write it; ISO
// layouts in `zone`. Returns false, having appended nothing, where no ISO 8601
// text of local time names `t`: the local offset has seconds, which no such
// text can carry, or the zone counts leap seconds; never for UTC. A `named`
// zone (--zone) takes the place of `zone` for the ISO layouts; IsoZone needs
// one, and writes nothing for a zone that no RFC 9557 suffix names.
bool AppendInstant(std::string& out, TimePoint t, OutputFormat format, TimeZone zone,
                   const std::optional<Zone>& named = {});

// Appends the text of `t` in `layout`, in the `named` zone or else in `zone`.
// Returns false, having appended nothing, where the zone counts leap seconds
// at `t`, whose local time would name another instant; never for UTC.
bool AppendLayout(std::string& out, TimePoint t, const Layout& layout, TimeZone zone,
                  const std::optional<Zone>& named = {});

// Why AppendInstant, or with `layout` AppendLayout, wrote nothing for `t`, the
// instant of `text`: the local offset, which has seconds, or a zone that
// counts leap seconds (the `named` one where given); and that --utc writes
// the instant.
std::string UnwritableMessage(TimePoint t, std::string_view text, const std::optional<Zone>& named = {},
                              const Layout* layout = nullptr);

// +hh:mm east of UTC, -hh:mm west, with :ss where the offset has seconds.
std::string OffsetText(std::chrono::seconds offset);

}  // namespace orvik::chrono::cli

#endif  // ORVIK_CHRONO_TOOLS_INSTANT_TEXT_H_
