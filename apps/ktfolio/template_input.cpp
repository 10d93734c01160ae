// What the template commands share: their TEMPLATE argument and loading it.
#include "commands.h"

namespace ktfolio::cli {

void AddTemplateArgument(CLI::App& command, std::string& file) {
  command.add_option("TEMPLATE", file, "Template file (as written by SaveAsTemplate)")->required();
}

bool LoadTemplate(KtPrint4& control, const std::string& file) {
  control.ClearError();
  // A load that reports success but recorded a failure on the way is a failure.
  std::int32_t number = 0;
  std::string description, source;
  if (control.LoadFromTemplate(file) && !control.GetLastError(number, description, source)) return true;
  ReportFailure(control);
  return false;
}

}  // namespace ktfolio::cli
