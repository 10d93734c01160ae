// CUPS queues: a job's pages go into a private PDF file, which EndDoc submits
// to the queue under the document's name with the copies, media and
// orientation its DEVMODE asked for.
#include <cups/cups.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/spooler/spooler_impl.h"

namespace ktfolio::win::spooler {

namespace {

constexpr int kDefaultDpi = 600;
constexpr const char* kPausedState = "5";  // IPP printer-state "stopped"

std::string Queued(const std::string& name) { return "queue '" + name + "'"; }

// The cause of the last failed CUPS request, as a person would put it.
std::string CupsCause(const std::string& queue) {
  switch (cupsLastError()) {
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE: return "the print service is not running";
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS: return Queued(queue) + " rejects jobs";
    case IPP_STATUS_ERROR_NOT_FOUND: return "no printer named '" + queue + "'";
    default: return Queued(queue) + ": " + cupsLastErrorString();
  }
}

// Whether cupsd takes connections: a missing queue and a missing server look
// alike to cupsGetNamedDest.
bool SchedulerAnswers() {
  constexpr int kConnectWaitMs = 1000;
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectWaitMs, nullptr);
  if (!http) return false;
  httpClose(http);
  return true;
}

bool OptionIs(const cups_dest_t& dest, const char* name, const char* value) {
  const char* v = cupsGetOption(name, dest.num_options, dest.options);
  return v && std::strcmp(v, value) == 0;
}

struct DestsDeleter {
  int count;
  void operator()(cups_dest_t* d) const { cupsFreeDests(count, d); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestsDeleter>;

// The PWG name of the paper, or a custom size CUPS accepts ("custom_WxHmm").
std::string MediaName(const JobSettings& job) {
  const Paper* paper = FindPaper(job.paperSize);
  int w = job.widthTenthMm, h = job.heightTenthMm;
  if (job.landscape) std::swap(w, h);
  if (paper && paper->pwg && paper->widthTenthMm == w && paper->heightTenthMm == h) return paper->pwg;
  char custom[64];
  std::snprintf(custom, sizeof custom, "custom_%gx%gmm", w / 10.0, h / 10.0);
  return custom;
}

class CupsDriver : public JobDriver {
 public:
  CupsDriver(QueuePtr queue, JobSettings job, bool accepting, bool paused)
      : JobDriver(std::move(queue)), job_(std::move(job)), accepting_(accepting), paused_(paused) {
    char pattern[] = "/tmp/ktfolio-job.XXXXXX";
    if (mkdtemp(pattern)) {
      dir_ = pattern;
      path = dir_ + "/job.pdf";
    }
  }
  ~CupsDriver() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  bool StartDoc(const DOCINFO& info) override {
    title_ = info.lpszDocName ? info.lpszDocName : "";
    if (!accepting_) {
      NoteJobFailure(ErrorCode::kCannotStartDocument, Queued(queue_->Name()) + " rejects jobs");
      return false;
    }
    // A paused queue keeps the job until it is resumed: worth saying, not a failure.
    if (paused_) AddJobWarning(Queued(queue_->Name()) + " is paused: the job waits");
    return true;
  }
  bool EndDoc(const std::string& pdf) override {
    if (pdf.empty()) return true;  // a document without pages: no job at all
    cups_option_t* options = nullptr;
    int n = 0;
    if (job_.copies > 1) n = cupsAddOption("copies", std::to_string(job_.copies).c_str(), n, &options);
    n = cupsAddOption("media", MediaName(job_).c_str(), n, &options);
    n = cupsAddOption("orientation-requested", job_.landscape ? "4" : "3", n, &options);
    const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue_->Name().c_str(), pdf.c_str(), title_.c_str(), n, options);
    cupsFreeOptions(n, options);
    if (id <= 0) NoteJobFailure(ErrorCode::kFinishDocumentFailed, CupsCause(queue_->Name()));
    std::remove(pdf.c_str());
    return id > 0;
  }

 private:
  JobSettings job_;
  bool accepting_;
  bool paused_;
  std::string dir_;
  std::string title_;
};

class CupsQueue : public Queue, public std::enable_shared_from_this<CupsQueue> {
 public:
  explicit CupsQueue(DestPtr dest) : dest_(std::move(dest)) {}
  ~CupsQueue() override {
    if (info_) cupsFreeDestInfo(info_);
  }
  std::string Name() const override { return dest_->name; }
  std::string Port() const override {
    const char* uri = cupsGetOption("device-uri", dest_->num_options, dest_->options);
    return uri ? uri : "";
  }
  int MaxCopies() override {
    ipp_attribute_t* copies = Info() ? cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest_.get(), info_, "copies") : nullptr;
    if (!copies) return -1;
    int upper = 0;
    ippGetRange(copies, 0, &upper);
    return upper;
  }
  int Dpi() override {
    ipp_attribute_t* res =
        Info() ? cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest_.get(), info_, "printer-resolution") : nullptr;
    if (!res) return kDefaultDpi;
    int y = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    int x = ippGetResolution(res, 0, &y, &units);
    if (units == IPP_RES_PER_CM) x = static_cast<int>(x * 2.54);
    return x >= 72 && x <= 2400 ? x : kDefaultDpi;
  }
  DEVMODE Defaults() override {
    DEVMODE dm = Queue::Defaults();
    ipp_attribute_t* media = Info() ? cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest_.get(), info_, "media") : nullptr;
    if (const Paper* p = media ? FindPaperByPwg(ippGetString(media, 0, nullptr)) : nullptr)
      dm.dmPaperSize = static_cast<SHORT>(p->dmPaper);
    return dm;
  }
  std::unique_ptr<JobDriver> MakeDriver(const JobSettings& job) override {
    auto driver = std::make_unique<CupsDriver>(shared_from_this(), job,
                                               !OptionIs(*dest_, "printer-is-accepting-jobs", "false"),
                                               OptionIs(*dest_, "printer-state", kPausedState));
    return driver->path.empty() ? nullptr : std::move(driver);
  }

 private:
  cups_dinfo_t* Info() {
    if (!info_) info_ = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest_.get());
    return info_;
  }
  DestPtr dest_;
  cups_dinfo_t* info_ = nullptr;
};

}  // namespace

QueuePtr FindCupsQueue(const std::string& name) {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
  if (!dest) {
    const bool down = cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || !SchedulerAnswers();
    NoteJobFailure(ErrorCode::kCannotOpenPrinter, down ? "the print service is not running" : "no printer named '" + name + "'");
    return nullptr;
  }
  return std::make_shared<CupsQueue>(DestPtr(dest, DestsDeleter{1}));
}

std::vector<std::string> CupsQueueNames() {
  cups_dest_t* dests = nullptr;
  const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i)
    if (!dests[i].instance) names.push_back(dests[i].name);
  cupsFreeDests(n, dests);
  return names;
}

}  // namespace ktfolio::win::spooler
