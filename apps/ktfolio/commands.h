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
void AddViewCommand(CLI::App& app, Action& action);
// Commands on template files.
void AddInfoCommand(CLI::App& app, Action& action);
void AddRenderCommand(CLI::App& app, Action& action);
void AddPdfCommand(CLI::App& app, Action& action);
void AddConvertCommand(CLI::App& app, Action& action);
void AddDesignCommand(CLI::App& app, Action& action);
// Printing through the spooler.
void AddPrintersCommand(CLI::App& app, Action& action);
void AddPrintCommand(CLI::App& app, Action& action);

// Loads a template file into the control; false when the control recorded a failure.
[[nodiscard]] bool LoadTemplate(KtPrint4& control, const std::string& file);
// True, said on stderr, when `output` is the file `input` (the same file, or
// the same path once resolved): writing it would destroy the input.
[[nodiscard]] bool OutputIsInput(const std::string& input, const std::string& output);
// The positional TEMPLATE argument every template command takes.
void AddTemplateArgument(CLI::App& command, std::string& file);

// Writes the control's last error to stderr as "ktfolio: error N (source): message".
int ReportFailure(KtPrint4& control);

// Writes every page as DIR/page-N.png at `zoom` and the whole document as
// DIR/document.pdf, printing each file written. Returns an exit code.
int WritePagesAndPdf(KtPrint4& control, const std::string& dir, int zoom);

}  // namespace ktfolio::cli
