// The listing job's floor: the same pages as ours (a title and a column header
// in a grid, 37 body rows of five cells in a grid, "Page x of y"; a text too
// wide for its cell cut at the cell's edge) drawn straight on a Cairo PDF
// surface with fixed geometry, glyphs looked up once, one stroked grid path
// and one show_glyphs call per page, plus one clip and call for the cut texts
// of a page that has any. Beside it, in the same sitting, our
// listing job; the table gives each one's CPU time per page and the ratio
// (target: at most 1.3) with ours on one process, then the wall time per page
// of ours on every core (long documents are drawn in pieces by several
// processes) beside the floor's, and our one-process job's peak memory
// (target at 1 000 000 rows: below 350 MB; --sizes 10000,100000,1000000 runs it).
//
//   cairo_floor [--sizes 10000,100000] [--repeat N]   the table (runs listing_job next to it)
//   cairo_floor run N FILE                             one floor job
#include <cairo-pdf.h>
#include <cairo.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Our listing's page, in points: A4 as a 600 dpi printer has it, inch
// margins, the columns at the listing's twips / 20, text 3.96 pt in from a
// cell's left edge, 37 rows of 18.48 pt; the title and column heads in the
// page header, the footer below the body, hairline rules of one printer dot.
constexpr double kWidth = 595.2, kHeight = 841.8, kMargin = 72, kPad = 3.96, kRule = 0.12;
constexpr std::array<double, 5> kColumns = {0, 70, 290, 340, 400};
constexpr double kRight = 523.2, kFontSize = 9, kRowHeight = 18.48, kBaseline = 12.3, kLineHeight = 10.32;
constexpr double kTitleBaseline = 42.36, kHeadTop = 48.54, kBodyTop = 72.06, kFooterBaseline = 811.2;
constexpr int kRowsPerPage = 37;

struct Glyphs {
  cairo_scaled_font_t* font;
  std::array<unsigned long, 128> index{};
  std::array<double, 128> advance{};

  explicit Glyphs(cairo_t* cr) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kFontSize);
    font = cairo_get_scaled_font(cr);
    for (int c = 32; c < 127; ++c) {
      const char s[2] = {static_cast<char>(c), 0};
      cairo_glyph_t* g = nullptr;
      int n = 0;
      cairo_scaled_font_text_to_glyphs(font, 0, 0, s, 1, &g, &n, nullptr, nullptr, nullptr);
      cairo_text_extents_t e;
      cairo_scaled_font_glyph_extents(font, g, n, &e);
      index[c] = n ? g[0].index : 0;
      advance[c] = e.x_advance;
      cairo_glyph_free(g);
    }
  }
  double Width(const char* s) const {
    double w = 0;
    for (; *s; ++s) w += advance[static_cast<unsigned char>(*s) & 0x7F];
    return w;
  }
  void Add(std::vector<cairo_glyph_t>& out, const char* s, double x, double y) const {
    for (; *s; ++s) {
      const auto c = static_cast<unsigned char>(*s) & 0x7F;
      out.push_back({index[c], x, y});
      x += advance[c];
    }
  }
};

// The grid of a table from `top` to `bottom` whose rows end at each multiple
// of the row height: a rule under every row, the column edges drawn through.
void Grid(cairo_t* cr, double top, double bottom) {
  for (double y = top; y <= bottom + 0.01; y += kRowHeight) {
    cairo_move_to(cr, kMargin, y);
    cairo_line_to(cr, kRight, y);
  }
  for (double c : kColumns) {
    cairo_move_to(cr, kMargin + c, top);
    cairo_line_to(cr, kMargin + c, bottom);
  }
  cairo_move_to(cr, kRight, top);
  cairo_line_to(cr, kRight, bottom);
}

// A cell's text; one too wide for its column is cut at the column's text
// edge, as ours cuts it: those wait for the page's one clip.
struct Page {
  std::vector<cairo_glyph_t> text, cut;
  std::vector<std::array<double, 4>> cuts;  // x, y, width, height

  void Cell(const Glyphs& g, const char* s, int column, double rowTop) {
    const double left = kMargin + kColumns[column] + kPad;
    const double right = (column + 1 < 5 ? kMargin + kColumns[column + 1] : kRight) - kPad;
    const double baseline = rowTop + kBaseline;
    if (g.Width(s) <= right - left) {
      g.Add(text, s, left, baseline);
      return;
    }
    g.Add(cut, s, left, baseline);
    cuts.push_back({left, rowTop + (kRowHeight - kLineHeight) / 2, right - left, kLineHeight});
  }
};

