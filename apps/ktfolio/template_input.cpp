// What the template commands share: their TEMPLATE argument and loading it.
#include "commands.h"

namespace ktfolio::cli {

void AddTemplateArgument(CLI::App& command, std::string& file) {
  command.add_option("TEMPLATE", file, "Template file (as written by SaveAsTemplate)")->required();
}

bool LoadTemplate(KtPrint4& control, const std::string& file) {
  control.ClearError();
  if (control.LoadFromTemplate(file)) return true;
  ReportFailure(control);
  return false;
}

}  // namespace ktfolio::cli
