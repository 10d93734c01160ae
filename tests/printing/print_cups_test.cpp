// Printing for real through CUPS to a cups-pdf queue: the job arrives as a PDF
// with its pages and its title. Starts a CUPS server when none runs (and stops
// it afterwards); skipped, saying why, only where none can be started.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/fileio/fileio.h"
#include "platform/spooler/spooler.h"
#include "render/render_test_util.h"
#include "support/pdf.h"

extern char** environ;

namespace ktfolio::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kQueue = "ktfolio-pdf";
constexpr auto kServerWait = std::chrono::seconds(5);
constexpr auto kJobWait = std::chrono::seconds(20);  // cups-pdf runs Ghostscript on a shared machine

bool SchedulerRunning() { return Run("lpstat -r 2>&1").find("scheduler is running") != std::string::npos; }

bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }
bool Fail(std::string& why, const char* because) { return why = because, false; }

// The CUPS server and queue the tests print to, set up once per test program.
// CTest runs each test in a process of its own, two at a time: a lock keeps
// them from pausing the queue under each other's job or stopping the server
// the other uses.
class CupsServer {
 public:
  bool Start(std::string& why) {
    lock_ = open("/tmp/ktfolio-cups-tests.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock_ >= 0) flock(lock_, LOCK_EX);
    if (!SchedulerRunning() && !Launch(why)) return false;
    if (!Shell(std::string("lpstat -v ") + kQueue)) {
      if (!Shell(std::string("lpadmin -p ") + kQueue + " -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"))
        return Fail(why, "cannot add the cups-pdf queue (is printer-driver-cups-pdf installed?)");
      addedQueue_ = true;
    }
    return true;
  }
  ~CupsServer() {
    if (addedQueue_) Shell(std::string("lpadmin -x ") + kQueue);
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (lock_ >= 0) close(lock_);
  }

 private:
  bool Launch(std::string& why) {
    if (geteuid() != 0) return Fail(why, "no CUPS server runs and only root can start one");
    if (access("/usr/sbin/cupsd", X_OK) != 0) return Fail(why, "no CUPS server runs and cupsd is not installed");
    mkdir("/run/cups", 0755);
    const char* argv[] = {"/usr/sbin/cupsd", "-f", nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const int failed = posix_spawn(&pid_, argv[0], &quiet, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (failed) return pid_ = 0, Fail(why, "cannot start cupsd");
    for (const auto until = Clock::now() + kServerWait; Clock::now() < until;) {
      if (SchedulerRunning()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return Fail(why, "cupsd started but its scheduler did not answer within 5 s");
  }

  pid_t pid_ = 0;
  bool addedQueue_ = false;
  int lock_ = -1;
};

// The newest cups-pdf output made after `since` whose name comes from `title`'s
// letters, once Ghostscript has finished it; "" when none came in time.
std::string WaitForJobPdf(fs::file_time_type since, const std::string& namePrefix, const std::string& other = "") {
  const fs::path dir = fs::path(std::getenv("HOME") ? std::getenv("HOME") : "/root") / "PDF";
  for (const auto until = Clock::now() + kJobWait; Clock::now() < until;
       std::this_thread::sleep_for(std::chrono::milliseconds(200))) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(namePrefix, 0) != 0 || entry.last_write_time(ec) < since || entry.path() == other) continue;
      // Complete once pdfinfo can read it.
      if (!PdfField(entry.path().string(), "Pages").empty()) return entry.path().string();
    }
  }
  return "";
}

class CupsPrintTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new CupsServer;
    if (!server_->Start(why_)) {
      delete server_;
      server_ = nullptr;
    }
  }
  static void TearDownTestSuite() { delete server_; server_ = nullptr; }
  void SetUp() override {
    if (!server_) GTEST_SKIP() << "no CUPS server: " << why_;
  }
  static CupsServer* server_;
  static std::string why_;
};
CupsServer* CupsPrintTest::server_ = nullptr;
std::string CupsPrintTest::why_;

