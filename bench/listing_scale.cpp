// The listing job at scale: N rows x 5 cells with a header, a "Page %p of %n"
// footer and a grid, built row by row with AddRow, then paginated again with
// RePaging. Prints, per N, the building cost per row, the RePaging cost per
// row and the memory per cell (peak RSS above an empty control, divided by
// the cells). Each N runs in a child process, so peak RSS is that job's alone.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "control/ktprint4_impl.h"
#include "listing_document.h"

using namespace ktfolio;

namespace {

constexpr int kCellsPerRow = 5;
constexpr int kRePagingRuns = 5;

const char* const kHelp =
    "usage: listing_scale [--sizes 10000,100000,1000000] [--baseline BUILD_DIR]\n"
    "       listing_scale --child N [--save FILE] | --child-load FILE N\n"
    "\n"
    "Builds the listing job (N rows x 5 cells, header, \"Page %p of %n\" footer, grid)\n"
    "with AddRow for each N, in a child process per N, and prints:\n"
    "  build us/row   CPU time of the AddRow loop (formatting included) divided by N;\n"
    "                 a last line gives the formatting alone, to take away from it\n"
    "  repage ns/row  best of 5 RePaging(1) of the whole body, divided by N\n"
    "  bytes/cell     peak RSS of the child above its RSS with an empty control,\n"
    "                 divided by the N x 5 body cells\n"
    "Then, per N, the same document saved as a template and loaded in a fresh\n"
    "process (LoadFromTemplate), beside the built one:\n"
    "  held B/cell    RSS once the document is complete (built: after the AddRow\n"
    "                 loop; loaded: after LoadFromTemplate) above the empty control\n"
    "  peak B/cell    peak RSS above the empty control\n"
    "  loaded/built   the held figures' ratio; the target is at most 1.10\n"
    "\n"
    "--baseline BUILD_DIR adds the same figures for another build of this program,\n"
    "BUILD_DIR/bin/listing_scale (run as BUILD_DIR/bin/listing_scale --child N).\n"
    "To compare with an older commit: make a worktree of it, copy this file and the\n"
    "listing_scale lines of bench/CMakeLists.txt into it, build the target there,\n"
    "and pass that tree's build folder. The program uses only AddRow, RePaging,\n"
    "templates and page and default-cell setters that every version of the control has.\n";

constexpr double kLoadedTarget = 1.10;

long RssKiB() {
  // Current resident set, from /proc (ru_maxrss is only the peak).
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0;
  long pages = 0, resident = 0;
  const int got = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  return got == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

// Process CPU time: the job is single-threaded, and wall time on a shared
// machine measures the neighbours too.
double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// CPU time per row of making the rows' texts without adding them.
double FormattingUs(int n) {
  listing::RowTexts t;
  std::size_t sink = 0;
  const double t0 = CpuSeconds();
  for (int i = 0; i < n; ++i) {
    listing::Format(i, t);
    sink += t.description.size() + t.code[1];
  }
  const double us = (CpuSeconds() - t0) * 1e6 / n;
  if (sink == 0) std::printf("\n");  // keeps the loop from being optimised away
  return us;
}

long PeakKiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}


// One job: prints "build_us=... repage_ns=... bytes_per_cell=... pages=... held_per_cell=...",
// then saves the document as a template when asked.
int RunChild(int n, const char* save) {
  KtPrint4Impl c;
  listing::SetUp(c);
  const long emptyKiB = RssKiB();
  const double t0 = CpuSeconds();
  for (int i = 0; i < n; ++i) {
    if (!listing::AddRow(c, i)) {
      std::fprintf(stderr, "listing_scale: AddRow failed at row %d\n", i + 1);
      return 1;
    }
  }
  const double build = CpuSeconds() - t0;
  const double cells = static_cast<double>(n) * kCellsPerRow;
  const double held = (RssKiB() - emptyKiB) * 1024.0 / cells;
  double best = 1e30;
  for (int r = 0; r < kRePagingRuns; ++r) {
    const double p0 = CpuSeconds();
    c.RePaging(1, false);
    best = std::min(best, CpuSeconds() - p0);
  }
  const double bytesPerCell = (PeakKiB() - emptyKiB) * 1024.0 / cells;
  std::printf("build_us=%.3f repage_ns=%.2f bytes_per_cell=%.1f pages=%d held_per_cell=%.1f\n", build * 1e6 / n,
              best * 1e9 / n, bytesPerCell, c.Pages(), held);
  std::fflush(stdout);
  if (save && !c.SaveAsTemplate(save)) {
    std::fprintf(stderr, "listing_scale: could not save %s\n", save);
    return 1;
  }
  return 0;
}

// The saved job loaded: prints "held_per_cell=... peak_per_cell=... load_ms=...".
int RunLoad(const char* file, int n) {
  KtPrint4Impl c;
  // The same start as the built job's (its fonts loaded, the text engine
  // started), so that only the document is counted; loading replaces it all.
  listing::SetUp(c);
  const long emptyKiB = RssKiB();
  const double t0 = CpuSeconds();
  if (!c.LoadFromTemplate(file) || c.LastRow() != n) {
    std::fprintf(stderr, "listing_scale: %s did not load as %d rows\n", file, n);
    return 1;
  }
  const double ms = (CpuSeconds() - t0) * 1e3;
  const double cells = static_cast<double>(n) * kCellsPerRow;
  std::printf("held_per_cell=%.1f peak_per_cell=%.1f load_ms=%.0f\n", (RssKiB() - emptyKiB) * 1024.0 / cells,
              (PeakKiB() - emptyKiB) * 1024.0 / cells, ms);
  return 0;
}

struct Figures {
  double buildUs = 0, repageNs = 0, bytesPerCell = 0, heldPerCell = 0;
  int pages = 0;
  bool ok = false;
};

// Runs `cmd` and gives its first line of output, or nothing when it fails.
std::optional<std::string> FirstLine(const std::string& cmd) {
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return std::nullopt;
  char line[512] = {};
  const bool got = std::fgets(line, sizeof line, p) != nullptr;
  while (std::fgetc(p) != EOF) {
  }
  const int status = pclose(p);
  if (!got || status != 0) return std::nullopt;
  return std::string(line);
}

// Runs `program --child n` and reads its one line of figures (an older build
// prints no held figure).
Figures RunJob(const std::string& program, int n, const std::string& save = "") {
  Figures f;
  std::string cmd = "'" + program + "' --child " + std::to_string(n);
  if (!save.empty()) cmd += " --save '" + save + "'";
  const std::optional<std::string> line = FirstLine(cmd);
  if (!line) return f;
  const int got = std::sscanf(line->c_str(), "build_us=%lf repage_ns=%lf bytes_per_cell=%lf pages=%d held_per_cell=%lf",
                              &f.buildUs, &f.repageNs, &f.bytesPerCell, &f.pages, &f.heldPerCell);
  f.ok = got >= 4;
  return f;
}

struct Loaded {
  double heldPerCell = 0, peakPerCell = 0, ms = 0;
  bool ok = false;
};

Loaded RunLoadJob(const std::string& program, const std::string& file, int n) {
  Loaded l;
  const std::optional<std::string> line =
      FirstLine("'" + program + "' --child-load '" + file + "' " + std::to_string(n));
  if (line)
    l.ok = std::sscanf(line->c_str(), "held_per_cell=%lf peak_per_cell=%lf load_ms=%lf", &l.heldPerCell,
                       &l.peakPerCell, &l.ms) == 3;
  return l;
}

std::string Row(const char* label, int n, const Figures& f) {
  char buf[160];
  if (!f.ok)
    std::snprintf(buf, sizeof buf, "%-9s %9d | failed", label, n);
  else
    std::snprintf(buf, sizeof buf, "%-9s %9d | %10.3f | %12.2f | %10.1f | %7d", label, n, f.buildUs, f.repageNs,
                  f.bytesPerCell, f.pages);
  return buf;
}

std::vector<int> ParseSizes(const std::string& s) {
  std::vector<int> out;
  std::stringstream in(s);
  std::string part;
  while (std::getline(in, part, ',')) out.push_back(std::stoi(part));
  return out;
}

}  // namespace

