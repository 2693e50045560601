// orvik-chrono: every conversion of the library from the shell. This file
// reads the command line and runs one command (commands.h).
//
// Exit status: 0 when every input converted, 1 when any was refused (each
// refusal is reported on standard error and the tool goes on), an input
// could not be read or standard output could not be written, 2 for a usage
// error.
#include <orvik/chrono/chrono.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli_messages.h"
#include "commands.h"
#include "output.h"

namespace orvik::chrono::cli {
namespace {

// An option whose word names one of `choices`, the value it gives `target`;
// the help shows the word of the value that `target` holds before.
template <typename Value>
void AddChoice(CLI::App& command, const std::string& name, const std::map<std::string, Value>& choices, Value& target,
               const std::string& help) {
  const auto chosen = [&choices, &target](const std::string& word) { target = choices.at(word); };
  const auto is_default = [&target](const auto& choice) { return choice.second == target; };
  command.add_option_function<std::string>(name, chosen, help)
      ->check(CLI::IsMember(choices))
      ->default_str(std::find_if(choices.begin(), choices.end(), is_default)->first);
}

void AddFromOption(CLI::App& command, Options& options) {
  static const std::map<std::string, InputKind> kinds = {
      {"auto", InputKind::Auto},       {"iso", InputKind::Iso},          {"http", InputKind::Http},
      {"epoch", InputKind::Epoch},     {"epoch-ms", InputKind::EpochMs}, {"epoch-us", InputKind::EpochUs},
      {"epoch-ns", InputKind::EpochNs}};
  command.footer(std::string(kAutoRule) + '\n');
  AddChoice(command, "--from", kinds, options.From, "auto, iso, http, epoch (seconds), epoch-ms, epoch-us or epoch-ns");
}

void AddFormatOption(CLI::App& command, Options& options) {
  static const std::map<std::string, OutputFormat> formats = {
      {"http", OutputFormat::Http},          {"iso", OutputFormat::Iso},     {"iso-ns", OutputFormat::IsoNs},
      {"iso-basic", OutputFormat::IsoBasic}, {"epoch", OutputFormat::Epoch}, {"epoch-ns", OutputFormat::EpochNs},
      {"iso-zone", OutputFormat::IsoZone}};
  AddChoice(command, "--to", formats, options.To,
            "http, iso, iso-ns, iso-basic, epoch, epoch-ns or iso-zone (iso-ns and the zone's name in brackets, "
            "with --zone or --local)");
}

// The process's zone by its tz database name, where TZ or /etc/localtime
// leads to a file of the zone directory ($TZDIR or /usr/share/zoneinfo).
std::optional<Zone> LocalZoneByName() {
  const LocalZone local = CurrentLocalZone();
  if (local.Source != LocalZoneSource::TzifFile) return {};
  const char* const tzdir = secure_getenv("TZDIR");
  std::error_code error;
  const std::filesystem::path file = std::filesystem::canonical(local.Name, error);
  const std::filesystem::path directory =
      std::filesystem::canonical(tzdir != nullptr && *tzdir != '\0' ? tzdir : "/usr/share/zoneinfo", error);
  if (error) return {};
  const std::string name = file.lexically_relative(directory).string();
  if (name.empty() || name.starts_with("..")) return {};
  const ZoneLoad load = TryLoadZone(name);
  return load ? std::optional<Zone>(load.zone) : std::nullopt;
}

// The zone that `name` names; a usage error for `option` where none loads.
Zone ZoneNamed(const std::string& option, const std::string& name) {
  const ZoneLoad load = TryLoadZone(name);
  if (!load) throw CLI::ValidationError(option, ZoneErrorMessage(load.error, name));
  return load.zone;
}

void AddZoneFlags(CLI::App& command, Options& options) {
  CLI::Option* local = command.add_flag_callback(
      "--local", [&options] { options.Zone = TimeZone::Local; }, "write and show times in the process's zone (TZ)");
  CLI::Option* utc = command.add_flag("--utc")->description("write and show times in UTC (the default)");
  local->excludes(utc);
  CLI::Option* named = command.add_option_function<std::string>(
      "--zone", [&options](const std::string& name) { options.Named = ZoneNamed("--zone", name); },
      "write ISO 8601 times and show calendars in the zone NAME, such as Europe/Berlin");
  named->type_name("NAME")->excludes(local)->excludes(utc);
}

// The layout of `format`, given to `option`; a usage error with the library's
// message where it refuses the format, or for `reading` cannot read with it.
Layout CompiledFormat(const std::string& option, const std::string& format, bool reading) {
  Layout layout;
  std::string message;
  if (TryCompileLayout(format, layout, message) && reading) message = LayoutReadingProblem(layout);
  if (!message.empty()) throw CLI::ValidationError(option + " '" + EscapeControlBytes(format) + "'", message);
  return layout;
}

// --from-format and --reference: texts read by layouts, and against what.
void AddFromFormatOptions(CLI::App& command, Options& options) {
  const auto compile = [&options](const std::vector<std::string>& formats) {
    for (const std::string& format : formats) {
      options.Read.Formats.push_back(CompiledFormat("--from-format", format, true));
    }
  };
  command
      .add_option_function<std::vector<std::string>>(
          "--from-format", compile,
          "read each text with the strptime format FMT in the C locale (%Y %m %d %H %M %S %z ...: man orvik-chrono), "
          "or the first of several that reads it: these alone unless --from is given too, whose reader is tried after "
          "them; a format without %z, %:z, %Z or %s needs --assume-zone")
      ->type_name("FMT")
      ->allow_extra_args(false);
  const auto pin = [&options](const std::string& text) {
    std::string message;
    const ParseResult<Timestamp> read = TryFromIso8601Strict(text, message);
    if (!read) throw CLI::ValidationError("--reference", message);
    options.Read.Reference = read.value.instant;
  };
  command
      .add_option_function<std::string>(
          "--reference", pin,
          "the instant, such as 2025-03-05T12:00:00Z, that a format without a year (syslog's %b %e %H:%M:%S) reads "
          "within the 12 months before, and an RFC 850 date's two-digit year within 50 years of (default: when the "
          "tool starts)")
      ->type_name("ISO");
}

// Formats without an offset need --assume-zone; --from given as well reads
// after the formats.
void CheckFromFormats(const CLI::App& command, Options& options) {
  options.Read.KindToo = command.count("--from") != 0;
  for (const Layout& layout : options.Read.Formats) {
    if (!options.Assume.In && LayoutReadsWallClock(layout)) {
      throw CLI::ValidationError("--from-format '" + EscapeControlBytes(layout.Format()) + "'",
                                 std::string(kFormatWithoutOffset));
    }
  }
}

// --assume-zone and --disambiguate: how a text without an offset is read.
void AddWallClockOptions(CLI::App& command, Options& options) {
  static const std::map<std::string, Disambiguation> rules = {{"compatible", Disambiguation::Compatible},
                                                              {"earlier", Disambiguation::Earlier},
                                                              {"later", Disambiguation::Later},
                                                              {"reject", Disambiguation::Reject}};
  command
      .add_option_function<std::string>(
          "--assume-zone",
          [&options](const std::string& name) { options.Assume.In = ZoneNamed("--assume-zone", name); },
          "read ISO 8601 texts and formats without an offset as wall-clock time in the zone NAME, and %Z as its "
          "abbreviations")
      ->type_name("NAME");
  AddChoice(command, "--disambiguate", rules, options.Assume.Rule,
            "a wall-clock time shown twice or never: compatible, earlier, later or reject (refused)");
}

void AddLenientFlag(CLI::App& command, Options& options) {
  command.add_flag("--lenient", options.Lenient,
                   "read with the library's lenient readers, which also accept texts that are not as their standard "
                   "writes them and may read another instant than the text says");
}

// Whether `field` is digits with a sign before them or blanks around them,
// which --field refuses as a field number rather than take for a name.
bool IsWrittenNumber(std::string_view field) {
  const std::size_t first = field.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  field = field.substr(first, field.find_last_not_of(" \t") + 1 - first);
  if (field.starts_with('-') || field.starts_with('+')) field.remove_prefix(1);
  return !field.empty() && field.find_first_not_of("0123456789") == std::string_view::npos;
}

// --field N or NAME: a number from 1, or a column name, which needs --header;
// an empty NAME names a column without a name. A number that is not digits
// alone (-1, +1, " 1") is refused as one that does not count from 1.
void ReadField(const std::string& field, Options& options) {
  const bool digits = !field.empty() && field.find_first_not_of("0123456789") == std::string::npos;
  if (!digits && IsWrittenNumber(field)) throw CLI::ValidationError("--field", std::string(kFieldsFromOne));
  if (!digits) {
    if (!options.Header) throw CLI::ValidationError("--field", std::string(kNameNeedsHeader));
    options.FieldName = field;
    return;
  }
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), options.Field);
  if (error != std::errc()) throw CLI::ValidationError("--field", std::string(kFieldTooLarge));
  if (options.Field == 0) throw CLI::ValidationError("--field", std::string(kFieldsFromOne));
}

