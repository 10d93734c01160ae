// The ktfolio command line: its subcommands, parsing, and the exit code.
#include "cli.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "commands.h"

namespace ktfolio::cli {

namespace {
std::string& DataDir() {
  static std::string dir;
  return dir;
}
}  // namespace

std::string DataFile(const std::string& name) {
  return (std::filesystem::path(DataDir()) / name).lexically_normal().string();
}

namespace {
// The program's main, as it was: the commands, the parse and the action.
int Run(int argc, char** argv) {
  // Dates in the user's language and text in the user's character set;
  // numbers keep the "C" form that templates and values are written in.
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  CLI::App app{"ktfolio: compose, render and print ktfolio documents", "ktfolio"};
  ConfigureApp(app);
  Action action;
  AddDemoCommand(app, action);
  AddViewCommand(app, action);
  AddInfoCommand(app, action);
  AddRenderCommand(app, action);
  AddPdfCommand(app, action);
  AddConvertCommand(app, action);
  AddDesignCommand(app, action);
  AddPrintersCommand(app, action);
  AddPrintCommand(app, action);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return ExitForParseError(app, e, argc, argv);
  }
  return action ? action() : kExitUsage;
}
}  // namespace

int RunCli(int argc, char** argv, const std::string& dataDir) {
  DataDir() = dataDir;
  int code = Run(argc, argv);
  // A host that goes on (the Python interpreter) must not hold our output back;
  // output that could not be written (a full disk, a closed pipe) is a failure
  // a script reading it must hear of.
  std::cout.flush();
  errno = 0;
  if ((std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout) && code == kExitOk) {
    std::fprintf(stderr, "ktfolio: cannot write the output: %s\n", errno ? std::strerror(errno) : "write error");
    code = kExitFailed;
  }
  std::clearerr(stdout);
  std::cout.clear();
  std::fflush(stderr);
  return code;
}

}  // namespace ktfolio::cli