// The loaded document beside the built one, for every size.
void CompareLoaded(const std::string& program, const std::vector<int>& sizes) {
  const std::string file =
      (std::filesystem::temp_directory_path() / ("listing_scale_" + std::to_string(getpid()) + ".ktt")).string();
  std::printf("\n%9s | %14s %14s | %14s %14s | %12s %7s | %8s\n", "rows", "built held B/c", "built peak B/c",
              "loaded held B/c", "loaded peak B/c", "loaded/built", "target", "load ms");
  for (int n : sizes) {
    const Figures built = RunJob(program, n, file);
    const Loaded loaded = built.ok ? RunLoadJob(program, file, n) : Loaded{};
    std::filesystem::remove(file);
    if (!loaded.ok) {
      std::printf("%9d | failed\n", n);
      continue;
    }
    const double ratio = loaded.heldPerCell / built.heldPerCell;
    std::printf("%9d | %14.1f %14.1f | %15.1f %15.1f | %12.3f %7s | %8.0f%s\n", n, built.heldPerCell,
                built.bytesPerCell, loaded.heldPerCell, loaded.peakPerCell, ratio, "<= 1.10", loaded.ms,
                ratio <= kLoadedTarget ? "" : "  (over the target)");
    std::fflush(stdout);
  }
}

int main(int argc, char** argv) {
  std::vector<int> sizes = {10000, 100000, 1000000};
  std::optional<std::string> baseline;
  std::optional<int> child;
  const char* save = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "listing_scale: %s needs a value\n%s", a.c_str(), kHelp);
      return 2;
    }
    const std::string v = argv[++i];
    if (a == "--child-load" && i + 1 < argc) return RunLoad(v.c_str(), std::atoi(argv[i + 1]));
    if (a == "--child") child = std::atoi(v.c_str());
    else if (a == "--save") save = argv[i];
    else if (a == "--sizes") sizes = ParseSizes(v);
    else if (a == "--baseline") baseline = v;
    else {
      std::fprintf(stderr, "listing_scale: unknown option %s\n%s", a.c_str(), kHelp);
      return 2;
    }
  }
  if (child) return RunChild(*child, save);
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  std::string other;
  if (baseline) {
    other = *baseline + "/bin/listing_scale";
    if (!std::filesystem::exists(other)) {
      std::fprintf(stderr, "listing_scale: no %s (see --help)\n", other.c_str());
      return 2;
    }
  }
  std::printf("%-9s %9s | %10s | %12s | %10s | %7s\n", "build", "rows", "us/row", "repage ns/row", "bytes/cell",
              "pages");
  for (int n : sizes) {
    std::printf("%s\n", Row("this", n, RunJob(self, n)).c_str());
    std::fflush(stdout);
    if (baseline) {
      std::printf("%s\n", Row("baseline", n, RunJob(other, n)).c_str());
      std::fflush(stdout);
    }
  }
  if (sizes.empty()) return 0;
  const int most = *std::max_element(sizes.begin(), sizes.end());
  std::printf("formatting the rows' texts alone (in every build's loop): %.3f us/row\n", FormattingUs(most));
  CompareLoaded(self, sizes);
  if (baseline) {
    std::printf("baseline:");
    CompareLoaded(other, sizes);
  }
  return 0;
}
