// `ktfolio info TEMPLATE [--json]`: the page count and the rows of each area.
#include <cstdio>

#include "commands.h"

namespace ktfolio::cli {

void AddInfoCommand(CLI::App& app, Action& action) {
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  CLI::App* info = app.add_subcommand("info", "Print a template's page count, row counts and body section");
  AddTemplateArgument(*info, *file);
  info->add_flag("--json", *json, "As one JSON object, with the paper and margins (in twips) too");
  info->callback([&action, file, json] {
    action = [file, json] {
      KtPrint4Impl control;
      if (!LoadTemplate(control, *file)) return kExitFailed;
      if (*json) {
        PrintInfoJson(control);
        return kExitOk;
      }
      const std::int16_t pages = control.Pages();
      std::int32_t number = 0;
      std::string description, source;
      if (control.GetLastError(number, description, source)) return ReportFailure(control);
      std::printf("pages: %d\n", pages);
      std::printf("header rows: %d\n", control.Rows(Header)->count());
      std::printf("footer rows: %d\n", control.Rows(Footer)->count());
      std::printf("body rows: %d\n", control.LastRow());
      std::printf("start body row: %d\n", control.StartBodyRow());
      std::printf("end body row: %d\n", control.EndBodyRow());
      return kExitOk;
    };
  });
}

}  // namespace ktfolio::cli
