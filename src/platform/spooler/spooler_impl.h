// Private to src/platform/spooler/*.cpp: a print queue as the spooler sees it,
// the backends that provide queues, and the paper sizes drivers know.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/automation/error.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/spooler/spooler.h"

namespace ktfolio::win::spooler {

// The steps of a job a queue may refuse (test queues do, to exercise failures).
enum class Step { OpenPrinter, SizeDevMode, FillDevMode, CreateDC, StartDoc, StartPage, EndPage, EndDoc, AbortDoc,
                  DeleteDC, ClosePrinter };

// What the driver makes of a DEVMODE: page size in tenths of a millimetre
// (already turned for landscape) and the copies asked for.
struct JobSettings {
  int widthTenthMm = 2100;
  int heightTenthMm = 2970;
  bool landscape = false;
  int paperSize = DMPAPER_A4;
  int copies = 1;
  std::vector<BYTE> devmode;  // the record as the caller passed it (empty: none)
};

class Queue {
 public:
  virtual ~Queue() = default;
  virtual std::string Name() const = 0;
  virtual std::string Port() const = 0;
  virtual int MaxCopies() = 0;  // negative when unknown
  virtual int Dpi() { return 600; }
  virtual DEVMODE Defaults();
  // Counts the step and says whether it may go on.
  virtual bool Allows(Step step) { return true; }
  // The driver of one printer context; its `path` is where the context writes
  // the PDF. nullptr when the queue cannot take a job now.
  virtual std::unique_ptr<class JobDriver> MakeDriver(const JobSettings& job) = 0;
};
using QueuePtr = std::shared_ptr<Queue>;

// A warning for JobWarnings(), and the cause of a failing step for
// fileio::LastFailure(), both in one line.
void AddJobWarning(std::string text);
void NoteJobFailure(ErrorCode number, std::string cause);

// Backends, looked up in this order by name (nullptr: not theirs).
QueuePtr FindTestQueue(const std::string& name);
QueuePtr FindPdfQueue(const std::string& name);
QueuePtr FindCupsQueue(const std::string& name);
QueuePtr FindQueue(const std::string& name);
std::vector<std::string> TestQueueNames();
std::vector<std::string> CupsQueueNames();

// A driver that asks its queue before each step (test queues refuse some).
class CheckingDriver : public PrinterDriver {
 public:
  explicit CheckingDriver(QueuePtr queue) : queue_(std::move(queue)) {}
  bool StartDoc(const DOCINFO&) override { return queue_->Allows(Step::StartDoc); }
  bool StartPage() override { return queue_->Allows(Step::StartPage); }
  bool EndPage() override { return queue_->Allows(Step::EndPage); }
  bool EndDoc(const std::string&) override { return queue_->Allows(Step::EndDoc); }
  bool AbortDoc() override { return queue_->Allows(Step::AbortDoc); }
  bool DeleteDC() override { return queue_->Allows(Step::DeleteDC); }

 protected:
  QueuePtr queue_;
};

class JobDriver : public CheckingDriver {
 public:
  using CheckingDriver::CheckingDriver;
  std::string path;
};

// ---- paper (paper.cpp) ----
struct Paper {
  int dmPaper;
  int widthTenthMm;
  int heightTenthMm;
  const char* pwg;  // the media name CUPS knows it by
};
// nullptr for a size not in the table.
const Paper* FindPaper(int dmPaper);
// The paper whose PWG media name is `pwg`, or nullptr.
const Paper* FindPaperByPwg(const std::string& pwg);
// Reads what a DEVMODE asks for over the queue's defaults.
JobSettings SettingsFrom(const DEVMODE& defaults, const DEVMODE* asked);

}  // namespace ktfolio::win::spooler
