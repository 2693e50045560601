// The strict readers' shortcuts for the layouts that writers use most must
// read every text as the readings of record do: the same instant and offset,
// the same refusal and the same message. Most inputs are made into texts near
// those layouts (fields from the input, in and out of their bounds, then a
// few bytes changed); the others are read as they are. Each text is read as a
// view that ends where its heap block ends, so that a read past it is caught,
// and as a view inside a longer buffer.
#include <orvik/chrono/chrono.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "http/record.h"
#include "iso8601/record.h"
#include "messages.h"
#include "text/strict_reading.h"

namespace orvik::chrono::fuzz {
namespace {

// The input's bytes, one at a time, 0 once it ends.
struct Bytes {
  const std::uint8_t* At;
  std::size_t Left;
  unsigned Next() {
    if (Left == 0) return 0;
    --Left;
    return *At++;
  }
  unsigned Below(unsigned bound) { return Next() % bound; }
};

void Two(std::string& text, unsigned value) {
  text += static_cast<char>('0' + value / 10 % 10);
  text += static_cast<char>('0' + value % 10);
}

// A date and time of day of fields mostly in their bounds, a few out.
void DateTime(Bytes& in, std::string& text, const char* separators) {
  const unsigned year = in.Below(2) == 0 ? 1678 + in.Next() * 3 : (in.Next() << 8U | in.Next()) % 10000;
  for (const unsigned scale : {1000U, 100U, 10U, 1U}) text += static_cast<char>('0' + year / scale % 10);
  text += separators[0];
  Two(text, in.Below(14));
  text += separators[0];
  Two(text, in.Below(33));
  text += separators[1];
  Two(text, in.Below(25));
  text += ':';
  Two(text, in.Below(61));
  text += ':';
  Two(text, in.Below(62));
}

std::string IsoText(Bytes& in) {
  std::string text;
  DateTime(in, text, in.Below(4) == 0 ? "-t" : in.Below(3) == 0 ? "- " : "-T");
  static constexpr unsigned kDigits[] = {0, 3, 6, 9, 0, 3, 6, 9, 1, 2, 4, 8, 10};
  const unsigned digits = kDigits[in.Below(std::size(kDigits))];
  if (digits != 0) text += in.Below(8) == 0 ? ',' : '.';
  for (unsigned i = 0; i < digits; ++i) text += static_cast<char>('0' + in.Below(10));
  const unsigned zone = in.Below(6);
  if (zone < 2) {
    text += zone == 0 ? 'Z' : 'z';
  } else {
    text += zone == 2 ? '-' : '+';
    Two(text, in.Below(26));
    if (zone != 5) text += ':';
    Two(text, in.Below(62));
  }
  return text;
}

std::string HttpText(Bytes& in) {
  static constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sux", "sun"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul",
                                            "Aug", "Sep", "Oct", "Nov", "Dec", "Mrz", "jan"};
  std::string text = kWeekdays[in.Below(std::size(kWeekdays))];
  text += ", ";
  Two(text, in.Below(33));
  text += ' ';
  text += kMonths[in.Below(std::size(kMonths))];
  text += ' ';
  const unsigned year = 1678 + in.Next() * 3 % 600;
  for (const unsigned scale : {1000U, 100U, 10U, 1U}) text += static_cast<char>('0' + year / scale % 10);
  text += ' ';
  Two(text, in.Below(25));
  text += ':';
  Two(text, in.Below(61));
  text += ':';
  Two(text, in.Below(62));
  text += in.Below(8) == 0 ? " UTC" : " GMT";
  return text;
}

// Up to three bytes changed, cut or added.
void Change(Bytes& in, std::string& text) {
  for (unsigned changes = in.Below(4); changes > 0 && !text.empty(); --changes) {
    const std::size_t at = in.Next() % text.size();
    switch (in.Below(4)) {
      case 0:
        text.erase(at, 1);
        break;
      case 1:
        text.insert(at, 1, static_cast<char>(in.Next()));
        break;
      default:
        text[at] = static_cast<char>(in.Next());
    }
  }
}

[[noreturn]] void Fail(const char* reader, std::string_view text, const std::string& a, const std::string& b) {
  std::fprintf(stderr, "%s: the shortcut and the reading of record differ on '%.*s':\n  %s\n  %s\n", reader,
               static_cast<int>(text.size()), text.data(), a.c_str(), b.c_str());
  std::abort();
}

std::string Describe(const ParseResult<Timestamp>& result, const std::string& message) {
  return std::to_string(static_cast<int>(result.error)) + " " +
         std::to_string(result.value.instant.time_since_epoch().count()) + " " +
         std::to_string(result.value.offset.count()) + " " + message;
}

void CheckIso(std::string_view text) {
  std::string message;
  const ParseResult<Timestamp> read = TryFromIso8601Strict(text, message);
  internal::StrictReading reading;
  const ParseResult<Timestamp> record = internal::ReadIso8601StrictRecord(text, reading);
  std::string record_message;
  if (!record) internal::AppendStrictMessage(record_message, internal::kIso8601StrictHead, reading, text);
  const std::string a = Describe(read, message);
  if (a != Describe(record, record_message)) Fail("TryFromIso8601Strict", text, a, Describe(record, record_message));
  if (Describe(TryFromIso8601Strict(text), message) != a) Fail("TryFromIso8601Strict, no message", text, a, "");
  // In a zone, a text with an offset and no suffix names the instant alone.
  const ParseResult<ZonedTimestamp> zoned = TryFromIso8601Strict(text, Zone::Utc(), Disambiguation::Reject);
  if (read && (!zoned || zoned.value.timestamp != read.value || zoned.value.wall_clock)) {
    Fail("TryFromIso8601Strict in a zone", text, a, std::to_string(static_cast<int>(zoned.error)));
  }
}

void CheckHttp(std::string_view text) {
  constexpr TimePoint kNow{std::chrono::seconds(1709622489)};
  std::string message;
  const ParseResult<Timestamp> read = TryFromHttpDateStrict(text, kNow, message);
  internal::StrictReading reading;
  const ParseResult<Timestamp> record = internal::ReadHttpDateStrictRecord(text, kNow, reading);
  std::string record_message;
  if (!record) internal::AppendStrictMessage(record_message, internal::kHttpStrictHead, reading, text);
  const std::string a = Describe(read, message);
  if (a != Describe(record, record_message)) Fail("TryFromHttpDateStrict", text, a, Describe(record, record_message));
  if (Describe(TryFromHttpDateStrict(text, kNow), message) != a) Fail("TryFromHttpDateStrict, no message", text, a, "");
}

// `text` alone in a heap block of its size, and inside a longer buffer of
// digits, which a read past the view would take for the text's.
void CheckViews(std::string_view text, void (*check)(std::string_view)) {
  const std::unique_ptr<char[]> alone(new char[text.size()]);
  std::memcpy(alone.get(), text.data(), text.size());
  check({alone.get(), text.size()});
  std::string longer = "0000000000000000" + std::string(text) + "0000000000000000";
  check(std::string_view(longer).substr(16, text.size()));
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using orvik::chrono::fuzz::Bytes;
  if (size == 0) return 0;
  Bytes in{data + 1, size - 1};
  std::string_view raw(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] < 32) {
    orvik::chrono::fuzz::CheckViews(raw, orvik::chrono::fuzz::CheckIso);
    orvik::chrono::fuzz::CheckViews(raw, orvik::chrono::fuzz::CheckHttp);
    return 0;
  }
  std::string text = data[0] % 2 == 0 ? orvik::chrono::fuzz::IsoText(in) : orvik::chrono::fuzz::HttpText(in);
  orvik::chrono::fuzz::Change(in, text);
  orvik::chrono::fuzz::CheckViews(text, orvik::chrono::fuzz::CheckIso);
  orvik::chrono::fuzz::CheckViews(text, orvik::chrono::fuzz::CheckHttp);
  return 0;
}
