// `ktfolio convert TEMPLATE --output FILE`: a template read and written back,
// so a file from another host comes out in this writer's exact form.
#include <cstdio>

#include "commands.h"

namespace ktfolio::cli {

void AddConvertCommand(CLI::App& app, Action& action) {
  auto file = std::make_shared<std::string>();
  auto output = std::make_shared<std::string>();
  CLI::App* convert = app.add_subcommand("convert", "Read a template and write it back through the writer");
  AddTemplateArgument(*convert, *file);
  convert->add_option("-o,--output", *output, "Template file to write (replaced only once complete)")->required();
  convert->callback([&action, file, output] {
    action = [file, output] {
      if (OutputIsInput(*file, *output)) return kExitUsage;
      KtPrint4Impl control;
      if (!LoadTemplate(control, *file)) return kExitFailed;
      if (!control.SaveAsTemplate(*output)) return ReportFailure(control);
      std::printf("%s\n", output->c_str());
      return kExitOk;
    };
  });
}

}  // namespace ktfolio::cli