void AddConvertOptions(CLI::App& convert, std::string& field_word, Options& options) {
  static const std::map<std::string, Invalid> invalid = {
      {"keep", Invalid::Keep}, {"empty", Invalid::Empty}, {"drop", Invalid::Drop}, {"stop", Invalid::Stop}};
  const auto one_byte = [](const std::string& text) {
    return text.size() == 1 && text != "\"" && text != "\r" && text != "\n" ? std::string() : std::string(kOneByte);
  };
  CLI::Option* field = convert.add_option("--field", field_word,
                                          "convert field N (from 1) of each input, or with --header the field under "
                                          "the column named NAME, and copy the rest");
  field->type_name("N|NAME");
  CLI::Option* delimiter = convert.add_option(
      "--delimiter", options.Delimiter,
      "the one byte between fields, any but a quote, CR or LF (default: a tab); fields split at any other than a tab "
      "are CSV (RFC 4180: quoted fields, doubled quotes, line breaks inside quotes)");
  delimiter->check(one_byte)->type_name("C")->needs(field);
  CLI::Option* csv = convert.add_flag_callback(
      "--csv", [&options] { options.Delimiter = ','; }, "--delimiter ,");
  csv->needs(field)->excludes(delimiter);
  AddChoice(convert, "--invalid", invalid, options.OnInvalid,
            "what a record whose field is refused becomes: keep (as it came), empty (the field emptied), drop (left "
            "out) or stop (the end of the output)");
  CLI::Option* nulls = convert.add_option("--null", options.Nulls,
                                          "a text that stands for a missing value, such as \\N, written as it came "
                                          "like an empty field; may be given more than once");
  nulls->type_name("TEXT")->allow_extra_args(false);
  AddLenientFlag(convert, options);
  CLI::Option* header =
      convert.add_flag("--header", options.Header, "copy the first line of standard input unchanged, as a header");
  convert.add_option("text", options.Texts, "instants to convert")->excludes(header);
}

