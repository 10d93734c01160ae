// Pages out of the control without a window or a spooler: a PNG of the
// preview's page surface at a zoom, and a PDF of a page range drawn through the
// print path.
#include <cmath>

#include "model/units.h"
#include "platform/fileio/fileio.h"
#include "render/render.h"
#include "render/render_impl.h"
#include "render/render_internal.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr std::int16_t kMinZoom = 10;
constexpr std::int16_t kMaxZoom = 250;
constexpr int kPdfDpi = 600;
constexpr int kShadow = 3;  // drop shadow of the page surface, pixels
constexpr std::uint32_t kPageBackColor = 0xFFFFFF;
constexpr const char* kDocumentName = "Folio's Job";

Error PageOutOfRange(const char* source) { return Error(60107, source, "No Description"); }

// What the platform said about the failed write, or a plain "cannot write".
Error CannotWrite(const char* source, const std::string& file) {
  if (const std::optional<Error>& cause = fileio::LastFailure())
    return Error(cause->number(), source, cause->description());
  return Error(errnum::kPathFileAccess, source, "Path/File access error: cannot write '" + file + "'");
}

// A page without paper makes no PDF; say so rather than blame the file.
void CheckPaper(const char* source, const tpPageInfo& info) {
  if (info.Width >= 1 && info.Height >= 1) return;
  throw Error(errnum::kInvalidProcedureCall, source,
              "Invalid procedure call or argument: the paper is " + std::to_string(std::lround(info.Width)) +
                  " x " + std::to_string(std::lround(info.Height)) + " twips");
}

// Restores a value of the control when the export ends, however it ends.
template <typename Get, typename Set>
class Restore {
 public:
  Restore(Get get, Set set) : set_(set), value_(get()) {}
  ~Restore() { set_(value_); }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

 private:
  Set set_;
  decltype(std::declval<Get>()()) value_;
};

}  // namespace

namespace render {

void FillRectWith(HDC dc, int left, int top, int right, int bottom, std::uint32_t color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HBRUSH brush = CreateSolidBrush(color);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Rectangle(dc, left, top, right, bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

void PreparePageSurface(HDC dc, int W, int H, std::uint32_t backColor, std::uint32_t pageBackColor, bool modePage) {
  if (!modePage) {
    FillRectWith(dc, 0, 0, W, H, backColor);
    return;
  }
  FillRectWith(dc, 0, 0, W - kShadow, H - kShadow, pageBackColor);
  FillRectWith(dc, W - kShadow, kShadow, W, H, 0);
  FillRectWith(dc, kShadow, H - kShadow, W, H, 0);
  FillRectWith(dc, W - kShadow, 0, W, kShadow, backColor);
  FillRectWith(dc, 0, H - kShadow, kShadow, H, backColor);
}

SIZE PageSurfaceSize(const KtPrint4& control, double zoom) {
  const tpPageInfo info = control.PageInfo();
  // The viewport's page size is whole twips before it becomes pixels.
  const double viewWidth = Nint(info.Width * zoom / 100.0);
  const double viewHeight = Nint(info.Height * zoom / 100.0);
  return SIZE{Nint(viewWidth / TwipsPerPixelX()), Nint(viewHeight / TwipsPerPixelY())};
}

HBITMAP RenderPageSurface(KtPrint4& control, std::int16_t page, double zoom) {
  // As the control's resize does, so margins changed since the last layout count.
  control.ComputePageInfo();
  const SIZE size = PageSurfaceSize(control, zoom);
  const int W = size.cx, H = size.cy;
  if (W <= kShadow || H <= kShadow) return nullptr;
  const std::int16_t pages = control.Pages();
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, W, H);
  HGDIOBJ old = SelectObject(dc, bmp);
  {
    Restore zoomGuard([&control] { return control.Zoom(); }, [&control](double z) { control.Zoom(z); });
    control.Zoom(zoom);
    PreparePageSurface(dc, W, H, OleToRgb(control.Site().AmbientBackColor()), kPageBackColor, true);
    if (control.ShowGuideLines()) DrawGuideRectangles(control, dc, zoom, W, H);
    control.PageCount(pages);
    DrawPages(control, Device::ForPreview(dc, zoom), page, page, Band{0, H}, nullptr);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bmp;
}

}  // namespace render

bool KtPrint4::ExportPng(const std::string& file, std::int16_t page, std::int16_t zoom) {
  constexpr const char* kSource = "Export PNG";
  try {
    if (zoom < kMinZoom || zoom > kMaxZoom) throw Error(60110, kSource, "No Description");
    if (page < 1 || page > Pages()) throw PageOutOfRange(kSource);
    ComputePageInfo();
    CheckPaper(kSource, PageInfo());
    fileio::LastFailure().reset();
    HBITMAP bmp = render::RenderPageSurface(*this, page, zoom);
    if (!bmp) throw PageOutOfRange(kSource);
    const bool written = SaveBitmapPng(bmp, file);
    DeleteObject(bmp);
    if (!written) throw CannotWrite(kSource, file);
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

bool KtPrint4::ExportPdf(const std::string& file, std::int16_t fromPage, std::int16_t toPage) {
  constexpr const char* kSource = "Export PDF";
  try {
    const std::int16_t pages = Pages();
    if (fromPage < 1 || toPage > pages || fromPage > toPage) throw PageOutOfRange(kSource);
    ComputePageInfo();
    const tpPageInfo info = PageInfo();
    CheckPaper(kSource, info);
    fileio::LastFailure().reset();
    const int pageWidth = render::Nint(info.Width * kPdfDpi / 1440.0);
    const int pageHeight = render::Nint(info.Height * kPdfDpi / 1440.0);
    HDC dc = CreatePdfPrinterDC(file.c_str(), kPdfDpi, kPdfDpi, pageWidth, pageHeight);
    if (!dc) throw CannotWrite(kSource, file);
    DOCINFO doc;
    doc.lpszDocName = kDocumentName;
    doc.lpszOutput = file.c_str();
    if (StartDoc(dc, &doc) <= 0) {
      DeleteDC(dc);
      throw CannotWrite(kSource, file);
    }
    render::PrinterPages printer;
    bool failed = false;
    int started = 0;
    printer.startPage = [&] {
      if (failed) return false;
      failed = StartPage(dc) <= 0;
      started += failed ? 0 : 1;
      return !failed;
    };
    printer.endPage = [&] { return printer.pageOpen ? (failed = EndPage(dc) <= 0, !failed) : true; };
    PageCount(pages);
    const render::Device device =
        render::Device::ForPrint(dc, GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY));
    render::DrawPages(*this, device, fromPage, toPage, render::Band{}, &printer);
    if (printer.pageOpen) printer.endPage();
    const bool ended = !failed && EndDoc(dc) > 0;
    if (!ended) AbortDoc(dc);
    DeleteDC(dc);
    if (!ended) throw CannotWrite(kSource, file);
    if (started == 0) throw PageOutOfRange(kSource);  // nothing printed, so no file either
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

}  // namespace ktfolio
