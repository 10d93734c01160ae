// Drawing one page costs the same whatever the document's length: only that
// page's rows are visited. Also the cost of a page at each zoom and of a
// printed page.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "control/ktprint4_impl.h"
#include "viewer/toolbar.h"
#include "platform/container/form.h"
#include "render/render_internal.h"

using namespace ktfolio;

namespace {

// The listing of the peer comparison: 5 gridded cells a row, header, footer.
KtPrint4Impl& Listing(int rows) {
  static std::map<int, std::unique_ptr<KtPrint4Impl>> built;
  auto& slot = built[rows];
  if (!slot) {
    slot = std::make_unique<KtPrint4Impl>();
    KtPrint4Impl& c = *slot;
    c.AddHeaderRow("Sales listing");
    c.AddFooterRow("Page %p of %n");
    c.dColLineTop(1);
    c.dColLineBottom(1);
    c.dColLineLeft(1);
    c.dColLineRight(1);
    for (int i = 0; i < rows; ++i)
      c.AddRow("A" + std::to_string(i), "#1400#Item number " + std::to_string(i) + " with a longer description",
               "#5800#" + std::to_string(i % 17), "#6800#" + std::to_string(i), "#8000#" + std::to_string(i * 3));
    c.Pages();
  }
  return *slot;
}

void BM_PreviewMiddlePage(benchmark::State& state) {
  KtPrint4Impl& c = Listing(static_cast<int>(state.range(0)));
  const std::int16_t page = static_cast<std::int16_t>(c.Pages() / 2 + 1);
  for (auto _ : state) {
    win::HBITMAP bmp = render::RenderPageSurface(c, page, 100);
    win::DeleteObject(bmp);
  }
  state.counters["pages"] = c.Pages();
}
BENCHMARK(BM_PreviewMiddlePage)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PreviewAtZoom(benchmark::State& state) {
  KtPrint4Impl& c = Listing(1000);
  for (auto _ : state) {
    win::HBITMAP bmp = render::RenderPageSurface(c, 2, static_cast<double>(state.range(0)));
    win::DeleteObject(bmp);
  }
}
BENCHMARK(BM_PreviewAtZoom)->Arg(50)->Arg(100)->Arg(250)->Unit(benchmark::kMillisecond);

// One repaint of the on-screen viewport (page surface, content, copy to the
// window) on a form, at page 1 and at the last page of a long document.
void BM_ViewportRepaint(benchmark::State& state) {
  static Form form(900, 700);
  static KtPrint4Impl* control = [] {
    auto* c = new KtPrint4Impl(&form);  // lives as long as the form
    c->AddHeaderRow("Sales listing");
    c->AddFooterRow("Page %p of %n");
    for (int i = 0; i < 100000; ++i) c->AddRow("A" + std::to_string(i), "#1400#Item " + std::to_string(i));
    PlaceOnForm(*c, form);
    form.Show();
    return c;
  }();
  const std::int16_t page = state.range(0) == 0 ? 1 : control->Pages();
  control->Preview(page);
  for (auto _ : state) control->Refresh();
  state.counters["page"] = page;
}
BENCHMARK(BM_ViewportRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