int RunFloor(int rows, const char* file) {
  cairo_surface_t* surface = cairo_pdf_surface_create(file, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  const Glyphs glyphs(cr);
  const int pages = std::max(1, (rows + kRowsPerPage - 1) / kRowsPerPage);
  static const char* const kHeads[] = {"Code", "Description", "Qty", "Price", "Total"};
  Page page;
  char texts[5][64];
  for (int p = 1, row = 0; p <= pages; ++p) {
    page.text.clear();
    page.cut.clear();
    page.cuts.clear();
    glyphs.Add(page.text, "Sales listing", kMargin + kPad, kTitleBaseline);
    for (int c = 0; c < 5; ++c) page.Cell(glyphs, kHeads[c], c, kHeadTop);
    double y = kBodyTop;
    for (int k = 0; k < kRowsPerPage && row < rows; ++k, ++row, y += kRowHeight) {
      std::snprintf(texts[0], 64, "A%06d", row);
      std::snprintf(texts[1], 64, "Item number %d with a longer description", row);
      std::snprintf(texts[2], 64, "%d", row % 17);
      std::snprintf(texts[3], 64, "%.2f", row * 1.25);
      std::snprintf(texts[4], 64, "%.2f", (row % 17) * row * 1.25);
      for (int c = 0; c < 5; ++c) page.Cell(glyphs, texts[c], c, y);
    }
    Grid(cr, kHeadTop, kHeadTop + kRowHeight);
    Grid(cr, kBodyTop, y);
    char footer[64];
    std::snprintf(footer, sizeof footer, "Page %d of %d", p, pages);
    glyphs.Add(page.text, footer, kMargin + kPad, kFooterBaseline);
    cairo_set_line_width(cr, kRule);
    cairo_stroke(cr);
    cairo_set_scaled_font(cr, glyphs.font);
    cairo_show_glyphs(cr, page.text.data(), static_cast<int>(page.text.size()));
    if (!page.cut.empty()) {
      cairo_save(cr);
      for (const auto& r : page.cuts) cairo_rectangle(cr, r[0], r[1], r[2], r[3]);
      cairo_clip(cr);
      cairo_show_glyphs(cr, page.cut.data(), static_cast<int>(page.cut.size()));
      cairo_restore(cr);
    }
    cairo_show_page(cr);
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  std::printf("pages=%d\n", pages);
  return ok ? 0 : 1;
}

struct Run {
  double cpu = 0;  // user + system seconds, the job's processes together
  double wall = 0;
  long peakKb = 0;
  int pages = 0;
  bool ok = false;
};

// Runs argv as a child; its CPU time and the page count it prints.
Run Measure(const std::vector<std::string>& argv) {
  Run r;
  int fd[2];
  if (pipe(fd) != 0) return r;
  std::fflush(stdout);
  const auto t0 = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fd[1], STDOUT_FILENO);
    close(fd[0]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(fd[1]);
  std::string out;
  char buf[256];
  for (ssize_t n; (n = read(fd[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
  close(fd[0]);
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return r;
  r.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  r.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  r.peakKb = usage.ru_maxrss;
  const std::size_t at = out.find("pages=");
  r.pages = at == std::string::npos ? 0 : std::atoi(out.c_str() + at + 6);
  r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && r.pages > 0;
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && !std::strcmp(argv[1], "run")) return RunFloor(std::atoi(argv[2]), argv[3]);
  std::vector<int> sizes = {10000, 100000};
  int repeat = 3;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::printf("usage: cairo_floor [--sizes LIST] [--repeat N]\n       cairo_floor run N FILE\n");
      return 0;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "cairo_floor: %s needs a value\n", a.c_str());
      return 2;
    }
    const std::string v = argv[++i];
    if (a == "--sizes") {
      sizes.clear();
      for (std::size_t p = 0; p < v.size();) {
        sizes.push_back(std::atoi(v.c_str() + p));
        p = v.find(',', p);
        p = p == std::string::npos ? v.size() : p + 1;
      }
    } else if (a == "--repeat") {
      repeat = std::max(1, std::atoi(v.c_str()));
    } else {
      std::fprintf(stderr, "cairo_floor: unknown option %s\n", a.c_str());
      return 2;
    }
  }
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  const std::string ours = (self.parent_path() / "listing_job").string();
  const std::string out = std::filesystem::temp_directory_path() / "ktfolio_cairo_floor";
  std::filesystem::create_directories(out);
  std::printf("least of %d interleaved runs; CPU per page on one process (target ratio <= 1.3), wall time per page "
              "on every core\n", repeat);
  std::printf("%8s | %18s | %18s | %6s | %16s | %16s | %6s | %8s\n", "rows", "ktfolio 1 CPU", "floor CPU", "ratio",
              "ktfolio all wall", "floor wall", "ratio", "peak");
  for (int n : sizes) {
    const std::string N = std::to_string(n);
    Run best[3];  // ours on one process (least CPU), ours on every core (least wall), the floor (least of each)
    Run floorWall;
    for (int k = 0; k < repeat; ++k) {
      const Run runs[3] = {Measure({ours, "run", N, out + "/ktfolio.pdf", "--jobs", "1"}),
                           Measure({ours, "run", N, out + "/ktfolio-all.pdf"}),
                           Measure({self.string(), "run", N, out + "/floor.pdf"})};
      for (int j : {0, 2})
        if (runs[j].ok && (!best[j].ok || runs[j].cpu < best[j].cpu)) best[j] = runs[j];
      if (runs[1].ok && (!best[1].ok || runs[1].wall < best[1].wall)) best[1] = runs[1];
      if (runs[2].ok && (!floorWall.ok || runs[2].wall < floorWall.wall)) floorWall = runs[2];
    }
    if (!best[0].ok || !best[1].ok || !best[2].ok) {
      std::printf("%8d | a job failed\n", n);
      continue;
    }
    const double a = best[0].cpu / best[0].pages * 1000, b = best[2].cpu / best[2].pages * 1000;
    const double c = best[1].wall / best[1].pages * 1000, d = floorWall.wall / floorWall.pages * 1000;
    std::printf("%8d | %6.3f ms (%5d p) | %6.3f ms (%5d p) | %5.2fx | %6.3f ms/page | %6.3f ms/page | %5.2fx | %5ld MB\n",
                n, a, best[0].pages, b, best[2].pages, a / b, c, d, c / d, best[0].peakKb / 1024);
  }
  return 0;
}
