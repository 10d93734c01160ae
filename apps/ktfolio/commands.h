// The sub-commands of the ktfolio command-line host and what they share.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

#include "control/ktprint4.h"

namespace ktfolio::cli {

// Exit codes: 0 done, 1 a failure the control recorded, 2 bad usage.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Each command registers itself and returns its action, run after parsing.
using Action = std::function<int()>;
void AddDemoCommand(CLI::App& app, Action& action);

// Writes the control's last error to stderr as "ktfolio: error N (source): message".
int ReportFailure(KtPrint4& control);

// Writes every page as DIR/page-N.png at `zoom` and the whole document as
// DIR/document.pdf, printing each file written. Returns an exit code.
int WritePagesAndPdf(KtPrint4& control, const std::string& dir, int zoom);

}  // namespace ktfolio::cli
