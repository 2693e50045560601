// orvik-chrono: every conversion of the library from the shell.
//
// Exit status: 0 when every input converted, 1 when any was refused (each
// refusal is reported on standard error and the tool goes on) or standard
// output could not be written, 2 for a usage error.
#include <orvik/chrono/chrono.h>

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "instant_text.h"
#include "line_reader.h"
#include "output.h"
#include "refusals.h"
#include "text_layout.h"

namespace orvik::chrono::internal {
namespace {

#define ORVIK_STRINGIFY_(x) #x
#define ORVIK_STRINGIFY(x) ORVIK_STRINGIFY_(x)
constexpr const char* kVersion = "orvik-chrono " ORVIK_STRINGIFY(ORVIK_CHRONO_VERSION_MAJOR) "." ORVIK_STRINGIFY(
    ORVIK_CHRONO_VERSION_MINOR) "." ORVIK_STRINGIFY(ORVIK_CHRONO_VERSION_PATCH);

const std::map<std::string, InputKind>& InputKinds() {
  static const std::map<std::string, InputKind> kinds = {
      {"auto", InputKind::Auto}, {"iso", InputKind::Iso}, {"http", InputKind::Http}, {"epoch", InputKind::Epoch}};
  return kinds;
}

const std::map<std::string, OutputFormat>& OutputFormats() {
  static const std::map<std::string, OutputFormat> formats = {
      {"http", OutputFormat::Http},          {"iso", OutputFormat::Iso},     {"iso-ns", OutputFormat::IsoNs},
      {"iso-basic", OutputFormat::IsoBasic}, {"epoch", OutputFormat::Epoch}, {"epoch-ns", OutputFormat::EpochNs}};
  return formats;
}

constexpr const char* kAutoRule =
    "auto reads epoch seconds when the text is an optional '@', an optional '-' and digits with an optional "
    "fraction of up to nine digits (1709622489, @-1.5); an HTTP date when it starts with a letter; "
    "ISO 8601 otherwise.\n";

struct Options {
  std::string From = "auto";
  std::string To = "iso-ns";
  bool Local = false;
  std::size_t Field = 0;  // 0: the whole input
  std::string Delimiter = "\t";
  std::vector<std::string> Texts;
};

TimeZone ZoneOf(const Options& options) { return options.Local ? TimeZone::Local : TimeZone::UTC; }

void AddZoneFlags(CLI::App& command, Options& options) {
  CLI::Option* local = command.add_flag("--local", options.Local, "write and show times in the process's zone (TZ)");
  CLI::Option* utc = command.add_flag("--utc")->description("write and show times in UTC (the default)");
  local->excludes(utc);
}

void AddFromOption(CLI::App& command, Options& options) {
  command.footer(kAutoRule);
  command.add_option("--from", options.From, "auto, iso, http or epoch")
      ->check(CLI::IsMember(InputKinds()))
      ->capture_default_str();
}

void AddFormatOption(CLI::App& command, Options& options) {
  command.add_option("--to", options.To, "http, iso, iso-ns, iso-basic, epoch or epoch-ns")
      ->check(CLI::IsMember(OutputFormats()))
      ->capture_default_str();
}

struct Conversion {
  InputKind Kind;
  OutputFormat Format;
  TimeZone Zone;
  std::size_t Field;
  char Delimiter;
};

// Where field `number` (from 1) of `line` starts and ends; false when the line
// has fewer fields.
bool FindField(std::string_view line, std::size_t number, char delimiter, std::size_t& begin, std::size_t& end) {
  begin = 0;
  for (std::size_t i = 1; i < number; ++i) {
    const std::size_t next = line.find(delimiter, begin);
    if (next == std::string_view::npos) return false;
    begin = next + 1;
  }
  end = std::min(line.find(delimiter, begin), line.size());
  return true;
}

// Appends the converted `input` and a newline to `out`, or reports why not.
// `text` is scratch space for the library's argument.
void ConvertInput(const Conversion& c, std::string_view input, const char* where, std::size_t position,
                  std::string& text, Output& out, Refusals& refusals) {
  std::size_t begin = 0;
  std::size_t end = input.size();
  if (c.Field != 0 && !FindField(input, c.Field, c.Delimiter, begin, end)) {
    const std::string message = "no field " + std::to_string(c.Field) + " in: " + std::string(input);
    Report(refusals, where, position, message, input);
    return;
  }
  text.assign(input.substr(begin, end - begin));
  const std::size_t size_before = out.Buffer.size();
  try {
    out.Buffer.append(input.substr(0, begin));
    AppendInstant(out.Buffer, ReadInstant(text, c.Kind), c.Format, c.Zone);
    out.Buffer.append(input.substr(end));
    out.Buffer += '\n';
  } catch (const std::exception& e) {
    out.Buffer.resize(size_before);
    Report(refusals, where, position, e.what(), text);
  }
}

// convert: one output line per input; with no TEXT, each line of standard input.
int Convert(const Options& options) {
  const Conversion c{InputKinds().at(options.From), OutputFormats().at(options.To), ZoneOf(options), options.Field,
                     options.Delimiter.front()};
  Output out{STDOUT_FILENO, {}};
  out.Buffer.reserve(Output::kBlock + Output::kBlock / 4);
  Refusals refusals;
  std::string text;
  for (std::size_t i = 0; i < options.Texts.size(); ++i) {
    ConvertInput(c, options.Texts[i], "argument", i + 1, text, out, refusals);
  }
  if (options.Texts.empty()) {
    LineReader reader(STDIN_FILENO);
    std::string line;
    bool too_long = false;
    for (std::size_t number = 1; reader.Next(line, too_long); ++number) {
      if (too_long) {
        Report(refusals, "line", number, "line too long", "");
      } else if (line.empty()) {
        out.Buffer += '\n';
      } else {
        ConvertInput(c, line, "line", number, text, out, refusals);
      }
      FlushWhenFull(out);
    }
  }
  Flush(out);
  return ExitStatus(refusals);
}

int Now(const Options& options) {
  Output out{STDOUT_FILENO, {}};
  AppendInstant(out.Buffer, std::chrono::system_clock::now(), OutputFormats().at(options.To), ZoneOf(options));
  out.Buffer += '\n';
  Flush(out);
  return 0;
}

void AppendLine(std::string& out, const char* label, std::string_view value) {
  out.append(label).append(sizeof("calendar     ") - 1 - std::string_view(label).size(), ' ');
  out.append(value) += '\n';
}

void AppendCalendar(std::string& out, const std::tm& tm) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  char line[160];
  std::snprintf(line, sizeof(line), "%04d-%02d-%02d %02d:%02d:%02d %s, day %d of the year, isdst %d, UTC%+ld s, %s",
                tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                tm.tm_wday >= 0 && tm.tm_wday < 7 ? kDays[tm.tm_wday] : "?", tm.tm_yday + 1, tm.tm_isdst, tm.tm_gmtoff,
                tm.tm_zone == nullptr ? "" : tm.tm_zone);
  AppendLine(out, "calendar", line);
}

// What the library reads from one text, field by field.
void AppendParsed(std::string& out, const std::string& text, InputKind kind, TimeZone zone) {
  TimePoint t;
  std::string offset;
  if (kind == InputKind::Iso) {
    const auto [instant, minutes] = SplitIso8601(text);
    t = instant;
    offset = (minutes.count() < 0 ? "" : "+") + std::to_string(minutes.count()) + " minutes";
  } else {
    t = ReadInstant(text, kind);
  }
  const std::tm calendar = ToCalendarTime(t, zone);
  const TextLayout layout = FindLayout(text, kind);
  std::string utc;
  AppendInstant(utc, t, OutputFormat::IsoNs, TimeZone::UTC);
  AppendLine(out, "text", EscapeControlBytes(text));
  AppendLine(out, "layout", layout.Name);
  if (!layout.Ignored.empty()) AppendLine(out, "ignored", '"' + EscapeControlBytes(layout.Ignored) + '"');
  AppendLine(out, "nanoseconds", std::to_string(t.time_since_epoch().count()));
  AppendLine(out, "utc", utc);
  if (!offset.empty()) AppendLine(out, "offset", offset);
  AppendCalendar(out, calendar);
}

// parse: what the library reads from each text, field by field.
int Parse(const Options& options) {
  const InputKind requested = InputKinds().at(options.From);
  Output out{STDOUT_FILENO, {}};
  Refusals refusals;
  bool first = true;
  for (std::size_t i = 0; i < options.Texts.size(); ++i) {
    const std::string& text = options.Texts[i];
    std::string parsed;
    try {
      AppendParsed(parsed, text, requested == InputKind::Auto ? DetectKind(text) : requested, ZoneOf(options));
    } catch (const std::exception& e) {
      Flush(out);
      Report(refusals, "argument", i + 1, e.what(), text);
      continue;
    }
    if (!first) out.Buffer += '\n';
    out.Buffer += parsed;
    first = false;
  }
  Flush(out);
  return ExitStatus(refusals);
}

int Duration(const Options& options) {
  Output out{STDOUT_FILENO, {}};
  Refusals refusals;
  for (std::size_t i = 0; i < options.Texts.size(); ++i) {
    try {
      const std::int64_t count = duration::FromIso8601(options.Texts[i]).count();
      out.Buffer += std::to_string(count) + " ns  " + SecondsWithFraction(count) + " s\n";
    } catch (const std::exception& e) {
      Flush(out);
      Report(refusals, "argument", i + 1, e.what(), options.Texts[i]);
    }
  }
  Flush(out);
  return ExitStatus(refusals);
}

int Run(int argc, char** argv) {
  CLI::App app("Converts instants between ISO 8601, HTTP dates and epoch seconds, and reads ISO 8601 durations.",
               "orvik-chrono");
  app.set_version_flag("--version", kVersion);
  app.require_subcommand(1);
  Options options;

  CLI::App* convert = app.add_subcommand("convert", "Convert each TEXT, or each line of standard input");
  AddFromOption(*convert, options);
  AddFormatOption(*convert, options);
  AddZoneFlags(*convert, options);
  CLI::Option* field =
      convert->add_option("--field", options.Field, "convert field N (from 1) of each input and copy the rest")
          ->check(CLI::Validator(
              [](const std::string& text) {
                return text.find_first_not_of('0') != std::string::npos ? "" : "fields count from 1";
              },
              "N"));
  convert->add_option("--delimiter", options.Delimiter, "the one character between fields (default: a tab)")
      ->check(CLI::Validator([](const std::string& text) { return text.size() == 1 ? "" : "must be one character"; },
                             "CHAR"))
      ->needs(field);
  convert->add_option("text", options.Texts, "instants to convert");

  CLI::App* now = app.add_subcommand("now", "Print the current time");
  AddFormatOption(*now, options);
  AddZoneFlags(*now, options);

  CLI::App* parse = app.add_subcommand("parse", "Show what is read from each TEXT");
  AddFromOption(*parse, options);
  AddZoneFlags(*parse, options);
  parse->add_option("text", options.Texts, "instants to read")->required();

  CLI::App* duration = app.add_subcommand("duration", "Read ISO 8601 durations such as PT1H30M15S");
  duration->add_option("text", options.Texts, "durations to read")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? 0 : 2;
  }
  if (convert->parsed()) return Convert(options);
  if (now->parsed()) return Now(options);
  if (parse->parsed()) return Parse(options);
  return Duration(options);
}

}  // namespace
}  // namespace orvik::chrono::internal

int main(int argc, char** argv) {
  try {
    const int status = orvik::chrono::internal::Run(argc, argv);
    // Help and version text go through stdio.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
      orvik::chrono::internal::ThrowWriteError(errno != 0 ? errno : EIO);
    }
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvik-chrono: %s\n", e.what());
    return 1;
  }
}
