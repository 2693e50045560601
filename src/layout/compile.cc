// TryCompileLayout, CompileLayout and LayoutReadingProblem: a format string
// into the steps that read and write it, once.
#include <orvik/chrono/chrono.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "layout/program.h"
#include "messages.h"

namespace orvik::chrono {
namespace internal::layout {
namespace {

// What a directive's letter stands for, and the fields it gives.
struct Directive {
  char Letter;
  Op Kind;
  std::uint8_t Width;  // digits written padded, or a name's longest
  Pad Padding;
  bool Whole;
  std::uint8_t Group;  // directives of one group give one field: twice is refused
  std::uint32_t Fields;
};

// Groups of directives that give the same field, and their names.
constexpr std::string_view kGroupNames[] = {
    "",         "year",   "century", "month",    "day",     "day of the year", "hour",
    "AM or PM", "minute", "second",  "fraction", "weekday", "offset",          "seconds since the epoch"};

constexpr Directive kDirectives[] = {
    {'Y', Op::Year, 4, Pad::Zero, false, 1, kYear},
    {'C', Op::Century, 2, Pad::Zero, false, 2, kCentury},
    {'y', Op::YearOfCentury, 2, Pad::Zero, false, 1, kYearOfCentury},
    {'m', Op::Month, 2, Pad::Zero, false, 3, kMonth},
    {'d', Op::Day, 2, Pad::Zero, false, 4, kDay},
    {'e', Op::Day, 2, Pad::Space, false, 4, kDay},
    {'j', Op::DayOfYear, 3, Pad::Zero, false, 5, kDayOfYear},
    {'H', Op::Hour, 2, Pad::Zero, false, 6, kHour},
    {'I', Op::Hour12, 2, Pad::Zero, false, 6, kHour12},
    {'M', Op::Minute, 2, Pad::Zero, false, 8, kMinute},
    {'S', Op::Second, 2, Pad::Zero, false, 9, kSecond},
    {'s', Op::Epoch, 0, Pad::None, false, 13, kEpoch},
    {'N', Op::Fraction, 9, Pad::Zero, false, 10, kFraction},
    {'f', Op::Fraction, 6, Pad::Zero, false, 10, kFraction},
    {'p', Op::AmPm, 2, Pad::Zero, false, 7, kAmPm},
    {'a', Op::WeekdayName, 3, Pad::Zero, false, 11, kWeekday},
    {'A', Op::WeekdayName, 9, Pad::Zero, true, 11, kWeekday},
    {'b', Op::MonthName, 3, Pad::Zero, false, 3, kMonth},
    {'h', Op::MonthName, 3, Pad::Zero, false, 3, kMonth},
    {'B', Op::MonthName, 9, Pad::Zero, true, 3, kMonth},
    {'z', Op::Offset, 7, Pad::Zero, false, 12, kOffset},
    {'Z', Op::ZoneName, kMaxLayoutAbbreviationSize, Pad::Zero, false, 12, kZoneName},
};

// The directives that stand for others, and what they are.
struct Shorthand {
  char Letter;
  std::string_view Format;
};
constexpr Shorthand kShorthands[] = {{'F', "%Y-%m-%d"}, {'T', "%H:%M:%S"}, {'D', "%m/%d/%y"}, {'R', "%H:%M"}};

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsNumber(Op kind) { return kind >= Op::Year && kind <= Op::Epoch; }

// The longest text that a step writes.
std::size_t LongestText(const Step& step) {
  switch (step.Kind) {
    case Op::Literal:
    case Op::Space:
      return step.LiteralSize;
    case Op::Epoch:
      return sizeof("-9223372037") - 1;
    case Op::Offset:
      return step.Whole ? sizeof("+hh:mm:ss") - 1 : sizeof("+hhmmss") - 1;
    default:
      return step.Width;
  }
}

// The width of every text that `step` writes and that it reads where the
// text has the shape, or 0 where it has more than one.
std::size_t FixedWidth(const Step& step) {
  switch (step.Kind) {
    case Op::Literal:
    case Op::Space:
      return step.LiteralSize;
    case Op::Year:
      return 4;  // the years of the time point range
    case Op::Century:
    case Op::YearOfCentury:
    case Op::Month:
    case Op::Day:
    case Op::Hour:
    case Op::Hour12:
    case Op::Minute:
    case Op::Second:
      return step.Padding == Pad::None ? 0 : 2;
    case Op::DayOfYear:
      return step.Padding == Pad::Zero ? 3 : 0;
    case Op::Fraction:
      return step.Width;
    case Op::AmPm:
      return 2;
    case Op::WeekdayName:
    case Op::MonthName:
      return step.Whole ? 0 : 3;
    case Op::Offset:
      return step.Whole ? sizeof("+hh:mm") - 1 : sizeof("+hhmm") - 1;
    case Op::Epoch:
    case Op::ZoneName:
      break;
  }
  return 0;
}

bool IsDigitByte(char c) { return c >= '0' && c <= '9'; }
bool IsLetterByte(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Whether the steps read no more of a text of the shape than the shape
// gives `step`, where `next` follows it: a byte of the format's own, or
// '\0' for the end or a directive, whose first byte `next_kind` tells.
bool KeepsToItsWidth(const Step& step, char next, const Step* next_step) {
  const bool digit_next =
      IsDigitByte(next) || (next_step != nullptr && next_step->Kind >= Op::Year && next_step->Kind <= Op::Fraction);
  switch (step.Kind) {
    case Op::WeekdayName:
    case Op::MonthName:  // a whole name's letters would be read on
      return !IsLetterByte(next) &&
             (next_step == nullptr ||
              (next_step->Kind != Op::WeekdayName && next_step->Kind != Op::MonthName && next_step->Kind != Op::AmPm));
    case Op::Fraction:  // up to nine digits are read
      return step.Whole || !digit_next;
    case Op::Offset:  // seconds may follow
      return next != ':' && !digit_next;
    default:  // a space before one digit is read with the digit after it
      return step.Padding != Pad::Space || !digit_next;
  }
}

// The slot of `step`, and how the fields that most layouts write fill it.
Slot SlotOf(const Step& step, std::uint8_t index, std::uint8_t at) {
  Slot slot{index, at};
  slot.Kind = step.Kind;
  slot.Padding = step.Padding;
  slot.Width = step.Width;
  slot.Whole = step.Whole;
  const auto two = [&slot](int std::tm::*member, int add) {
    slot.How = Fill::Two;
    slot.Member = member;
    slot.Add = add;
  };
  if (step.Kind == Op::Year) {
    slot.How = Fill::Four;
    slot.Member = &std::tm::tm_year;
    slot.Add = 1900;
  } else if (step.Kind == Op::WeekdayName) {
    slot.How = Fill::Weekday;
  } else if (step.Kind == Op::MonthName) {
    slot.How = Fill::Month;
  } else if (step.Kind == Op::Offset) {
    slot.How = Fill::Offset;
  } else if (step.Padding != Pad::Zero) {
    return slot;
  } else if (step.Kind == Op::Month) {
    two(&std::tm::tm_mon, 1);
  } else if (step.Kind == Op::Day) {
    two(&std::tm::tm_mday, 0);
  } else if (step.Kind == Op::Hour) {
    two(&std::tm::tm_hour, 0);
  } else if (step.Kind == Op::Minute) {
    two(&std::tm::tm_min, 0);
  } else if (step.Kind == Op::Second) {
    two(&std::tm::tm_sec, 0);
  }
  return slot;
}

Shape ShapeOf(const Program& p) {
  Shape shape;
  for (std::size_t i = 0; i < p.Steps.size(); ++i) {
    const Step& step = p.Steps[i];
    const std::size_t width = FixedWidth(step);
    if (width == 0 || shape.Size + width + 1 > kMaxShapeSize) return {};
    const bool literal = step.Kind == Op::Literal || step.Kind == Op::Space;
    if (literal) {
      for (std::size_t j = 0; j < width; ++j) shape.Own.push_back(static_cast<std::uint8_t>(shape.Size + j));
      shape.Template.append(p.LiteralOf(step));
    } else {
      const Step* next_step = i + 1 < p.Steps.size() ? &p.Steps[i + 1] : nullptr;
      const bool next_literal =
          next_step != nullptr && (next_step->Kind == Op::Literal || next_step->Kind == Op::Space);
      const char next = step.Then != '\0' ? step.Then : next_literal ? p.LiteralOf(*next_step)[0] : '\0';
      if (!KeepsToItsWidth(step, next, step.Then != '\0' || next_literal ? nullptr : next_step)) return {};
      shape.Slots.push_back(SlotOf(step, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(shape.Size)));
      shape.Template.append(width, '\0');
    }
    shape.Size += width;
    if (!literal && step.Then != '\0') {
      shape.Own.push_back(static_cast<std::uint8_t>(shape.Size));
      shape.Template.push_back(step.Then);
      ++shape.Size;
    }
  }
  shape.Fixed = true;
  shape.Template.resize(kMaxShapeSize, '\0');  // copied whole where the room allows
  const std::size_t words = shape.Size / sizeof(std::uint64_t);
  std::string mask(kMaxShapeSize, '\0');
  for (const std::uint8_t at : shape.Own) mask[at] = '\xff';
  for (std::size_t i = 0; i < words; ++i) {
    std::uint64_t word = 0;
    std::uint64_t bits = 0;
    std::memcpy(&word, shape.Template.data() + i * sizeof word, sizeof word);
    std::memcpy(&bits, mask.data() + i * sizeof bits, sizeof bits);
    shape.Words.push_back(word & bits);
    shape.Masks.push_back(bits);
  }
  shape.OwnPastWords =
      static_cast<std::size_t>(std::find_if(shape.Own.begin(), shape.Own.end(),
                                            [words](std::uint8_t at) { return at >= words * sizeof(std::uint64_t); }) -
                               shape.Own.begin());
  return shape;
}

class Compiler {
 public:
  explicit Compiler(std::string_view format) { program_.Format = format; }

  // Compiles the format; false with `message` appended where it is refused.
  bool Run(std::string& message);

  Program& Result() { return program_; }

 private:
  void AddLiteral(char c, std::size_t at, bool space);
  void AddDirective(const Directive& directive, Pad padding, std::size_t width, std::size_t at, std::size_t size);
  bool AddShorthand(std::string_view format, std::size_t at, std::size_t size);
  void FuseLiterals();
  void FindProblem();

  Program program_;
  std::size_t groups_at_[std::size(kGroupNames)] = {};
  bool group_seen_[std::size(kGroupNames)] = {};
};

void Compiler::AddLiteral(char c, std::size_t at, bool space) {
  std::vector<Step>& steps = program_.Steps;
  const auto literal_at = static_cast<std::uint16_t>(program_.Literals.size());
  program_.Literals.push_back(c);
  // A run of literal bytes, or of white space, is one step: white space
  // reads as one run of any length.
  if (!steps.empty() && steps.back().Kind == (space ? Op::Space : Op::Literal) &&
      steps.back().LiteralAt + steps.back().LiteralSize == literal_at && steps.back().At + steps.back().Size == at) {
    ++steps.back().LiteralSize;
    ++steps.back().Size;
    return;
  }
  Step step;
  step.Kind = space ? Op::Space : Op::Literal;
  step.At = static_cast<std::uint16_t>(at);
  step.Size = 1;
  step.LiteralAt = literal_at;
  step.LiteralSize = 1;
  steps.push_back(step);
}

void Compiler::AddDirective(const Directive& directive, Pad padding, std::size_t width, std::size_t at,
                            std::size_t size) {
  Step step;
  step.Kind = directive.Kind;
  step.Padding = padding;
  step.Width = static_cast<std::uint8_t>(width == 0 ? directive.Width : width);
  step.Whole = directive.Whole || (directive.Kind == Op::Fraction && width != 0);
  step.At = static_cast<std::uint16_t>(at);
  step.Size = static_cast<std::uint16_t>(size);
  program_.Steps.push_back(step);
  program_.Fields |= directive.Fields;
  if (group_seen_[directive.Group] && program_.Problem == Unread::None) {
    program_.Problem = Unread::Twice;
    program_.ProblemAt = static_cast<std::uint16_t>(groups_at_[directive.Group]);
    program_.ProblemSecond = static_cast<std::uint16_t>(at);
    program_.ProblemField = kGroupNames[directive.Group];
  }
  group_seen_[directive.Group] = true;
  groups_at_[directive.Group] = at;
}

// The steps of a shorthand such as %F, each marked as standing at its `at`.
bool Compiler::AddShorthand(std::string_view format, std::size_t at, std::size_t size) {
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      AddLiteral(format[i], at, false);
      program_.Steps.back().At = static_cast<std::uint16_t>(at);
      program_.Steps.back().Size = static_cast<std::uint16_t>(size);
      continue;
    }
    const char letter = format[++i];
    const auto* directive = std::find_if(std::begin(kDirectives), std::end(kDirectives),
                                         [letter](const Directive& d) { return d.Letter == letter; });
    AddDirective(*directive, directive->Padding, 0, at, size);
  }
  return true;
}

std::string Position(std::size_t at) { return std::to_string(at); }

bool Compiler::Run(std::string& message) {
  const std::string_view format = program_.Format;
  if (format.size() > kMaxFormatSize) {
    AppendParts(message, {kFormatSizeHead, std::to_string(format.size()), kFormatSizeTail});
    return false;
  }
  for (std::size_t at = 0; at < format.size(); ++at) {
    if (format[at] != '%') {
      AddLiteral(format[at], at, IsSpace(format[at]));
      continue;
    }
    std::size_t end = at + 1;
    const char flag =
        end < format.size() && (format[end] == '-' || format[end] == '_' || format[end] == '0') ? format[end++] : '\0';
    std::size_t width = 0;
    if (end < format.size() && format[end] >= '1' && format[end] <= '9') {
      width = static_cast<std::size_t>(format[end++] - '0');
    }
    const bool colon = end < format.size() && format[end] == ':';
    if (colon) ++end;
    if (end >= format.size()) {
      AppendParts(message, {kPercentEndsFormat, kAt, Position(at)});
      return false;
    }
    const char letter = format[end];
    const std::size_t size = end + 1 - at;
    const auto* directive = std::find_if(std::begin(kDirectives), std::end(kDirectives),
                                         [letter](const Directive& d) { return d.Letter == letter; });
    const auto* shorthand = std::find_if(std::begin(kShorthands), std::end(kShorthands),
                                         [letter](const Shorthand& s) { return s.Letter == letter; });
    const bool known = directive != std::end(kDirectives) || shorthand != std::end(kShorthands) || letter == 'n' ||
                       letter == 't' || letter == '%';
    if (!known || (width != 0 && letter != 'N') || (colon && letter != 'z')) {
      AppendParts(message, {kUnknownDirective, format.substr(at, size), kAt, Position(at)});
      return false;
    }
    const bool numeric = directive != std::end(kDirectives) && IsNumber(directive->Kind);
    if (flag != '\0' && !numeric) {
      const char shown[] = {'%', letter};
      AppendParts(message, {kFlagHead, std::string_view(&flag, 1), kFlagDoesNotApply,
                            std::string_view(shown, sizeof shown), kAt, Position(at)});
      return false;
    }
    if (letter == 'n' || letter == 't') {
      AddLiteral(letter == 'n' ? '\n' : '\t', at, true);
    } else if (letter == '%') {
      AddLiteral('%', at, false);
    } else if (shorthand != std::end(kShorthands)) {
      AddShorthand(shorthand->Format, at, size);
    } else {
      const Pad padding = flag == '-'   ? Pad::None
                          : flag == '_' ? Pad::Space
                          : flag == '0' ? Pad::Zero
                                        : directive->Padding;
      AddDirective(*directive, padding, width, at, size);
      if (colon) program_.Steps.back().Whole = true;
    }
    // The literal steps of a directive stand at the directive, and a step
    // that it joined reaches past it.
    for (Step& step : program_.Steps) {
      if (step.At == at) step.Size = static_cast<std::uint16_t>(size);
    }
    Step& last = program_.Steps.back();
    last.Size = static_cast<std::uint16_t>(std::max<std::size_t>(last.Size, at + size - last.At));
    at = end;
  }
  FuseLiterals();
  program_.Fixed = ShapeOf(program_);
  for (const Step& step : program_.Steps) program_.MaxSize += LongestText(step) + (step.Then != '\0' ? 1 : 0);
  FindProblem();
  return true;
}

// A byte of the format after a directive, such as the '/' of "%d/%b" or
// the space of "%d %b", is read and written with the directive's step.
void Compiler::FuseLiterals() {
  std::vector<Step> fused;
  for (const Step& step : program_.Steps) {
    const bool after_directive = !fused.empty() && fused.back().Kind != Op::Literal && fused.back().Kind != Op::Space &&
                                 fused.back().Then == '\0';
    if ((step.Kind == Op::Literal || step.Kind == Op::Space) && step.LiteralSize == 1 && after_directive) {
      fused.back().Then = program_.Literals[step.LiteralAt];
      fused.back().ThenSpace = step.Kind == Op::Space;
    } else {
      fused.push_back(step);
    }
  }
  program_.Steps = std::move(fused);
}

void Compiler::FindProblem() {
  Program& p = program_;
  const auto set = [&p](Unread problem, std::uint32_t field) {
    p.Problem = problem;
    for (const Step& step : p.Steps) {
      const bool gives = (step.Kind == Op::Hour12 && field == kHour12) || (step.Kind == Op::AmPm && field == kAmPm) ||
                         (step.Kind == Op::Century && field == kCentury) ||
                         (step.Kind == Op::Minute && field == kMinute) ||
                         (step.Kind == Op::Second && field == kSecond) || (step.Kind == Op::Epoch && field == kEpoch);
      if (gives) {
        p.ProblemAt = step.At;
        return;
      }
    }
  };
  if (p.Problem != Unread::None) return;
  if (p.Has(kEpoch)) {
    if ((p.Fields & ~(kEpoch | kFraction | kOffset | kZoneName)) != 0) set(Unread::EpochWithFields, kEpoch);
    return;
  }
  if (!p.Has(kDayOfYear) && (!p.Has(kMonth) || !p.Has(kDay))) {
    p.Problem = Unread::NoDate;
  } else if (p.Has(kHour12) && !p.Has(kAmPm)) {
    set(Unread::Hour12WithoutAmPm, kHour12);
  } else if (p.Has(kAmPm) && !p.Has(kHour12)) {
    set(Unread::AmPmWithoutHour12, kAmPm);
  } else if (p.Has(kCentury) && !p.Has(kYearOfCentury)) {
    set(Unread::CenturyWithoutYear, kCentury);
  } else if (p.Has(kMinute) && !p.Has(kHour | kHour12)) {
    set(Unread::MinuteWithoutHour, kMinute);
  } else if (p.Has(kSecond) && !p.Has(kMinute)) {
    set(Unread::SecondWithoutMinute, kSecond);
  }
}

}  // namespace

const Program& EmptyProgram() {
  static const Program empty = [] {
    Program program;
    program.Problem = Unread::NoDate;
    return program;
  }();
  return empty;
}

}  // namespace internal::layout

