// ktfolio: the command-line host of the print-document control.
#include <clocale>
#include <cstdio>

#include "commands.h"

int main(int argc, char** argv) {
  using namespace ktfolio::cli;
  // Dates in the user's language and text in the user's character set;
  // numbers keep the "C" form that templates and values are written in.
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  CLI::App app{"ktfolio: compose, render and print ktfolio documents", "ktfolio"};
  app.require_subcommand(1);
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
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }
  return action ? action() : kExitUsage;
}
