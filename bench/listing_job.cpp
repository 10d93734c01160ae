// The listing job side by side with its peers: N rows x 5 columns on A4, a
// repeated header, a "Page x of y" footer and a grid round every cell, written
// to PDF. Each run is a child process, so wall time and peak memory are the
// whole job's; the peers (ReportLab, pdfmake) run in the same sitting and the
// table prints our time as a fraction of theirs. Like theirs, our PDF is
// untagged there; the tagged column is the same job with its structure tree
// for screen readers, and what that costs (up to the rows a document is
// tagged at all). Ours runs twice: on every core (long documents are drawn
// in pieces by several processes) and on one.
//
//   listing_job [--sizes 1000,10000,50000,100000] [--reportlab-max N] [--pdfmake-max N]
//               [--peers DIR] [--node-modules DIR]
//   listing_job run N FILE [tagged] [--jobs J]   (one job of ours, used by the table)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "control/ktprint4_impl.h"
#include "listing_document.h"
#include "render/render_impl.h"

using namespace ktfolio;

namespace {

int RunOurs(int n, const std::string& file, bool tagged, int jobs) {
  KtPrint4Impl c;
  listing::SetUp(c);
  c.TaggedPdf(tagged);
  c.PdfJobs(jobs);
  for (int i = 0; i < n; ++i) listing::AddRow(c, i);
  const std::int16_t pages = c.Pages();
  if (!c.ExportPdf(file, 1, pages)) {
    std::int32_t e = 0;
    std::string d, s;
    c.GetLastError(e, d, s);
    std::fprintf(stderr, "listing_job: error %d (%s): %s\n", e, s.c_str(), d.c_str());
    return 1;
  }
  std::printf("pages=%d\n", pages);
  return 0;
}

struct Measured {
  double seconds = 0;
  long peakKiB = 0;
  bool ok = false;
};

// Runs argv as a child with its output discarded; wall time and peak RSS.
Measured Measure(const std::vector<std::string>& argv, const std::vector<std::string>& env = {}) {
  Measured m;
  std::fflush(stdout);  // the child must not print our buffered lines again
  const auto t0 = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    if (!freopen("/dev/null", "w", stdout)) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return m;
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  m.peakKiB = usage.ru_maxrss;
  m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return m;
}

std::vector<int> ParseSizes(const std::string& s) {
  std::vector<int> out;
  std::stringstream in(s);
  std::string part;
  while (std::getline(in, part, ',')) out.push_back(std::stoi(part));
  return out;
}

std::string Cell(const std::optional<Measured>& m) {
  if (!m) return "skipped";
  if (!m->ok) return "failed";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%8.3f s %6ld MB", m->seconds, m->peakKiB / 1024);
  return buf;
}

std::string Ratio(const Measured& ours, const std::optional<Measured>& peer) {
  if (!peer || !peer->ok || !ours.ok || ours.seconds <= 0) return "-";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1fx", peer->seconds / ours.seconds);
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && !std::strcmp(argv[1], "run")) {
    bool tagged = false;
    int jobs = 0;
    for (int i = 4; i < argc; ++i) {
      if (!std::strcmp(argv[i], "tagged")) tagged = true;
      else if (!std::strcmp(argv[i], "--jobs") && i + 1 < argc) jobs = std::atoi(argv[++i]);
      else return 2;
    }
    return RunOurs(std::atoi(argv[2]), argv[3], tagged, jobs);
  }
  std::vector<int> sizes = {1000, 10000, 50000, 100000};
  int reportlabMax = 50000, pdfmakeMax = 10000;
  std::string peers = KTFOLIO_PEERS_DIR, nodeModules = KTFOLIO_NODE_MODULES;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::printf("usage: listing_job [--sizes LIST] [--reportlab-max N] [--pdfmake-max N] [--peers DIR] "
                  "[--node-modules DIR]\n       listing_job run N FILE [tagged] [--jobs J]\n");
      return 0;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "listing_job: %s needs a value\n", a.c_str());
      return 2;
    }
    const std::string v = argv[++i];
    if (a == "--sizes") sizes = ParseSizes(v);
    else if (a == "--reportlab-max") reportlabMax = std::stoi(v);
    else if (a == "--pdfmake-max") pdfmakeMax = std::stoi(v);
    else if (a == "--peers") peers = v;
    else if (a == "--node-modules") nodeModules = v;
    else {
      std::fprintf(stderr, "listing_job: unknown option %s\n", a.c_str());
      return 2;
    }
  }
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string out = std::filesystem::temp_directory_path() / "ktfolio_listing_job";
  std::filesystem::create_directories(out);
  const bool haveReportlab = Measure({"/usr/bin/python3", "-c", "import reportlab"}).ok;
  const bool havePdfmake = std::filesystem::exists(nodeModules + "/pdfmake");
  std::printf("%8s | %-20s | %-20s %8s | %-20s %8s | %-20s %6s | %-20s %6s\n", "rows", "ktfolio", "reportlab", "ratio",
              "pdfmake", "ratio", "ktfolio tagged", "cost", "ktfolio 1 process", "gain");
  for (int n : sizes) {
    const std::string N = std::to_string(n);
    const Measured ours = Measure({self, "run", N, out + "/ktfolio-" + N + ".pdf"});
    // Past kMostTaggedRows body rows a document is written untagged whatever
    // TaggedPdf says: there is no tagged job to time.
    std::optional<Measured> tagged;
    if (n <= render::kMostTaggedRows)
      tagged = Measure({self, "run", N, out + "/ktfolio-tagged-" + N + ".pdf", "tagged"});
    const Measured single = Measure({self, "run", N, out + "/ktfolio-1-" + N + ".pdf", "--jobs", "1"});
    std::optional<Measured> rl, pm;
    if (haveReportlab && n <= reportlabMax)
      rl = Measure({"/usr/bin/python3", peers + "/reportlab_table.py", N, out + "/reportlab-" + N + ".pdf"});
    if (havePdfmake && n <= pdfmakeMax)
      pm = Measure({"node", peers + "/pdfmake_table.js", N, out + "/pdfmake-" + N + ".pdf"},
                   {"NODE_PATH=" + nodeModules});
    std::printf("%8d | %-20s | %-20s %8s | %-20s %8s | %-20s %6s | %-20s %6s\n", n, Cell(ours).c_str(),
                Cell(rl).c_str(), Ratio(ours, rl).c_str(), Cell(pm).c_str(), Ratio(ours, pm).c_str(),
                Cell(tagged).c_str(), Ratio(ours, tagged).c_str(), Cell(single).c_str(), Ratio(ours, single).c_str());
    std::fflush(stdout);
  }
  std::printf("ratio = peer time / ktfolio time (higher is better for ktfolio); cost = tagged time / untagged "
              "time (past %d rows a document is untagged: skipped); gain = one process's time / every core's; "
              "PDFs in %s\n", render::kMostTaggedRows, out.c_str());
  return 0;
}
