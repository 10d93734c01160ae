// Document-core benchmarks: appending rows with height fitting, and paginating
// a large body. Pagination must stay linear in the number of rows.
#include <benchmark/benchmark.h>

#include "control/ktprint4_impl.h"

using namespace ktfolio;

// Appends rows of five text cells one by one; every row is measured with real fonts.
static void BM_AppendRows(benchmark::State& state) {
  const auto rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    KtPrint4Impl c;
    c.dColsPerRow(5);
    const VariantArray items{Variant("Item"), Variant("A description of the item"), Variant(12),
                             Variant(3.75), Variant("Warehouse 7")};
    for (int i = 0; i < rows; ++i) c.AddRow(items);
    benchmark::DoNotOptimize(c.LastRow());
    state.PauseTiming();
    c.ClearAll();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_AppendRows)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Paginates the whole body of n rows (built once, outside the timing).
static void BM_RePaging(benchmark::State& state) {
  const auto rows = static_cast<int>(state.range(0));
  KtPrint4Impl c;
  c.dFitHeightToText(false);
  c.dRowHeight(280);
  c.RowSpacing(20);
  const VariantArray items{Variant("x")};
  for (int i = 0; i < rows; ++i) {
    c.AddRow(items);
    if (i % 500 == 499) c.SetPageBreak(c.LastRow());
  }
  for (auto _ : state) {
    c.RePaging(1, false);
    benchmark::DoNotOptimize(c.Pages());
  }
  state.SetItemsProcessed(state.iterations() * rows);
  state.SetComplexityN(rows);
}
BENCHMARK(BM_RePaging)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// Outlines one row of n cells with the default pen: each cell's pen style
// changes, and the row must still be measured once, not once per cell.
static void BM_OutLineBlockOneRow(benchmark::State& state) {
  const auto cells = static_cast<int>(state.range(0));
  KtPrint4Impl c;
  c.dColsPerRow(cells);
  c.AddRow();
  for (auto _ : state) {
    benchmark::DoNotOptimize(c.OutLineBlock(1, ppLineLeft | ppLineRight | ppLineTop | ppLineBottom, 1, 0));
  }
  state.SetItemsProcessed(state.iterations() * cells);
  state.SetComplexityN(cells);
}
BENCHMARK(BM_OutLineBlockOneRow)->Arg(1000)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