// One test: the server is shared by everything in this program.
TEST_F(CupsPrintTest, AJobOfThreePagesArrivesAsAPdfOfThreePagesUnderTheJobsTitle) {
  ASSERT_NE(std::find(win::spooler::PrinterNames().begin(), win::spooler::PrinterNames().end(), kQueue),
            win::spooler::PrinterNames().end());
  KtPrint4Impl c;
  for (int p = 1; p <= 4; ++p) {
    c.AddRow("Cups page " + std::to_string(p));
    if (p > 1) c.SetPageBreak(c.LastRow());
  }
  c.PrinterName(kQueue);
  // File times have a coarser clock than steady time: start a little earlier.
  const auto since = fs::file_time_type::clock::now() - std::chrono::seconds(1);
  c.PrintDoc(2, 4);
  EXPECT_EQ(LastErrorNumber(c), 0);
  const std::string pdf = WaitForJobPdf(since, "Folio_s_Job");
  ASSERT_FALSE(pdf.empty()) << "no PDF from cups-pdf within the time allowed";
  EXPECT_EQ(PdfField(pdf, "Pages"), "3");
  EXPECT_NE(PdfField(pdf, "Title").find("Folio's Job"), std::string::npos);
  // cups-pdf's Ghostscript turns text into outlines, so look for ink (clearly darker than paper) instead.
  for (int page = 1; page <= 3; ++page) EXPECT_GT(RasterisePdf(pdf, 72, page).Ink({}, 200).second, 0) << page;

  // Landscape letter: the job asks for letter paper turned once, as a
  // printer does it: the sheet stays portrait and the page's top-left text
  // lands at the sheet's bottom-left, running upwards.
  c.PageSize(s_LETTER);
  c.Orientation(Landscape);
  c.PrintDoc(1, 1, false, 2);
  EXPECT_EQ(LastErrorNumber(c), 0);
  const std::string landscape = WaitForJobPdf(since, "Folio_s_Job", pdf);
  ASSERT_FALSE(landscape.empty()) << "no PDF for the landscape job";
  EXPECT_NE(PdfField(landscape, "Page size").find("(letter)"), std::string::npos);
  const GreyPage sheet = RasterisePdf(landscape, 72);
  const auto [ink, count] = sheet.Ink({}, 200);
  ASSERT_GT(count, 0);
  EXPECT_LT(ink.right, sheet.width / 4) << "text near the sheet's left edge";
  EXPECT_GT(ink.top, sheet.height / 2) << "text in the sheet's lower half";
  EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left) << "the line runs upwards";
  if (!HasFailure()) {
    fs::remove(pdf);
    fs::remove(landscape);
  }
}

TEST_F(CupsPrintTest, APausedQueueTakesTheJobWithAWarningAndARejectingQueueIsNamed) {
  KtPrint4Impl c;
  c.AddRow("queued");
  c.PrinterName(kQueue);
  ASSERT_TRUE(Shell(std::string("cupsdisable ") + kQueue));
  c.PrintDoc(1, 1);
  Shell(std::string("cancel -a ") + kQueue);
  Shell(std::string("cupsenable ") + kQueue);
  EXPECT_EQ(LastErrorNumber(c), 0) << "a paused queue still takes the job";
  EXPECT_EQ(win::spooler::JobWarnings(),
            std::vector<std::string>{"queue '" + std::string(kQueue) + "' is paused: the job waits"});

  ASSERT_TRUE(Shell(std::string("cupsreject ") + kQueue));
  c.PrintDoc(1, 1);
  Shell(std::string("cupsaccept ") + kQueue);
  EXPECT_EQ(LastErrorNumber(c), ErrorCode::kCannotStartDocument);
  ASSERT_TRUE(fileio::LastFailure().has_value());
  EXPECT_EQ(fileio::LastFailure()->description(), "queue '" + std::string(kQueue) + "' rejects jobs");
}

}  // namespace
}  // namespace ktfolio::testing
