// ErrorMessage and ThrowParseError: the message and the exception of each
// refusal of the readers, once.
#include <orvik/chrono/chrono.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "http/name_message.h"
#include "messages.h"

namespace orvik::chrono {
namespace internal {
namespace {

// A message of fixed words: a head and a detail, followed by the text or not.
struct FixedMessage {
  std::string_view Head;
  std::string_view Detail;
  bool EndsWithText = true;
};

constexpr std::size_t kErrorCount = static_cast<std::size_t>(ParseError::LayoutIncomplete) + 1;
using MessageTable = std::array<FixedMessage, kErrorCount>;

// The message of each error listed; none for the others.
consteval MessageTable MessagesOf(std::initializer_list<std::pair<ParseError, FixedMessage>> messages) {
  MessageTable table{};
  for (const auto& [error, message] : messages) table.at(static_cast<std::size_t>(error)) = message;
  return table;
}

// The messages of the lenient readers that need no second reading of the text.
constexpr MessageTable kFixedMessages = MessagesOf({
    {ParseError::Iso8601Unreadable, {kIso8601Head, kIso8601Nothing}},
    {ParseError::Iso8601Year, {kIso8601Head, kIso8601Year}},
    {ParseError::Iso8601Month, {kIso8601Head, kIso8601Month}},
    {ParseError::Iso8601Day, {kIso8601Head, kIso8601Day}},
    {ParseError::Iso8601Hour, {kIso8601Head, kIso8601Hour}},
    {ParseError::Iso8601Minutes, {kIso8601Head, kIso8601Minutes}},
    {ParseError::Iso8601Seconds, {kIso8601Head, kIso8601Seconds}},
    {ParseError::Iso8601Offset, {kIso8601Head, kIso8601Offset}},
    {ParseError::Iso8601Designator, {kIso8601Head, kIso8601Designator}},
    {ParseError::Iso8601YearBefore1900, {kIso8601YearBefore1900, {}}},
    {ParseError::Iso8601OutsideRange, {kIso8601OutsideRange, {}}},
    {ParseError::HttpUnreadable, {kHttpUnreadable, {}}},
    {ParseError::HttpOutsideRange, {kHttpOutsideRange, {}}},
    {ParseError::DurationInvalid, {kDurationInvalid, {}, false}},
    {ParseError::DurationNotSupported, {kDurationNotSupported, {}, false}},
    {ParseError::DurationNumberTooLarge, {kDurationRunOutOfRange, {}, false}},
    {ParseError::DurationOutOfRange, {kDurationOutOfRange, {}, false}},
});

bool IsBetween(ParseError error, ParseError first, ParseError last) { return error >= first && error <= last; }

// A strict refusal told by its error alone, for a text that its reader does
// not refuse so: the head of the reader's messages and what the error means.
constexpr MessageTable kStrictFallbacks = MessagesOf({
    {ParseError::Iso8601StrictLayout, {kIso8601StrictHead, kDepartsFromLayout}},
    {ParseError::Iso8601StrictNonexistent, {kIso8601StrictHead, kNonexistent}},
    {ParseError::Iso8601StrictOffset, {kIso8601StrictHead, kOffsetOutOfRange}},
    {ParseError::Iso8601StrictOutsideRange, {kIso8601StrictHead, kStrictOutsideRange}},
    {ParseError::HttpStrictLayout, {kHttpStrictHead, kDepartsFromLayout}},
    {ParseError::HttpStrictNonexistent, {kHttpStrictHead, kNonexistent}},
    {ParseError::HttpStrictWeekday, {kHttpStrictHead, kWrongWeekday}},
    {ParseError::HttpStrictOutsideRange, {kHttpStrictHead, kStrictOutsideRange}},
    {ParseError::MailDateLayout, {kMailDateHead, kDepartsFromLayout}},
    {ParseError::MailDateNonexistent, {kMailDateHead, kNonexistent}},
    {ParseError::MailDateWeekday, {kMailDateHead, kWrongWeekday}},
    {ParseError::MailDateZone, {kMailDateHead, kZoneWithoutOffset}},
    {ParseError::MailDateOutsideRange, {kMailDateHead, kStrictOutsideRange}},
    {ParseError::DurationStrictLayout, {kDurationStrictHead, kDepartsFromLayout}},
    {ParseError::CivilNonexistent, {kCivilTimeHead, kNonexistent}},
    {ParseError::CivilSkipped, {kCivilTimeHead, kSkippedByChange}},
    {ParseError::CivilRepeated, {kCivilTimeHead, kOccursTwice}},
    {ParseError::CivilOutsideRange, {kCivilTimeHead, kStrictOutsideRange}},
    {ParseError::LayoutMismatch, {kLayoutFallbackHead, kDepartsFromLayout}},
    {ParseError::LayoutNonexistent, {kLayoutFallbackHead, kNonexistent}},
    {ParseError::LayoutWeekday, {kLayoutFallbackHead, kWrongWeekdayOrDayOfYear}},
    {ParseError::LayoutZone, {kLayoutFallbackHead, kZoneWithoutOffset}},
    {ParseError::LayoutOutsideRange, {kLayoutFallbackHead, kStrictOutsideRange}},
    {ParseError::LayoutIncomplete, {kLayoutFallbackHead, kNamesNoInstant}},
});

// The strict reader's own message where it refuses `text` for `error`, from
// reading the text again; otherwise the error's fallback. "" for a value that
// no reader gives.
std::string StrictMessage(ParseError error, std::string_view text, TimePoint now) {
  std::string message;
  ParseError again = ParseError::None;
  if (IsBetween(error, ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictOutsideRange)) {
    again = TryFromIso8601Strict(text, message).error;
  } else if (IsBetween(error, ParseError::HttpStrictLayout, ParseError::HttpStrictOutsideRange)) {
    again = TryFromHttpDateStrict(text, now, message).error;
  } else if (IsBetween(error, ParseError::MailDateLayout, ParseError::MailDateOutsideRange)) {
    again = TryFromMailDate(text, message).error;
  } else if (error == ParseError::DurationStrictLayout) {
    again = duration::TryFromIso8601Strict(text, message).error;
  } else if (!IsBetween(error, ParseError::CivilNonexistent, ParseError::CivilOutsideRange) &&
             !IsBetween(error, ParseError::LayoutMismatch, ParseError::LayoutIncomplete)) {
    return {};
  }
  if (again == error) return message;
  const FixedMessage& fallback = kStrictFallbacks.at(static_cast<std::size_t>(error));
  return JoinMessage({fallback.Head, fallback.Detail, ": ", text});
}

bool IsOutOfRange(ParseError error) {
  return error == ParseError::Iso8601OutsideRange || error == ParseError::Iso8601TooShort ||
         error == ParseError::HttpOutsideRange || error == ParseError::DurationNumberTooLarge ||
         error == ParseError::DurationOutOfRange || error == ParseError::Iso8601StrictOutsideRange ||
         error == ParseError::HttpStrictOutsideRange || error == ParseError::MailDateOutsideRange ||
         error == ParseError::CivilOutsideRange || error == ParseError::LayoutOutsideRange;
}

}  // namespace
}  // namespace internal

std::string ErrorMessage(ParseError error, std::string_view text, TimePoint now) {
  using namespace internal;
  if (error == ParseError::None) return {};
  if (error == ParseError::Iso8601TooShort) {
    return JoinMessage({kIso8601AtHead, std::to_string(text.size()), kIso8601AtTail});
  }
  if (error == ParseError::HttpMonth || error == ParseError::HttpWeekday) return HttpNameMessage(error, text);
  if (const auto index = static_cast<std::size_t>(error);
      index < kErrorCount && !kFixedMessages.at(index).Head.empty()) {
    const FixedMessage& message = kFixedMessages.at(index);
    return JoinMessage({message.Head, message.Detail, message.EndsWithText ? text : std::string_view()});
  }
  return StrictMessage(error, text, now);
}

std::string ErrorMessage(ParseError error, std::string_view text) {
  return ErrorMessage(error, text, std::chrono::system_clock::now());
}

void ThrowParseError(ParseError error, std::string_view text) {
  if (internal::IsOutOfRange(error)) throw std::out_of_range(ErrorMessage(error, text));
  throw std::invalid_argument(ErrorMessage(error, text));
}

}  // namespace orvik::chrono
