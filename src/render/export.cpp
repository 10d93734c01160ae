// Pages out of the control without a window or a spooler: a PNG of the
// preview's page surface at a zoom or a resolution, and a PDF of a page range
// drawn through the print path. A PNG is made as bytes, then written; a PDF is
// drawn the same way into a file or into a stream of bytes.
#include <cmath>

#include "model/units.h"
#include "platform/fileio/fileio.h"
#include "render/render_impl.h"
#include "render/render_internal.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr std::int16_t kMinZoom = 10;
constexpr std::int16_t kMaxZoom = 250;
constexpr double kPercent = 100.0;
constexpr double kTwipsPerInch = 1440.0;
constexpr int kPdfDpi = 600;
constexpr int kShadow = 3;  // drop shadow of the page surface, pixels
constexpr std::uint32_t kPageBackColor = 0xFFFFFF;
constexpr const char* kDocumentName = "Folio's Job";

constexpr const char* kPngSource = "Export PNG";
constexpr const char* kPdfSource = "Export PDF";

Error PageOutOfRange(const char* source) { return Error(ErrorCode::kPageOutOfRange, source, "No Description"); }
Error ZoomOutOfRange(const char* source) { return Error(ErrorCode::kZoomOutOfRange, source, "No Description"); }

// What the platform said about the failed write, or a plain "cannot write".
Error CannotWrite(const char* source, const std::string& file) {
  if (const std::optional<Error>& cause = fileio::LastFailure())
    return Error(cause->number(), source, cause->description());
  return Error(ErrorCode::kPathFileAccess, source, "Path/File access error: cannot write '" + file + "'");
}

// A page without paper makes no PDF; say so rather than blame the file.
void CheckPaper(const char* source, const tpPageInfo& info) {
  if (info.Width >= 1 && info.Height >= 1) return;
  throw Error(ErrorCode::kInvalidProcedureCall, source,
              "Invalid procedure call or argument: the paper is " + std::to_string(std::lround(info.Width)) +
                  " x " + std::to_string(std::lround(info.Height)) + " twips");
}

