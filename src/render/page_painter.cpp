// The page loop shared by the preview and the printer: header band, the body
// rows of each page in the range, footer band, with NewPage raised before each
// page and before the last body row of a page.
#include <algorithm>
#include <optional>

#include "model/units.h"
#include "render/render_impl.h"
#include "render/render_internal.h"

namespace ktfolio::render {

using namespace win;

namespace {

thread_local PageProgress t_progress;

bool StartsPage(const KtRow& row) { return row.PageBreak() || row.NewPage(); }

class PageLoop {
 public:
  PageLoop(Document& control, const Device& d, const Band& band, PrinterPages* printer)
      : c_(control), d_(d), band_(band), printer_(printer), info_(control.PageInfo()), body_(*control.Rows(Body)) {
    bodyDevice_ = d;
    bodyDevice_.tagRows = printer != nullptr && PrintedMetadata(control).tagged;
  }

  void Run(std::int32_t startPage, std::int32_t endPage);
  // Tells the progress scope, if any, that the loop has ended.
  void ReportEnd() {
    if (t_progress) t_progress(pagesStarted_, std::max(total_, pagesStarted_));
  }

 private:
  bool preview() const { return printer_ == nullptr; }
  bool tagging() const { return bodyDevice_.tagRows; }
  bool RowVisible(float top, float height) const;
  void StackArea(std::int32_t area, float areaTop);
  // The running header and footer are left out of the structure a reader follows.
  void DrawBands() {
    std::optional<ScopedPdfTag> pagination;
    if (tagging()) pagination.emplace(d_.dc, PdfTag::Pagination);
    StackArea(Header, info_.HeaderM);
    StackArea(Footer, info_.Height - info_.FooterM);
  }
  // A run of table rows is one table in the structure, over as many pages as
  // it takes; rows that show nothing do not break it.
  void EnterTable(bool table) {
    if (table == inTable_) return;
    if (table) {
      inTable_ = BeginPdfTag(d_.dc, PdfTag::Table);
    } else {
      EndPdfTag(d_.dc, PdfTag::Table);
      inTable_ = false;
    }
  }
  void RaiseNewPage(std::int32_t& page, std::int32_t& r, std::int32_t firstOrLast);
  bool OpenFirstPrinterPage();
  void ShowPrintingPage(std::int32_t page) {
    if (printer_ && !printer_->quiet) c_.PrintingCaption("Printing Page " + std::to_string(page) + " ");
  }
  void ReportPageStarted() {
    if (t_progress) t_progress(pagesStarted_, total_);
    ++pagesStarted_;
  }
  bool TurnPrinterPage();
  std::int32_t FirstRowOfPage(std::int32_t page) const;

