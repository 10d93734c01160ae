// ktfolio: the command-line host of the print-document control.
#include <cstdio>

#include "commands.h"

int main(int argc, char** argv) {
  using namespace ktfolio::cli;
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
