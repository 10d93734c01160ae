// The sub-commands of the ktfolio command-line host and what they share.
#pragma once

#include <CLI/CLI.hpp>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "control/ktprint4_impl.h"
#include "render/render_internal.h"

namespace ktfolio::cli {

// Exit codes: 0 done, 1 a failure the control recorded, 2 bad usage (the
// table --help shows is in usage.cpp).
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// The program's own options (--version) and --help's exit-code table.
void ConfigureApp(CLI::App& app);
// Reports a failed parse on stderr and gives its exit code: 0 for --help and
// --version, kExitUsage for every error (an unknown command by its name).
int ExitForParseError(CLI::App& app, const CLI::ParseError& e, int argc, char** argv);
// Checks an integer value, saying whether it is not a number or out of
// min..max (`note` follows the range in the message).
CLI::Validator WholeNumber(long long min, long long max, const std::string& note = "");
// A preview zoom: 10..250 percent, 0 fits the page, -1 the width.
CLI::Validator ZoomOrFit();

// -q,--quiet on a command that may run long.
void AddQuietFlag(CLI::App& command, bool& quiet);
// Shows a long job's progress on stderr ("ktfolio: pdf page 1200 of 5000,
// 850 pages/s, 4 s left"): only on a terminal, after about a second, and
// never when quiet. Hook() feeds it from the page loops (render::PageProgressScope).
class Progress {
 public:
  Progress(std::string what, bool quiet);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  void Report(std::int32_t done, std::int32_t total);
  render::PageProgress Hook();
  // A new stage of the same job, counted from its own first page.
  void Restart(std::string what);
  // Takes the line away before other output to the terminal; the next report draws it again.
  void Clear();

 private:
  using Clock = std::chrono::steady_clock;
  struct Rate {
    Clock::time_point time;
    std::int32_t done;
  };
  std::string what_;
  bool enabled_;
  Clock::time_point start_;
  Clock::time_point shown_{};
  std::optional<Rate> firstPage_;
  bool lineOpen_ = false;
};

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
// The control then writes templates in the code page the file was in.
[[nodiscard]] bool LoadTemplate(KtPrint4Impl& control, const std::string& file);
// After a save: says on stderr which character the code page could not hold
// (the first, and its line), when any was written as '?'.
void WarnOfLostCharacters(const KtPrint4Impl& control, const std::string& file);
// True, said on stderr, when the loaded `file` has no body row: printing it
// (to a printer or a PDF) would make no page.
[[nodiscard]] bool HasNoPage(KtPrint4Impl& control, const std::string& file);
// True, said on stderr, when `output` is the file `input` (the same file, or
// the same path once resolved): writing it would destroy the input.
[[nodiscard]] bool OutputIsInput(const std::string& input, const std::string& output);
// The positional TEMPLATE argument every template command takes.
void AddTemplateArgument(CLI::App& command, std::string& file);

// Writes the control's last error to stderr as "ktfolio: error N (source): message".
// Prints the control's last error on stderr in one line, with `detail` after
// it ("page 9 of 3"); returns the exit code of a failed job.
int ReportFailure(KtPrint4Impl& control, const std::string& detail = "");
// "page 9 of 3", "pages 2-5 of 3": the pages asked for, against the document's.
std::string PagesAsked(KtPrint4Impl& control, int from, int to);

// Writes every page as DIR/page-N.png at `zoom` and the whole document as
// DIR/document.pdf, printing each file written. Returns an exit code.
int WritePagesAndPdf(KtPrint4Impl& control, const std::string& dir, int zoom, Progress& progress);

// --title, --author, --lang, --untagged: what a written PDF says of itself;
// --jobs: how many processes draw a long one.
struct MetadataOptions {
  std::string title;
  std::string author;
  std::string language;
  bool untagged = false;
  int jobs = 0;
};
void AddMetadataOptions(CLI::App& command, MetadataOptions& options);
// Sets what was given on the control; false, said on stderr, for a language
// that is not a BCP 47 tag.
[[nodiscard]] bool ApplyMetadata(KtPrint4Impl& control, const MetadataOptions& options);

// `info --json`: what info prints, as one JSON object with stable keys.
void PrintInfoJson(KtPrint4Impl& control);

}  // namespace ktfolio::cli