std::string_view Layout::Format() const noexcept {
  return program_ == nullptr ? std::string_view() : std::string_view(program_->Format);
}

std::size_t Layout::MaxSize() const noexcept { return program_ == nullptr ? 0 : program_->MaxSize; }

bool TryCompileLayout(std::string_view format, Layout& out, std::string& message) {
  auto compiler = std::make_unique<internal::layout::Compiler>(format);
  if (!compiler->Run(message)) return false;
  out = Layout(std::make_shared<const internal::layout::Program>(std::move(compiler->Result())));
  return true;
}

Layout CompileLayout(std::string_view format) {
  Layout layout;
  std::string message;
  if (!TryCompileLayout(format, layout, message)) {
    internal::ThrowMessage<std::invalid_argument>({internal::kFormatHead, message, ": ", format});
  }
  return layout;
}

bool LayoutReadsWallClock(const Layout& layout) noexcept {
  const internal::layout::Program* p = layout.Program();
  return p == nullptr || !p->Has(internal::layout::kOffset | internal::layout::kZoneName | internal::layout::kEpoch);
}

std::string LayoutReadingProblem(const Layout& layout) {
  using namespace internal;
  using layout::Unread;
  const layout::Program& p = layout.Program() == nullptr ? layout::EmptyProgram() : *layout.Program();
  const std::string at = std::to_string(p.ProblemAt);
  const auto directive = [&p]() -> std::string_view {
    for (const layout::Step& step : p.Steps) {
      if (step.At == p.ProblemAt) return p.Directive(step);
    }
    return {};
  };
  switch (p.Problem) {
    case Unread::None:
      return {};
    case Unread::NoDate:
      return std::string(kFormatHasNoDate);
    case Unread::Twice:
      return JoinMessage(
          {kFormatGivesThe, p.ProblemField, kTwiceAt, at, kAndAtPosition, std::to_string(p.ProblemSecond)});
    case Unread::Hour12WithoutAmPm:
      return JoinMessage({directive(), kAt, at, kHasNo, "%p"});
    case Unread::AmPmWithoutHour12:
      return JoinMessage({directive(), kAt, at, kHasNo, "%I"});
    case Unread::CenturyWithoutYear:
      return JoinMessage({directive(), kAt, at, kHasNo, "%y"});
    case Unread::MinuteWithoutHour:
      return JoinMessage({directive(), kAt, at, kHasNo, "hour"});
    case Unread::SecondWithoutMinute:
      return JoinMessage({directive(), kAt, at, kHasNo, "minutes"});
    case Unread::EpochWithFields:
      return JoinMessage({directive(), kAt, at, kGoesWithNoField});
  }
  return {};
}

}  // namespace orvik::chrono
