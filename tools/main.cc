// orvik-chrono: every conversion of the library from the shell.
//
// Exit status: 0 when every input converted, 1 when any was refused (each
// refusal is reported on standard error and the tool goes on), 2 for a usage
// error.
#include <orvik/chrono/chrono.h>

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "instant_text.h"
#include "line_reader.h"

namespace orvik::chrono::tool {
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
  std::string from = "auto";
  std::string to = "iso-ns";
  bool local = false;
  bool utc = false;  // the default; the flag exists to say so explicitly
  std::vector<std::string> texts;

  [[nodiscard]] TimeZone zone() const { return local ? TimeZone::Local : TimeZone::UTC; }
};

// Counts refusals and reports each one with the input's position.
class Refusals {
 public:
  void Report(const char* where, std::size_t position, const char* message) {
    std::fprintf(stderr, "orvik-chrono: %s %zu: %s\n", where, position, message);
    ++count_;
  }
  [[nodiscard]] int ExitStatus() const { return count_ == 0 ? 0 : 1; }

 private:
  std::size_t count_ = 0;
};

void AddZoneFlags(CLI::App& command, Options& options) {
  CLI::Option* local = command.add_flag("--local", options.local, "write and show times in the process's zone (TZ)");
  CLI::Option* utc = command.add_flag("--utc", options.utc, "write and show times in UTC (the default)");
  local->excludes(utc);
}

void AddFormatOption(CLI::App& command, Options& options) {
  command.add_option("--to", options.to, "http, iso, iso-ns, iso-basic, epoch or epoch-ns")
      ->check(CLI::IsMember(OutputFormats()))
      ->capture_default_str();
}

// convert: one output line per input; with no TEXT, each line of standard input.
int Convert(const Options& options) {
  const InputKind kind = InputKinds().at(options.from);
  const OutputFormat format = OutputFormats().at(options.to);
  const TimeZone zone = options.zone();
  BlockWriter out(STDOUT_FILENO);
  Refusals refusals;
  const auto convert_one = [&](const std::string& text, const char* where, std::size_t position) {
    if (text.empty()) {
      out.buffer() += '\n';
      return;
    }
    try {
      std::string& buffer = out.buffer();
      AppendInstant(buffer, ReadInstant(text, kind), format, zone);
      buffer += '\n';
    } catch (const std::exception& e) {
      refusals.Report(where, position, e.what());
    }
    out.MaybeFlush();
  };
  if (!options.texts.empty()) {
    for (std::size_t i = 0; i < options.texts.size(); ++i) convert_one(options.texts[i], "argument", i + 1);
    return refusals.ExitStatus();
  }
  LineReader reader(STDIN_FILENO);
  std::string line;
  bool too_long = false;
  for (std::size_t number = 1; reader.Next(line, too_long); ++number) {
    if (too_long) {
      refusals.Report("line", number, "line too long");
      continue;
    }
    convert_one(line, "line", number);
  }
  return refusals.ExitStatus();
}

int Now(const Options& options) {
  std::string text;
  AppendInstant(text, std::chrono::system_clock::now(), OutputFormats().at(options.to), options.zone());
  std::puts(text.c_str());
  return 0;
}

const char* LayoutName(const std::string& text, InputKind kind) {
  switch (kind) {
    case InputKind::Epoch:
      return "epoch seconds";
    case InputKind::Http:
      if (text.find(',') == std::string::npos) return "HTTP date, asctime";
      return text.find('-') == std::string::npos ? "HTTP date, IMF-fixdate" : "HTTP date, RFC 850";
    default:
      return text.size() > 4 && text[4] == '-' ? "ISO 8601, extended" : "ISO 8601, basic";
  }
}

void PrintCalendar(const std::tm& tm) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::printf("calendar     %04d-%02d-%02d %02d:%02d:%02d %s, day %d of the year, isdst %d, UTC%+ld s, %s\n",
              tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
              tm.tm_wday >= 0 && tm.tm_wday < 7 ? kDays[tm.tm_wday] : "?", tm.tm_yday + 1, tm.tm_isdst, tm.tm_gmtoff,
              tm.tm_zone == nullptr ? "" : tm.tm_zone);
}

// parse: what the library reads from each text, field by field.
int Parse(const Options& options) {
  const InputKind requested = InputKinds().at(options.from);
  Refusals refusals;
  for (std::size_t i = 0; i < options.texts.size(); ++i) {
    const std::string& text = options.texts[i];
    const InputKind kind = requested == InputKind::Auto ? DetectKind(text) : requested;
    try {
      const TimePoint t = ReadInstant(text, kind);
      std::string utc;
      AppendInstant(utc, t, OutputFormat::IsoNs, TimeZone::UTC);
      if (i > 0) std::putchar('\n');
      std::printf("text         %s\nlayout       %s\nnanoseconds  %lld\nutc          %s\n", text.c_str(),
                  LayoutName(text, kind), static_cast<long long>(t.time_since_epoch().count()), utc.c_str());
      if (kind == InputKind::Iso) {
        std::printf("offset       %+lld minutes\n", static_cast<long long>(SplitIso8601(text).second.count()));
      }
      PrintCalendar(ToCalendarTime(t, options.zone()));
    } catch (const std::exception& e) {
      std::fflush(stdout);
      refusals.Report("argument", i + 1, e.what());
    }
  }
  return refusals.ExitStatus();
}

int Duration(const Options& options) {
  Refusals refusals;
  for (std::size_t i = 0; i < options.texts.size(); ++i) {
    try {
      const std::int64_t count = duration::FromIso8601(options.texts[i]).count();
      std::printf("%lld ns  %s s\n", static_cast<long long>(count), SecondsWithFraction(count).c_str());
    } catch (const std::exception& e) {
      std::fflush(stdout);
      refusals.Report("argument", i + 1, e.what());
    }
  }
  return refusals.ExitStatus();
}

int Run(int argc, char** argv) {
  CLI::App app("Converts instants between ISO 8601, HTTP dates and epoch seconds, and reads ISO 8601 durations.",
               "orvik-chrono");
  app.set_version_flag("--version", kVersion);
  app.require_subcommand(1);
  Options options;

  CLI::App* convert = app.add_subcommand("convert", "Convert each TEXT, or each line of standard input");
  convert->footer(kAutoRule);
  convert->add_option("--from", options.from, "auto, iso, http or epoch")
      ->check(CLI::IsMember(InputKinds()))
      ->capture_default_str();
  AddFormatOption(*convert, options);
  AddZoneFlags(*convert, options);
  convert->add_option("text", options.texts, "instants to convert");

  CLI::App* now = app.add_subcommand("now", "Print the current time");
  AddFormatOption(*now, options);
  AddZoneFlags(*now, options);

  CLI::App* parse = app.add_subcommand("parse", "Show what is read from each TEXT");
  parse->footer(kAutoRule);
  parse->add_option("--from", options.from, "auto, iso, http or epoch")
      ->check(CLI::IsMember(InputKinds()))
      ->capture_default_str();
  AddZoneFlags(*parse, options);
  parse->add_option("text", options.texts, "instants to read")->required();

  CLI::App* duration = app.add_subcommand("duration", "Read ISO 8601 durations such as PT1H30M15S");
  duration->add_option("text", options.texts, "durations to read")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  }
  if (convert->parsed()) return Convert(options);
  if (now->parsed()) return Now(options);
  if (parse->parsed()) return Parse(options);
  return Duration(options);
}

}  // namespace
}  // namespace orvik::chrono::tool

int main(int argc, char** argv) {
  try {
    return orvik::chrono::tool::Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvik-chrono: %s\n", e.what());
    return 1;
  }
}
