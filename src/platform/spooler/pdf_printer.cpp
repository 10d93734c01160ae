// The built-in printer "PDF": each job becomes the PDF file the host named.
// A file holds one copy, so the printer makes at most one.
#include <strings.h>

#include "platform/spooler/spooler_impl.h"

namespace ktfolio::win::spooler {

namespace {

std::string& OutputFile() {
  static std::string path = "ktfolio-print.pdf";
  return path;
}

class PdfQueue : public Queue {
 public:
  std::string Name() const override { return kPdfPrinterName; }
  std::string Port() const override { return "FILE:"; }
  int MaxCopies() override { return 1; }
  std::unique_ptr<JobDriver> MakeDriver(const JobSettings&) override {
    auto driver = std::make_unique<JobDriver>(Self());
    driver->path = OutputFile();
    return driver;
  }
  static std::shared_ptr<PdfQueue> Self() {
    static auto queue = std::make_shared<PdfQueue>();
    return queue;
  }
};

}  // namespace

void SetPdfPrinterOutput(const std::string& path) { OutputFile() = path; }
const std::string& PdfPrinterOutput() { return OutputFile(); }

QueuePtr FindPdfQueue(const std::string& name) {
  return strcasecmp(name.c_str(), kPdfPrinterName) == 0 ? PdfQueue::Self() : nullptr;
}

}  // namespace ktfolio::win::spooler