int Run(int argc, char** argv) {
  CLI::App app("Converts instants between ISO 8601, HTTP dates and epoch seconds, and reads ISO 8601 durations.",
               "orvik-chrono");
  app.set_version_flag("--version", "orvik-chrono " + std::to_string(ORVIK_CHRONO_VERSION_MAJOR) + '.' +
                                        std::to_string(ORVIK_CHRONO_VERSION_MINOR) + '.' +
                                        std::to_string(ORVIK_CHRONO_VERSION_PATCH));
  app.require_subcommand(1);
  // Usage errors begin as every other message of the tool does; set before
  // the subcommands, which take it from here.
  app.failure_message([](const CLI::App* failed, const CLI::Error& e) {
    return std::string(kPrefix) + CLI::FailureMessage::simple(failed, e);
  });
  std::string field;
  Options options;
  options.Read.Reference = std::chrono::system_clock::now();

  CLI::App* convert = app.add_subcommand("convert", "Convert each TEXT, or each line of standard input");
  AddFromOption(*convert, options);
  AddFormatOption(*convert, options);
  convert
      ->add_option_function<std::string>(
          "--to-format",
          [&options](const std::string& format) { options.ToFormat = CompiledFormat("--to-format", format, false); },
          "write each instant with the strftime format FMT in the C locale, in UTC, --local's or --zone's zone")
      ->type_name("FMT")
      ->excludes("--to");
  AddFromFormatOptions(*convert, options);
  AddZoneFlags(*convert, options);
  AddWallClockOptions(*convert, options);
  AddConvertOptions(*convert, field, options);

  CLI::App* now = app.add_subcommand("now", "Print the current time");
  AddFormatOption(*now, options);
  AddZoneFlags(*now, options);

  CLI::App* parse = app.add_subcommand("parse", "Show what is read from each TEXT");
  AddFromOption(*parse, options);
  AddFromFormatOptions(*parse, options);
  AddZoneFlags(*parse, options);
  AddWallClockOptions(*parse, options);
  AddLenientFlag(*parse, options);
  parse->add_option("text", options.Texts, "instants to read")->required();

  // The lenient readers read no text in a zone, nor by a format.
  for (CLI::App* reading : {convert, parse}) {
    for (const char* strict : {"--assume-zone", "--from-format"}) {
      reading->get_option(strict)->excludes(reading->get_option("--lenient"));
    }
  }

  CLI::App* duration = app.add_subcommand("duration", "Read ISO 8601 durations such as PT1H30M15S");
  AddLenientFlag(*duration, options);
  duration->add_option("text", options.Texts, "durations to read")->required();

  try {
    app.parse(argc, argv);
    if (convert->count("--field") != 0) ReadField(field, options);
    for (CLI::App* reading : {convert, parse}) {
      if (reading->parsed()) CheckFromFormats(*reading, options);
    }
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : kUsageError;
  }
  if (options.Zone == TimeZone::Local && CurrentLocalZone().Source == LocalZoneSource::Unreadable) {
    Say(std::string(kUnreadableZone).append(CurrentLocalZone().Name));
    return kUsageError;
  }
  if (options.To == OutputFormat::IsoZone && !options.Named) {
    if (options.Zone == TimeZone::Local) options.Named = LocalZoneByName();
    if (!options.Named) {
      Say(options.Zone == TimeZone::Local ? kLocalZoneUnnamed : kIsoZoneNeedsZone);
      return kUsageError;
    }
  }
  if (convert->parsed()) return Convert(options);
  if (now->parsed()) return Now(options);
  if (parse->parsed()) return Parse(options);
  return Duration(options);
}

}  // namespace
}  // namespace orvik::chrono::cli

int main(int argc, char** argv) {
  using namespace orvik::chrono::cli;
  try {
    const int status = Run(argc, argv);
    // Help and version text go through stdio.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) ThrowWriteError(errno != 0 ? errno : EIO);
    return status;
  } catch (const std::exception& e) {
    // The tool's words for running out of memory.
    Say(dynamic_cast<const std::bad_alloc*>(&e) != nullptr ? kOutOfMemory : std::string_view(e.what()));
    return 1;
  }
}
