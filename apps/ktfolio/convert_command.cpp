// `ktfolio convert TEMPLATE --output FILE [--code-page N]`: a template read and
// written back, so a file from another host comes out in this writer's exact
// form, in Windows-1252 or UTF-8.
#include <cstdio>

#include "commands.h"

namespace ktfolio::cli {

void AddConvertCommand(CLI::App& app, Action& action) {
  auto file = std::make_shared<std::string>();
  auto output = std::make_shared<std::string>();
  CLI::App* convert = app.add_subcommand("convert", "Read a template and write it back through the writer");
  AddTemplateArgument(*convert, *file);
  convert->add_option("-o,--output", *output, "Template file to write (replaced only once complete)")->required();
  auto codePage = std::make_shared<int>(0);
  convert->add_option("--code-page", *codePage,
                      "1252 (Windows-1252) or 65001 (UTF-8 with a byte-order mark); default: the input's")
      ->check(CLI::IsMember({kCodePageWindows1252, kCodePageUtf8}));
  convert->callback([&action, file, output, codePage] {
    action = [file, output, codePage] {
      if (OutputIsInput(*file, *output)) return kExitUsage;
      KtPrint4Impl control;
      if (!LoadTemplate(control, *file)) return kExitFailed;
      if (*codePage) control.TemplateCodePage(*codePage);
      if (!control.SaveAsTemplate(*output)) return ReportFailure(control);
      WarnOfLostCharacters(control, *output);
      std::printf("%s\n", output->c_str());
      return kExitOk;
    };
  });
}

}  // namespace ktfolio::cli
