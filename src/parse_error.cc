// ErrorMessage and ThrowParseError: the message and the exception of each
// refusal of the readers, once.
#include <orvik/chrono/chrono.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "http/read_http_date.h"
#include "messages.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace internal {
namespace {

// A message of fixed words: a head and a detail, followed by the text or not.
struct FixedMessage {
  std::string_view Head;
  std::string_view Detail;
  bool EndsWithText = true;
};

constexpr std::size_t kErrorCount = static_cast<std::size_t>(ParseError::DurationStrictLayout) + 1;

// The messages of the lenient readers that need no second reading of the text.
constexpr std::array<FixedMessage, kErrorCount> kFixedMessages = [] {
  std::array<FixedMessage, kErrorCount> messages{};
  const auto set = [&messages](ParseError error, FixedMessage message) {
    messages.at(static_cast<std::size_t>(error)) = message;
  };
  set(ParseError::Iso8601Unreadable, {kIso8601Unreadable, kIso8601Nothing});
  set(ParseError::Iso8601Year, {kIso8601Unreadable, kIso8601Year});
  set(ParseError::Iso8601Month, {kIso8601Unreadable, kIso8601Month});
  set(ParseError::Iso8601Day, {kIso8601Unreadable, kIso8601Day});
  set(ParseError::Iso8601Hour, {kIso8601Unreadable, kIso8601Hour});
  set(ParseError::Iso8601Minutes, {kIso8601Unreadable, kIso8601Minutes});
  set(ParseError::Iso8601Seconds, {kIso8601Unreadable, kIso8601Seconds});
  set(ParseError::Iso8601Offset, {kIso8601Unreadable, kIso8601Offset});
  set(ParseError::Iso8601Designator, {kIso8601Unreadable, kIso8601Designator});
  set(ParseError::Iso8601YearBefore1900, {kIso8601YearBefore1900, {}});
  set(ParseError::Iso8601OutsideRange, {kIso8601OutsideRange, {}});
  set(ParseError::HttpUnreadable, {kHttpUnreadable, {}});
  set(ParseError::HttpOutsideRange, {kHttpOutsideRange, {}});
  set(ParseError::DurationInvalid, {kDurationInvalid, {}, false});
  set(ParseError::DurationNotSupported, {kDurationNotSupported, {}, false});
  set(ParseError::DurationNumberTooLarge, {kDurationRunOutOfRange, {}, false});
  set(ParseError::DurationOutOfRange, {kDurationOutOfRange, {}, false});
  return messages;
}();

// The name is what the reading put in its buffer, so it is read again.
std::string HttpNameMessage(ParseError error, std::string_view text) {
  const HttpDate date = ReadHttpDate(text);
  return error == ParseError::HttpMonth ? JoinMessage({kHttpMonthHead, date.Month, kHttpNameTail, text})
                                        : JoinMessage({kHttpWeekdayHead, date.Weekday, kHttpNameTail, text});
}

bool IsBetween(ParseError error, ParseError first, ParseError last) { return error >= first && error <= last; }

bool IsOutOfRange(ParseError error) {
  return error == ParseError::Iso8601OutsideRange || error == ParseError::Iso8601TooShort ||
         error == ParseError::HttpOutsideRange || error == ParseError::DurationNumberTooLarge ||
         error == ParseError::DurationOutOfRange || error == ParseError::Iso8601StrictOutsideRange ||
         error == ParseError::HttpStrictOutsideRange || error == ParseError::MailDateOutsideRange;
}

}  // namespace
}  // namespace internal

std::string ErrorMessage(ParseError error, std::string_view text) {
  using namespace internal;
  if (error == ParseError::None) return {};
  if (error == ParseError::Iso8601TooShort) {
    return JoinMessage({kIso8601AtHead, std::to_string(text.size()), kIso8601AtTail});
  }
  if (error == ParseError::HttpMonth || error == ParseError::HttpWeekday) return HttpNameMessage(error, text);
  // A strict reader's message comes from reading the text again (an RFC 850
  // year against the system clock).
  std::string strict;
  if (IsBetween(error, ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictOutsideRange)) {
    TryFromIso8601Strict(text, strict);
  } else if (IsBetween(error, ParseError::HttpStrictLayout, ParseError::HttpStrictOutsideRange)) {
    TryFromHttpDateStrict(text, std::chrono::system_clock::now(), strict);
  } else if (IsBetween(error, ParseError::MailDateLayout, ParseError::MailDateOutsideRange)) {
    TryFromMailDate(text, strict);
  } else if (error == ParseError::DurationStrictLayout) {
    duration::TryFromIso8601Strict(text, strict);
  } else if (const auto index = static_cast<std::size_t>(error); index < kErrorCount) {
    const FixedMessage& message = kFixedMessages.at(index);
    return JoinMessage({message.Head, message.Detail, message.EndsWithText ? text : std::string_view()});
  }
  return strict;
}

void ThrowParseError(ParseError error, std::string_view text) {
  if (internal::IsOutOfRange(error)) throw std::out_of_range(ErrorMessage(error, text));
  throw std::invalid_argument(ErrorMessage(error, text));
}

}  // namespace orvik::chrono
