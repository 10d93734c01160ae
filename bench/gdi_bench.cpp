// Text drawing cost in the platform layer: one cell's worth of DrawText (font
// created, selected, drawn and deleted, as the document code does per cell) on
// a 96-dpi bitmap and on a 600-dpi PDF page, and a 50 000-cell document.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/gdi/gdi.h"

using namespace ktfolio::win;

namespace {

constexpr int kScreenDpi = 96;
constexpr int kPrinterDpi = 600;
constexpr int kCellsPerRow = 5;

LOGFONT Arial(int pointSize, int dpi) {
  LOGFONT lf;
  lf.lfHeight = -pointSize * dpi / 72;
  std::strcpy(lf.lfFaceName, "Arial");
  return lf;
}

// Draws one cell the way the document code does: its own font, one line.
void DrawCell(HDC dc, const LOGFONT& lf, const char* text, RECT rc) {
  HFONT font = CreateFontIndirect(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  DrawText(dc, text, -1, &rc, DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
}

const char* const kTexts[kCellsPerRow] = {"Item 00417", "Widget, blue", "12", "3.75", "Warehouse7"};

std::string TempPdf(const char* name) { return "/tmp/ktfolio_gdi_bench_" + std::string(name) + ".pdf"; }

}  // namespace

static void BM_DrawTextCellImage(benchmark::State& state) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 800, 600);
  HGDIOBJ old = SelectObject(dc, bmp);
  SetBkMode(dc, TRANSPARENT);
  const LOGFONT lf = Arial(10, kScreenDpi);
  int i = 0;
  for (auto _ : state) {
    const int row = i++ % 40;
    DrawCell(dc, lf, kTexts[i % kCellsPerRow], RECT{(i % kCellsPerRow) * 150, row * 15, (i % kCellsPerRow) * 150 + 140, row * 15 + 15});
  }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawTextCellImage);

static void BM_DrawTextCellPdf(benchmark::State& state) {
  const std::string path = TempPdf("cell");
  HDC dc = CreatePdfPrinterDC(path.c_str(), kPrinterDpi, kPrinterDpi, 4960, 7016);
  StartDoc(dc, nullptr);
  StartPage(dc);
  SetBkMode(dc, TRANSPARENT);
  const LOGFONT lf = Arial(10, kPrinterDpi);
  int i = 0;
  for (auto _ : state) {
    const int row = i++ % 60;
    const int x = (i % kCellsPerRow) * 900;
    DrawCell(dc, lf, kTexts[i % kCellsPerRow], RECT{x, 300 + row * 100, x + 850, 400 + row * 100});
    if (i % 3000 == 0) {  // keep pages to a realistic number of cells
      EndPage(dc);
      StartPage(dc);
    }
  }
  EndDoc(dc);
  DeleteDC(dc);
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawTextCellPdf);

// A whole document: 10 000 rows of five cells, 60 rows to a page.
static void BM_Document50kCellsPdf(benchmark::State& state) {
  constexpr int kRows = 10000, kRowsPerPage = 60;
  const std::string path = TempPdf("document");
  const LOGFONT lf = Arial(10, kPrinterDpi);
  for (auto _ : state) {
    HDC dc = CreatePdfPrinterDC(path.c_str(), kPrinterDpi, kPrinterDpi, 4960, 7016);
    StartDoc(dc, nullptr);
    SetBkMode(dc, TRANSPARENT);
    for (int row = 0; row < kRows; ++row) {
      if (row % kRowsPerPage == 0) StartPage(dc);
      const int y = 300 + (row % kRowsPerPage) * 100;
      for (int c = 0; c < kCellsPerRow; ++c) DrawCell(dc, lf, kTexts[c], RECT{300 + c * 900, y, 1150 + c * 900, y + 100});
      if (row % kRowsPerPage == kRowsPerPage - 1) EndPage(dc);
    }
    EndDoc(dc);
    DeleteDC(dc);
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * kRows * kCellsPerRow);
}
BENCHMARK(BM_Document50kCellsPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same 50 000 cells onto 96-dpi page bitmaps (the preview).
static void BM_Document50kCellsImage(benchmark::State& state) {
  constexpr int kRows = 10000, kRowsPerPage = 60;
  const LOGFONT lf = Arial(10, kScreenDpi);
  for (auto _ : state) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 794, 1123);
    HGDIOBJ old = SelectObject(dc, bmp);
    SetBkMode(dc, TRANSPARENT);
    RECT page{0, 0, 794, 1123};
    for (int row = 0; row < kRows; ++row) {
      if (row % kRowsPerPage == 0) FillRect(dc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      const int y = 48 + (row % kRowsPerPage) * 16;
      for (int c = 0; c < kCellsPerRow; ++c) DrawCell(dc, lf, kTexts[c], RECT{48 + c * 144, y, 184 + c * 144, y + 16});
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  state.SetItemsProcessed(state.iterations() * kRows * kCellsPerRow);
}
BENCHMARK(BM_Document50kCellsImage)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
