// Test printers: in-process queues whose failures are chosen by the test.
#include "platform/spooler/spooler_testing.h"

#include <strings.h>

#include "platform/spooler/spooler_impl.h"

namespace ktfolio::win::spooler {

namespace {

using testing::Fault;

const char* StepName(Step s) {
  static const char* const names[] = {"OpenPrinter", "SizeDevMode", "FillDevMode", "CreateDC",
                                      "StartDoc",    "StartPage",   "EndPage",     "EndDoc",
                                      "AbortDoc",    "DeleteDC",    "ClosePrinter"};
  return names[static_cast<int>(s)];
}

class TestQueue : public Queue, public std::enable_shared_from_this<TestQueue> {
 public:
  explicit TestQueue(testing::TestPrinter p) : p_(std::move(p)) {}
  std::string Name() const override { return p_.name; }
  std::string Port() const override { return p_.port; }
  int MaxCopies() override {
    log_.calls.push_back("DeviceCapabilities");
    return p_.maxCopies;
  }
  bool Allows(Step step) override {
    log_.calls.push_back(StepName(step));
    const int n = ++counts_[step];
    auto it = p_.failAt.find(static_cast<Fault>(step));
    return it == p_.failAt.end() || it->second != n;
  }
  std::unique_ptr<JobDriver> MakeDriver(const JobSettings& job) override {
    log_.devmode = job.devmode;
    ++log_.contexts;
    auto driver = std::make_unique<JobDriver>(shared_from_this());
    driver->path = p_.output;
    return driver;
  }
  const testing::TestPrinterLog& log() const { return log_; }

 private:
  testing::TestPrinter p_;
  testing::TestPrinterLog log_;
  std::map<Step, int> counts_;
};

std::vector<std::shared_ptr<TestQueue>>& Queues() {
  static std::vector<std::shared_ptr<TestQueue>> queues;
  return queues;
}

std::shared_ptr<TestQueue> Find(const std::string& name) {
  for (auto& q : Queues())
    if (strcasecmp(q->Name().c_str(), name.c_str()) == 0) return q;
  return nullptr;
}

}  // namespace

QueuePtr FindTestQueue(const std::string& name) { return Find(name); }

std::vector<std::string> TestQueueNames() {
  std::vector<std::string> names;
  for (auto& q : Queues()) names.push_back(q->Name());
  return names;
}

namespace testing {

void AddTestPrinter(const TestPrinter& printer) {
  auto& queues = Queues();
  std::erase_if(queues, [&](const auto& q) { return strcasecmp(q->Name().c_str(), printer.name.c_str()) == 0; });
  queues.push_back(std::make_shared<TestQueue>(printer));
}

void RemoveTestPrinters() { Queues().clear(); }

const TestPrinterLog& TestPrinterLogOf(const std::string& name) {
  static const TestPrinterLog none;
  auto q = Find(name);
  return q ? q->log() : none;
}

}  // namespace testing
}  // namespace ktfolio::win::spooler
