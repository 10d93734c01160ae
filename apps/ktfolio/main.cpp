// ktfolio: the command-line host of the print-document control.
#include <filesystem>

#include "cli.h"
#include "platform/automation/picture.h"

int main(int argc, char** argv) {
  // The example data is installed in share/ktfolio beside bin/; the build tree has the same layout.
  std::filesystem::path data = std::filesystem::path(ktfolio::ApplicationPath()) / KTFOLIO_BIN_TO_DATA;
  return ktfolio::cli::RunCli(argc, argv, data.string());
}