  Document& c_;
  const Device& d_;
  Device bodyDevice_;  // d_, with the rows' content tagged when printing
  bool inTable_ = false;
  Band band_;
  PrinterPages* printer_;
  tpPageInfo info_;
  KtRows& body_;
  std::int32_t n_ = 0;  // body rows when the loop started; handlers may add, never remove
  std::int32_t total_ = 0;  // printer pages the range holds
  std::int32_t pagesStarted_ = 0;
};

// The handler gets the loop's own page and row and the loop goes on with what
// it leaves: a later row skips the rows between. It cannot take the loop back
// over rows already passed (which could loop forever), nor past the end of the
// body, and the page stays a 16-bit page number that can still be counted up.
void PageLoop::RaiseNewPage(std::int32_t& page, std::int32_t& r, std::int32_t firstOrLast) {
  if (printer_ && printer_->unheard) return;  // and no host code runs in a copy of the process
  const std::int32_t raisedAt = r;
  c_.RaiseNewPage(page, r, firstOrLast);
  r = std::max(raisedAt, std::min(r, n_ + 1));
  page = std::clamp(page, 1, kMaxPages);
}

bool PageLoop::RowVisible(float top, float height) const {
  const double zoomFactor = c_.Zoom() / 100.0;
  const std::int32_t bottomPx = Nint((top + height) * zoomFactor / TwipsPerPixelY());
  const std::int32_t topPx = Nint(top * zoomFactor / TwipsPerPixelY());
  return !(bottomPx < band_.top || band_.bottom < topPx);
}

// Row spacing comes before every row but the first of its area on a page.
void PageLoop::StackArea(std::int32_t area, float areaTop) {
  KtRows* rows = c_.Rows(area);
  if (!rows) return;
  float y = 0;
  const float left = info_.LeftM, right = info_.LeftM + info_.AvailWidth;
  for (std::int32_t i = 0; i < rows->count(); ++i) {
    KtRow& row = rows->at0(static_cast<size_t>(i));
    if (y > 0) y += row.RowSpacing();
    if (!preview() || RowVisible(row.TopInPage() + areaTop, row.RowHeight())) PaintRow(row, d_, left, right, areaTop + y);
    y += row.RowHeight();
  }
}

// At the first page a stale page from an earlier job is closed first; its
// result does not matter.
bool PageLoop::OpenFirstPrinterPage() {
  if (!printer_) return true;
  ShowPrintingPage(c_.CurrentPage());
  printer_->endPage();
  if (!printer_->startPage()) return false;
  printer_->pageOpen = true;
  ReportPageStarted();
  return true;
}

bool PageLoop::TurnPrinterPage() {
  if (!printer_) return true;
  if (printer_->pageOpen) {
    const bool ended = printer_->endPage();
    printer_->pageOpen = false;
    if (!ended) return false;
  }
  if (!printer_->startPage()) return false;
  printer_->pageOpen = true;
  ReportPageStarted();
  return true;
}

// The first body row of `page` when the rows' pages are current (pages never
// decrease down the body, and each page after the first starts at a row that
// breaks); 1 otherwise, so the loop walks from the top.
std::int32_t PageLoop::FirstRowOfPage(std::int32_t page) const {
  const std::int32_t n = body_.count();
  if (page <= 1 || n == 0) return 1;
  std::int32_t lo = 0, hi = n;  // first 0-based index with Page() >= page
  while (lo < hi) {
    const std::int32_t mid = lo + (hi - lo) / 2;
    if (body_.at0(static_cast<size_t>(mid)).Page() < page) lo = mid + 1;
    else hi = mid;
  }
  if (lo >= n || lo == 0) return 1;
  const KtRow& first = body_.at0(static_cast<size_t>(lo));
  const KtRow& before = body_.at0(static_cast<size_t>(lo - 1));
  if (first.Page() != page || before.Page() != page - 1 || !StartsPage(first)) return 1;
  return lo + 1;
}

void PageLoop::Run(std::int32_t startPage, std::int32_t endPage) {
  if (info_.AvailHeight <= 0 || info_.AvailWidth <= 0) return;
  total_ = std::max(0, std::min(endPage, c_.PageCount()) - std::max(startPage, 1) + 1);
  const std::int32_t n = n_ = body_.count();
  std::int32_t r = FirstRowOfPage(startPage);
  std::int32_t page = r == 1 ? 1 : startPage - 1;
  bool drawing = startPage <= page && page <= endPage;
  bool done = false;
  float y = 0;
  if (preview() && n == 0 && drawing) {
    c_.CurrentPage(page);
    RaiseNewPage(page, r, First);
    DrawBands();
  }
  while (r <= n && !done) {
    c_.CurrentPage(page);
    if (r == 1 && drawing) {
      if (!OpenFirstPrinterPage()) return;
      RaiseNewPage(page, r, First);
      DrawBands();
    }
    if (r > n) break;  // a handler moved the row past the end
    if (StartsPage(body_.at0(static_cast<size_t>(r - 1)))) {
      ++page;
      drawing = startPage <= page && page <= endPage;
      done = page > endPage;
      if (done) break;
      const std::int32_t before = c_.CurrentPage();
      c_.CurrentPage(page);
      if (drawing) {
        if (page != before) ShowPrintingPage(page);
        if (!TurnPrinterPage()) return;
        RaiseNewPage(page, r, First);
        DrawBands();
      }
      y = 0;
    }
    if (r > n) break;
    if (drawing && (r == n || StartsPage(body_.at0(static_cast<size_t>(r))))) RaiseNewPage(page, r, Last);
    if (r > n) break;
    KtRow& row = body_.at0(static_cast<size_t>(r - 1));
    if (drawing) {
      if (y > 0) y += row.RowSpacing();
      if (const RowReading reading = tagging() ? ReadingOf(row) : RowReading::Nothing; reading != RowReading::Nothing)
        EnterTable(reading == RowReading::TableRow);
      if (!preview() || RowVisible(row.TopInPage() + info_.TopM, row.RowHeight()))
        PaintRow(row, bodyDevice_, info_.LeftM, info_.LeftM + info_.AvailWidth, info_.TopM + y);
      if (!preview() && row.OutlineLevel() > 0) MarkHeading(row, d_, info_.TopM + y);
    }
    y += row.RowHeight();
    ++r;
  }
  if (tagging()) EnterTable(false);
}

}  // namespace

void DrawPages(Document& control, const Device& d, std::int32_t startPage, std::int32_t endPage, const Band& band,
               PrinterPages* printer) {
  try {
    PenCache pens;
    FontCache fonts;
    Device withPens = d;
    withPens.pens = &pens;
    withPens.fonts = &fonts;
    PageLoop loop(control, withPens, band, printer);
    loop.Run(startPage, endPage);
    if (printer) {
      loop.ReportEnd();
      if (!printer->quiet) control.PrintingCaption("");
    }
  } catch (const std::exception& e) {
    control.RecordCaught(e);
  }
}

PageProgressScope::PageProgressScope(PageProgress progress) : previous_(std::move(t_progress)) {
  t_progress = std::move(progress);
}

PageProgressScope::~PageProgressScope() { t_progress = std::move(previous_); }

PageProgress CurrentPageProgress() { return t_progress; }

win::PdfMetadata PrintedMetadata(Document& control) {
  win::PdfMetadata metadata = control.Metadata();
  const KtRows* body = control.Rows(Body);
  if (body && body->count() > kMostTaggedRows) metadata.tagged = false;
  return metadata;
}

void DrawGuideRectangles(Document& control, HDC dc, double zoom, std::int32_t W, std::int32_t H) {
  const tpPageInfo info = control.PageInfo();
  auto px = [&](float twips) { return Nint(twips * zoom / 100.0 / TwipsPerPixelX()); };
  auto pxY = [&](float twips) { return Nint(twips * zoom / 100.0 / TwipsPerPixelY()); };
  const std::int32_t L = px(info.LeftM), R = px(info.RightM), T = pxY(info.TopM), B = pxY(info.BottomM);
  const std::int32_t HM = pxY(info.HeaderM), FM = pxY(info.FooterM);
  const OwnedPen pen(CreatePen(PS_SOLID, 1, 0xFF0000));
  const SelectedObject penSelected(dc, pen);
  const SelectedObject brushSelected(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, L, T, L + (W - L - R), T + (H - T - B));
  Rectangle(dc, L, T - (T - HM), L + (W - L - R), T - 1);
  Rectangle(dc, L, H - 3 - FM, L + (W - L - R), H - 4);
}

}  // namespace ktfolio::render
