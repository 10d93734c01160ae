// Template text at scale: writing and reading a 100 000-row body of five
// cells a row whose attributes vary, in MB/s, with the process's peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <map>
#include <memory>
#include <random>

#include "control/ktprint4_impl.h"

namespace {

using namespace ktfolio;

constexpr int kCells = 5;

double PeakMegabytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Rows added unmeasured (heights fixed), then every cell restyled from a
// seeded generator, so both directions see realistic omission patterns.
void BuildDocument(KtPrint4Impl& c, int rows) {
  c.dFitHeightToText(false);
  c.dColsPerRow(kCells);
  std::mt19937 rng(42);
  auto pick = [&](int n) { return static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(n)); };
  const char* const words[] = {"Invoice", "caf\xC3\xA9", "\xE2\x82\xAC 12,50", "Total", "two\r\nlines", ""};
  for (int r = 0; r < rows; ++r) {
    c.AddRow();
    KtRow& row = *c.Rows(Body)->Item(c.LastRow());
    if (pick(10) == 0) row.RowHeight(static_cast<float>(250 + pick(200)));
    for (auto& cell : row.ItemText()) {
      cell->Text(std::string(words[pick(6)]) + std::to_string(pick(1000)));
      if (pick(3) == 0) cell->FontBold(pick(2) == 0);
      if (pick(4) == 0) cell->AlignPos(pick(12));
      if (pick(5) == 0) cell->FontSize(static_cast<float>(8 + pick(8)) + 0.5f * static_cast<float>(pick(2)));
      if (pick(6) == 0) cell->BrushColor(static_cast<std::uint32_t>(rng() & 0xFFFFFF));
      if (pick(8) == 0) cell->LineBottom(static_cast<std::int16_t>(pick(3)));
    }
  }
  c.RePaging();
}

// One document per size, built once and kept for the process.
KtPrint4Impl& Document(int rows) {
  static std::map<int, std::unique_ptr<KtPrint4Impl>> docs;
  auto& doc = docs[rows];
  if (!doc) {
    doc = std::make_unique<KtPrint4Impl>();
    BuildDocument(*doc, rows);
  }
  return *doc;
}

void BM_TemplateWrite(benchmark::State& state) {
  KtPrint4Impl& c = Document(static_cast<int>(state.range(0)));
  ByteArray dsn;
  const double before = PeakMegabytes();
  for (auto _ : state) {
    c.GetDsnArray(dsn);
    benchmark::DoNotOptimize(dsn.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(dsn.size()));
  state.counters["template_MB"] = static_cast<double>(dsn.size()) / 1e6;
  state.counters["peak_rss_MB"] = PeakMegabytes();
  state.counters["peak_growth_MB"] = PeakMegabytes() - before;
}

void BM_TemplateRead(benchmark::State& state) {
  const auto rows = static_cast<int>(state.range(0));
  ByteArray dsn;
  Document(rows).GetDsnArray(dsn);
  KtPrint4Impl c;
  const double before = PeakMegabytes();
  for (auto _ : state) {
    c.SetDsnArray(dsn);
    benchmark::DoNotOptimize(c.LastRow());
  }
  if (c.LastRow() != rows) state.SkipWithError("the document did not read back");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(dsn.size()));
  state.counters["peak_rss_MB"] = PeakMegabytes();
  state.counters["peak_growth_MB"] = PeakMegabytes() - before;
}

// Two sizes a decade apart: the times must scale by ten, not by a hundred.
BENCHMARK(BM_TemplateWrite)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TemplateRead)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
