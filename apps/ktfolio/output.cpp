// Writing a document's pages out, and reporting what the control recorded.
#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "document/errors.h"
#include "platform/fileio/fileio.h"

namespace ktfolio::cli {

int ReportFailure(KtPrint4Impl& control, const std::string& detail) {
  std::int32_t number = 0;
  std::string description, source;
  if (!control.GetLastError(number, description, source)) {
    std::fprintf(stderr, "ktfolio: failed without a recorded error\n");
    return kExitFailed;
  }
  // "No Description" says nothing to a person: the message table does.
  std::string message = description == "No Description" ? GetErrorMessage(number) : description;
  // A table message ("Error finishing current document") gains the platform's cause.
  if (const std::optional<Error>& cause = fileio::LastFailure();
      cause && message.find(cause->description()) == std::string::npos)
    message += ": " + cause->description();
  if (!detail.empty()) message += ": " + detail;
  for (char& ch : message)
    if (ch == '\r' || ch == '\n') ch = ' ';  // one line, whatever the text quoted
  std::fprintf(stderr, "ktfolio: error %d (%s): %s\n", number, source.c_str(), message.c_str());
  return kExitFailed;
}

std::string PagesAsked(KtPrint4Impl& control, int from, int to) {
  const std::string range = from == to ? "page " + std::to_string(from)
                                       : "pages " + std::to_string(from) + "-" + std::to_string(to);
  return range + " of " + std::to_string(control.Pages());
}

int WritePagesAndPdf(KtPrint4Impl& control, const std::string& dir, int zoom, Progress& progress) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "ktfolio: cannot create the folder '%s': %s\n", dir.c_str(), ec.message().c_str());
    return kExitFailed;
  }
  control.ClearError();
  const std::int16_t pages = control.Pages();
  progress.Restart("png");
  for (std::int16_t p = 1; p <= pages; ++p) {
    progress.Report(p - 1, pages);
    const std::string png = dir + "/page-" + std::to_string(p) + ".png";
    if (!control.ExportPng(png, p, static_cast<std::int16_t>(zoom))) return ReportFailure(control);
    progress.Clear();
    std::printf("%s\n", png.c_str());
    std::fflush(stdout);
  }
  progress.Report(pages, pages);
  progress.Restart("pdf");
  render::PageProgressScope scope(progress.Hook());
  const std::string pdf = dir + "/document.pdf";
  if (!control.ExportPdf(pdf, 1, pages)) return ReportFailure(control);
  std::printf("%s\n", pdf.c_str());
  return kExitOk;
}

}  // namespace ktfolio::cli