// The write step of the PNG exports: the whole file at once, through the
// one writer (a failure keeps the old file and names the cause).
void WriteFileBytes(const std::string& file, const std::vector<std::uint8_t>& bytes, const char* source) {
  try {
    fileio::WriteFileAtomically(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const Error& e) {
    throw Error(e.number(), source, e.description());
  }
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
  const OwnedPen pen(CreatePen(PS_SOLID, 1, color));
  const OwnedBrush brush(CreateSolidBrush(color));
  const SelectedObject penSelected(dc, pen);
  const SelectedObject brushSelected(dc, brush);
  Rectangle(dc, left, top, right, bottom);
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

SIZE PageSurfaceSize(const Document& control, double zoom) {
  const tpPageInfo info = control.PageInfo();
  // The viewport's page size is whole twips before it becomes pixels.
  const double viewWidth = Nint(info.Width * zoom / 100.0);
  const double viewHeight = Nint(info.Height * zoom / 100.0);
  return SIZE{Nint(viewWidth / TwipsPerPixelX()), Nint(viewHeight / TwipsPerPixelY())};
}

HBITMAP RenderPageSurface(Document& control, std::int16_t page, double zoom, bool shadow) {
  // As the control's resize does, so margins changed since the last layout count.
  control.ComputePageInfo();
  const SIZE size = PageSurfaceSize(control, zoom);
  const int W = size.cx, H = size.cy;
  if (W <= kShadow || H <= kShadow) return nullptr;
  const std::int16_t pages = control.Pages();
  const OwnedDC dc = MemoryDC(nullptr);
  OwnedBitmap bmp(CreateCompatibleBitmap(dc, W, H));
  if (!bmp) return nullptr;
  {
    const SelectedObject selected(dc, bmp);
    Restore zoomGuard([&control] { return control.Zoom(); }, [&control](double z) { control.Zoom(z); });
    control.Zoom(zoom);
    if (shadow) {
      PreparePageSurface(dc, W, H, OleTranslateColor(control.Site().AmbientBackColor()), kPageBackColor, true);
      // The guide rectangles keep clear of the shadow: they belong to the surface.
      if (control.ShowGuideLines()) DrawGuideRectangles(control, dc, zoom, W, H);
    } else {
      FillRectWith(dc, 0, 0, W, H, kPageBackColor);
    }
    control.PageCount(pages);
    DrawPages(control, Device::ForPreview(dc, zoom), page, page, Band{0, H}, nullptr);
  }
  return bmp.release();
}

double ZoomForDpi(double dpi) { return dpi * TwipsPerPixelX() * kPercent / kTwipsPerInch; }

std::vector<std::uint8_t> PagePng(Document& control, std::int16_t page, double zoom, bool shadow) {
  if (!(zoom >= kMinZoom && zoom <= ZoomForDpi(kMaxExportDpi))) throw ZoomOutOfRange(kPngSource);
  if (page < 1 || page > control.Pages()) throw PageOutOfRange(kPngSource);
  const Error outOfMemory(ErrorCode::kOutOfMemory, kPngSource, "Out of memory: no room for the page's pixels");
  const OwnedBitmap bmp(RenderPageSurface(control, page, zoom, shadow));
  if (!bmp) {
    const SIZE size = PageSurfaceSize(control, zoom);
    throw size.cx > kShadow && size.cy > kShadow ? outOfMemory : PageOutOfRange(kPngSource);
  }
  const double dpi = zoom / kPercent * kTwipsPerInch / TwipsPerPixelX();
  std::vector<std::uint8_t> png = EncodeBitmapPng(bmp, dpi);
  if (png.empty()) throw outOfMemory;
  return png;
}

std::vector<std::uint8_t> PagePngAtDpi(Document& control, std::int16_t page, double dpi, bool shadow) {
  if (!(dpi >= kMinExportDpi && dpi <= kMaxExportDpi))
    throw Error(ErrorCode::kZoomOutOfRange, kPngSource, "Resolution out of range: 10 to 600 dpi");
  return PagePng(control, page, ZoomForDpi(dpi), shadow);
}

PdfPaper PdfPaperOf(Document& control) {
  control.ComputePageInfo();
  const tpPageInfo info = control.PageInfo();
  CheckPaper(kPdfSource, info);
  return PdfPaper{kPdfDpi, Nint(info.Width * kPdfDpi / kTwipsPerInch), Nint(info.Height * kPdfDpi / kTwipsPerInch),
                  kDocumentName};
}

PdfDrawn DrawPdfDocument(Document& control, HDC dc, std::int16_t fromPage, std::int16_t toPage, bool piece,
                         bool quiet) {
  PdfDrawn drawn;
  DOCINFO doc;
  doc.lpszDocName = kDocumentName;
  if (StartDoc(dc, &doc) <= 0) return drawn;
  drawn.started = true;
  PrinterPages printer;
  printer.quiet = quiet;
  printer.unheard = piece;
  bool failed = false;
  printer.startPage = [&] {
    if (failed) return false;
    failed = StartPage(dc) <= 0;
    drawn.pages += failed ? 0 : 1;
    return !failed;
  };
  printer.endPage = [&] { return printer.pageOpen ? (failed = EndPage(dc) <= 0, !failed) : true; };
  control.PageCount(control.Pages());
  DrawPages(control, Device::ForPrint(dc, GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)), fromPage,
            toPage, Band{}, &printer);
  if (printer.pageOpen) printer.endPage();
  drawn.ended = !failed && EndDoc(dc) > 0;
  if (!drawn.ended) AbortDoc(dc);
  return drawn;
}

namespace {

// No document is made of a range outside the document's pages.
void CheckPdfRange(Document& control, std::int16_t fromPage, std::int16_t toPage) {
  if (fromPage < 1 || toPage > control.Pages() || fromPage > toPage) throw PageOutOfRange(kPdfSource);
}

// Pages fromPage..toPage as one PDF document, drawn through the print path
// into the context `open` makes for the paper (device units at kPdfDpi).
// Throws the error `failure` gives when the context cannot be made or the
// document not finished (asked then, so it can name the platform's cause),
// and kPageOutOfRange when the range prints no page: no document is made of nothing.
void PrintPdf(Document& control, std::int16_t fromPage, std::int16_t toPage,
              const std::function<HDC(int width, int height)>& open, const std::function<Error()>& failure) {
  CheckPdfRange(control, fromPage, toPage);
  const PdfPaper paper = PdfPaperOf(control);
  fileio::LastFailure().reset();
  OwnedDC dc(open(paper.width, paper.height));
  if (!dc) throw failure();
  SetPdfMetadata(dc, PrintedMetadata(control));
  const PdfDrawn drawn = DrawPdfDocument(control, dc, fromPage, toPage, false, false);
  dc.reset();  // the cause is asked for once the context is gone
  if (!drawn.started || !drawn.ended) throw failure();
  if (drawn.pages == 0) throw PageOutOfRange(kPdfSource);
}

Error StreamFailure() {
  return Error(ErrorCode::kPathFileAccess, kPdfSource, "Path/File access error: the PDF could not be written");
}

// Whether pages fromPage..toPage are drawn in pieces (PrintPdfPieces).
bool InPieces(Document& control, std::int16_t fromPage, std::int16_t toPage) {
  CheckPdfRange(control, fromPage, toPage);
  return DrawsInPieces(control, fromPage, toPage);
}

}  // namespace

void WritePdf(Document& control, std::int16_t fromPage, std::int16_t toPage, const ByteSink& sink) {
  // A document drawn in pieces goes to the stream once whole, as one drawn at once does.
  std::string joined;
  if (InPieces(control, fromPage, toPage) &&
      PrintPdfPieces(control, PdfPaperOf(control), fromPage, toPage,
                     [&joined](std::string_view bytes) { joined.append(bytes); })) {
    constexpr std::size_t kStreamPiece = 4096;
    for (std::size_t at = 0; at < joined.size(); at += kStreamPiece) {
      const std::size_t n = std::min(kStreamPiece, joined.size() - at);
      if (!sink(reinterpret_cast<const unsigned char*>(joined.data()) + at, n)) throw StreamFailure();
    }
    return;
  }
  PrintPdf(
      control, fromPage, toPage, [&sink](int w, int h) { return CreatePdfStreamDC(sink, kPdfDpi, kPdfDpi, w, h); },
      StreamFailure);
}

std::vector<std::uint8_t> PdfBytes(Document& control, std::int16_t fromPage, std::int16_t toPage) {
  std::vector<std::uint8_t> bytes;
  WritePdf(control, fromPage, toPage, [&bytes](const unsigned char* data, std::size_t size) {
    bytes.insert(bytes.end(), data, data + size);
    return true;
  });
  return bytes;
}

void ExportPng(Document& control, const std::string& file, std::int16_t page, std::int16_t zoom, bool shadow) {
  if (zoom < kMinZoom || zoom > kMaxZoom) throw ZoomOutOfRange(kPngSource);
  control.ComputePageInfo();
  CheckPaper(kPngSource, control.PageInfo());
  WriteFileBytes(file, PagePng(control, page, zoom, shadow), kPngSource);
}

void ExportPngDpi(Document& control, const std::string& file, std::int16_t page, std::int32_t dpi, bool shadow) {
  WriteFileBytes(file, PagePngAtDpi(control, page, dpi, shadow), kPngSource);
}

// The platform's PDF printer context writes the file, keeping an earlier one
// until the new one is complete; the bytes are those WritePdf hands its sink.
void ExportPdf(Document& control, const std::string& file, std::int16_t fromPage, std::int16_t toPage) {
  try {
    fileio::CheckFileName(file);  // the printer context takes the name as a C string
  } catch (const Error& e) {
    throw Error(e.number(), kPdfSource, e.description());
  }
  if (InPieces(control, fromPage, toPage)) {
    const PdfPaper paper = PdfPaperOf(control);
    fileio::LastFailure().reset();
    try {
      fileio::AtomicFile out(file);
      if (PrintPdfPieces(control, paper, fromPage, toPage, [&out](std::string_view bytes) { out.Write(bytes); })) {
        out.Commit();
        return;
      }
    } catch (const Error& e) {
      throw Error(e.number(), kPdfSource, e.description());
    }
  }
  PrintPdf(
      control, fromPage, toPage,
      [&file](int w, int h) { return CreatePdfPrinterDC(file.c_str(), kPdfDpi, kPdfDpi, w, h); },
      [&file] { return CannotWrite(kPdfSource, file); });
}

}  // namespace render
}  // namespace ktfolio
