// Internal: a format string compiled into steps, each one directive or run
// of literal bytes, that the reader and the writer walk; and what the steps
// read, found once when compiling.
#ifndef ORVIK_CHRONO_SRC_LAYOUT_PROGRAM_H_
#define ORVIK_CHRONO_SRC_LAYOUT_PROGRAM_H_

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace orvik::chrono::internal::layout {

enum class Op : std::uint8_t {
  Literal,  // bytes of Program::Literals, matched exactly
  Space,    // writes its byte; reads one or more white space characters
  Year,
  Century,
  YearOfCentury,
  Month,
  Day,
  DayOfYear,
  Hour,
  Hour12,
  Minute,
  Second,
  Epoch,  // seconds since the epoch
  Fraction,
  AmPm,
  WeekdayName,  // written abbreviated, or whole where Whole
  MonthName,
  Offset,  // +hhmm, or +hh:mm where Colon
  ZoneName,
};

// How a number is padded to its width when written.
enum class Pad : std::uint8_t { Zero, Space, None };

struct Step {
  Op Kind = Op::Literal;
  Pad Padding = Pad::Zero;
  std::uint8_t Width = 0;       // a number's digits when padded; a fraction's digits written
  bool Whole = false;           // a name written whole; a colon in an offset; a fraction of fixed width when read
  char Then = '\0';             // of a directive, a byte of the format that follows it; '\0' for none
  bool ThenSpace = false;       // Then is white space: read as a Space step
  std::uint16_t At = 0;         // where its directive (or first literal byte) stands in the format
  std::uint16_t Size = 0;       // its directive's length in the format
  std::uint16_t LiteralAt = 0;  // of a Literal or Space, in Program::Literals
  std::uint16_t LiteralSize = 0;
};

// The fields that a format gives, one bit each.
enum Field : std::uint32_t {
  kYear = 1U << 0U,
  kCentury = 1U << 1U,
  kYearOfCentury = 1U << 2U,
  kMonth = 1U << 3U,
  kDay = 1U << 4U,
  kDayOfYear = 1U << 5U,
  kHour = 1U << 6U,
  kHour12 = 1U << 7U,
  kAmPm = 1U << 8U,
  kMinute = 1U << 9U,
  kSecond = 1U << 10U,
  kFraction = 1U << 11U,
  kWeekday = 1U << 12U,
  kOffset = 1U << 13U,  // %z or %:z
  kZoneName = 1U << 14U,
  kEpoch = 1U << 15U,
};

// What keeps a format from reading instants.
enum class Unread : std::uint8_t {
  None,
  NoDate,
  Twice,  // a field given twice, at At and at Second
  Hour12WithoutAmPm,
  AmPmWithoutHour12,
  CenturyWithoutYear,
  MinuteWithoutHour,
  SecondWithoutMinute,
  EpochWithFields,
};

inline constexpr std::size_t kMaxFormatSize = 1024;

// Where every text of a format has each byte at one place, as "%d/%b/%Y"
// has (but not "%-d" or "%B"): a template of the text with the format's own
// bytes in place, the places of those bytes, and each directive's step and
// place. A text of the template's size is read, and any is written, with
// no step walked; the reading of record stays the steps', which read what
// this reads and more.
inline constexpr std::size_t kMaxShapeSize = 64;
// How a slot is written: a calendar field of std::tm plus Add in two or
// four digits, an abbreviation, an offset of whole minutes, or by its step.
enum class Fill : std::uint8_t { Step, Two, Four, Weekday, Month, Offset };
struct Slot {
  std::uint8_t Step;  // in Program::Steps
  std::uint8_t At;    // in the text
  Fill How = Fill::Step;
  int std::tm::*Member = nullptr;
  int Add = 0;
  // The step's own, kept here for the reading at fixed places.
  Op Kind = Op::Literal;
  Pad Padding = Pad::Zero;
  std::uint8_t Width = 0;
  bool Whole = false;
};
struct Shape {
  bool Fixed = false;
  std::size_t Size = 0;
  std::string Template;
  std::vector<std::uint8_t> Own;  // the places of the format's own bytes
  std::vector<Slot> Slots;
  // The template's whole words of eight bytes from its start, each with 0xff
  // in the bytes of the format's own, compared at once; Own's places past
  // them compared one by one from OwnPastWords on.
  std::vector<std::uint64_t> Words;
  std::vector<std::uint64_t> Masks;
  std::size_t OwnPastWords = 0;
};

struct Program {
  std::string Format;
  std::string Literals;
  std::vector<Step> Steps;
  std::size_t MaxSize = 0;
  std::uint32_t Fields = 0;
  Unread Problem = Unread::None;
  std::uint16_t ProblemAt = 0;
  std::uint16_t ProblemSecond = 0;
  std::string_view ProblemField;  // the field given twice, as a message names it
  Shape Fixed;

  [[nodiscard]] bool Has(std::uint32_t fields) const { return (Fields & fields) != 0; }
  [[nodiscard]] std::string_view Directive(const Step& step) const { return {Format.data() + step.At, step.Size}; }
  [[nodiscard]] std::string_view LiteralOf(const Step& step) const {
    return {Literals.data() + step.LiteralAt, step.LiteralSize};
  }
};

// The program of an empty format, for a default-constructed Layout.
const Program& EmptyProgram();

}  // namespace orvik::chrono::internal::layout

#endif  // ORVIK_CHRONO_SRC_LAYOUT_PROGRAM_H_
