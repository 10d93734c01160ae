// How the command line answers bad usage: the program's version and exit-code
// table, value checks whose messages name the problem, and the one exit code
// (2) every usage error leaves with.
#include <charconv>
#include <cstdio>
#include <string_view>

#include "commands.h"

#ifndef KTFOLIO_VERSION
#error "the build defines KTFOLIO_VERSION from the project's version"
#endif

namespace ktfolio::cli {

namespace {

constexpr const char* kExitCodesTable =
    "Exit codes:\n"
    "  0  done\n"
    "  1  the job failed: the control recorded an error (printed as \"error N (source): message\"),\n"
    "     or a file could not be read or written\n"
    "  2  bad usage: an unknown command or option, a missing or malformed value, a value out of range";

// The first word that is not an option: the command the user meant.
std::string_view FirstWord(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (argv[i][0] != '-') return argv[i];
  return {};
}

bool ParseWhole(const std::string& text, long long& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

}  // namespace

void ConfigureApp(CLI::App& app) {
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("ktfolio ") + KTFOLIO_VERSION, "Print the version and exit");
  app.footer(kExitCodesTable);
}

int ExitForParseError(CLI::App& app, const CLI::ParseError& e, int argc, char** argv) {
  if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version
  const std::string_view word = FirstWord(argc, argv);
  const auto named = [word](CLI::App* command) { return command->check_name(std::string(word)); };
  if (!word.empty() && app.get_subcommands(named).empty()) {
    std::fprintf(stderr, "ktfolio: unknown command '%.*s' (see ktfolio --help)\n", static_cast<int>(word.size()),
                 word.data());
    return kExitUsage;
  }
  std::string help = "ktfolio --help";
  for (const CLI::App* command : app.get_subcommands()) help = "ktfolio " + command->get_name() + " --help";
  std::fprintf(stderr, "ktfolio: %s (see %s)\n", e.what(), help.c_str());
  return kExitUsage;
}

CLI::Validator WholeNumber(long long min, long long max, const std::string& note) {
  const std::string range = std::to_string(min) + " to " + std::to_string(max) + note;
  return CLI::Validator(
      [min, max, range](std::string& text) -> std::string {
        long long value = 0;
        if (!ParseWhole(text, value)) return "'" + text + "' is not a number";
        if (value < min || value > max) return text + " is out of range (" + range + ")";
        return {};
      },
      "INT in " + range);
}

CLI::Validator ZoomOrFit() {
  const CLI::Validator percent = WholeNumber(10, 250, ", or 0 to fit the page, -1 the width");
  return CLI::Validator(
      [percent](std::string& text) -> std::string {
        long long value = 0;
        if (ParseWhole(text, value) && (value == 0 || value == -1)) return {};
        return percent(text);
      },
      "10..250|0|-1");
}

}  // namespace ktfolio::cli
