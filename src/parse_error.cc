// ErrorMessage and ThrowParseError: the message and the exception of each
// refusal of the readers, once.
#include <orvik/chrono/chrono.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "http/read_http_date.h"
#include "messages.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace internal {
namespace {

std::string IsoMessage(std::string_view detail, std::string_view text) {
  return JoinMessage({kIso8601Unreadable, detail, text});
}

// The name is what the reading put in its buffer, so it is read again.
std::string HttpNameMessage(ParseError error, std::string_view text) {
  const HttpDate date = ReadHttpDate(text);
  return error == ParseError::HttpMonth ? JoinMessage({kHttpMonthHead, date.Month, kHttpNameTail, text})
                                        : JoinMessage({kHttpWeekdayHead, date.Weekday, kHttpNameTail, text});
}

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
  switch (error) {
    case ParseError::None:
      return {};
    case ParseError::Iso8601Unreadable:
      return IsoMessage(kIso8601Nothing, text);
    case ParseError::Iso8601Year:
      return IsoMessage(kIso8601Year, text);
    case ParseError::Iso8601Month:
      return IsoMessage(kIso8601Month, text);
    case ParseError::Iso8601Day:
      return IsoMessage(kIso8601Day, text);
    case ParseError::Iso8601Hour:
      return IsoMessage(kIso8601Hour, text);
    case ParseError::Iso8601Minutes:
      return IsoMessage(kIso8601Minutes, text);
    case ParseError::Iso8601Seconds:
      return IsoMessage(kIso8601Seconds, text);
    case ParseError::Iso8601Offset:
      return IsoMessage(kIso8601Offset, text);
    case ParseError::Iso8601Designator:
      return IsoMessage(kIso8601Designator, text);
    case ParseError::Iso8601YearBefore1900:
      return JoinMessage({kIso8601YearBefore1900, text});
    case ParseError::Iso8601OutsideRange:
      return JoinMessage({kIso8601OutsideRange, text});
    case ParseError::Iso8601TooShort:
      return JoinMessage({kIso8601AtHead, std::to_string(text.size()), kIso8601AtTail});
    case ParseError::HttpUnreadable:
      return JoinMessage({kHttpUnreadable, text});
    case ParseError::HttpMonth:
    case ParseError::HttpWeekday:
      return HttpNameMessage(error, text);
    case ParseError::HttpOutsideRange:
      return JoinMessage({kHttpOutsideRange, text});
    case ParseError::DurationInvalid:
      return std::string(kDurationInvalid);
    case ParseError::DurationNotSupported:
      return std::string(kDurationNotSupported);
    case ParseError::DurationNumberTooLarge:
      return std::string(kDurationRunOutOfRange);
    case ParseError::DurationOutOfRange:
      return std::string(kDurationOutOfRange);
    case ParseError::Iso8601StrictLayout:
    case ParseError::Iso8601StrictNonexistent:
    case ParseError::Iso8601StrictOffset:
    case ParseError::Iso8601StrictOutsideRange:
      return Iso8601StrictMessage(text);
    case ParseError::HttpStrictLayout:
    case ParseError::HttpStrictNonexistent:
    case ParseError::HttpStrictWeekday:
    case ParseError::HttpStrictOutsideRange:
      return HttpStrictMessage(text);
    case ParseError::MailDateLayout:
    case ParseError::MailDateNonexistent:
    case ParseError::MailDateWeekday:
    case ParseError::MailDateZone:
    case ParseError::MailDateOutsideRange:
      return MailDateMessage(text);
    case ParseError::DurationStrictLayout:
      return DurationStrictMessage(text);
  }
  return {};
}

void ThrowParseError(ParseError error, std::string_view text) {
  if (internal::IsOutOfRange(error)) throw std::out_of_range(ErrorMessage(error, text));
  throw std::invalid_argument(ErrorMessage(error, text));
}

}  // namespace orvik::chrono
