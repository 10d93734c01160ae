// The ktfolio command line as a function: the program's main and the Python
// package's `ktfolio` command both run it.
#pragma once

#include <string>

namespace ktfolio::cli {

// Parses argv and runs the chosen subcommand; returns the exit code.
// `dataDir` holds the example data (the invoice's logo).
int RunCli(int argc, char** argv, const std::string& dataDir);

// A file of the example data folder given to RunCli.
std::string DataFile(const std::string& name);

}  // namespace ktfolio::cli
