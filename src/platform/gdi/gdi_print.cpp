// PDF printer contexts: a document written page by page to a Cairo PDF surface
// at the printer's resolution, published under its name only once complete, or
// handed piece by piece to a stream.
#include <cairo-pdf.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {
namespace {

constexpr double kPointsPerInch = 72.0;

std::atomic<int> g_nextJobId{1};

PrintJob* JobOf(DC* dc) { return dc ? dc->print.get() : nullptr; }

// Points the context at `surface`: device units are scaled to points on the
// PDF, and left alone on the sink (nothing drawn there is ever seen).
void Bind(DC* dc, cairo_surface_t* surface, bool vector) {
  if (dc->ownSurface == surface) return;
  cairo_surface_t* old = dc->ownSurface;
  dc->ownSurface = cairo_surface_reference(surface);
  dc->scaleX = vector ? kPointsPerInch / dc->dpiX : 1.0;
  dc->scaleY = vector ? kPointsPerInch / dc->dpiY : 1.0;
  dc->Rebind();
  if (old) cairo_surface_destroy(old);
}

void RemoveTemp(const PrintJob& job) {
  if (!job.temp.empty()) std::remove(job.temp.c_str());
}

void DiscardDocument(DC* dc, PrintJob* job) {
  Bind(dc, job->sink, false);
  if (job->pdf) {
    cairo_surface_destroy(job->pdf);  // finishes into the temporary file, which goes next
    job->pdf = nullptr;
    RemoveTemp(*job);
  }
  job->inPage = false;
}

// A fresh temporary file beside `target`, so the final rename stays on one file system.
bool MakeTempBeside(const std::string& target, std::string& temp) {
  std::filesystem::path p(target);
  std::filesystem::path dir = p.parent_path().empty() ? std::filesystem::path(".") : p.parent_path();
  std::string pattern = (dir / ("." + p.filename().string() + ".XXXXXX")).string();
  int fd = mkstemp(pattern.data());
  if (fd < 0) return false;
  fchmod(fd, 0644);  // mkstemp makes it private; the document is an ordinary file
  close(fd);
  temp = pattern;
  return true;
}

cairo_status_t WriteToStream(void* closure, const unsigned char* data, unsigned int length) {
  const PrintJob& job = *static_cast<const PrintJob*>(closure);
  return job.stream(data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

// The document's surface: on the stream, or on a temporary file beside the target.
cairo_surface_t* OpenDocument(PrintJob& job) {
  if (job.stream) return cairo_pdf_surface_create_for_stream(WriteToStream, &job, job.pageWidthPt, job.pageHeightPt);
  if (!MakeTempBeside(job.target, job.temp)) return nullptr;
  return cairo_pdf_surface_create(job.temp.c_str(), job.pageWidthPt, job.pageHeightPt);
}

}  // namespace

PrintJob::~PrintJob() {
  if (pdf) {
    cairo_surface_destroy(pdf);
    RemoveTemp(*this);
  }
  if (sink) cairo_surface_destroy(sink);
}

}  // namespace gdi

using namespace gdi;

namespace {

HDC CreatePdfDC(std::unique_ptr<PrintJob> job, int dpiX, int dpiY, int pageWidth, int pageHeight) {
  if (dpiX <= 0 || dpiY <= 0 || pageWidth <= 0 || pageHeight <= 0) return nullptr;
  job->sink = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 0, 0);
  job->pageWidthPt = pageWidth * kPointsPerInch / dpiX;
  job->pageHeightPt = pageHeight * kPointsPerInch / dpiY;
  HDC hdc = CreateSurfaceDC(job->sink, dpiX, dpiY);
  if (!hdc) return nullptr;
  DC* dc = ToDC(hdc);
  dc->print = std::move(job);
  const std::pair<int, int> caps[] = {{HORZRES, pageWidth},     {VERTRES, pageHeight},    {PHYSICALWIDTH, pageWidth},
                                      {PHYSICALHEIGHT, pageHeight}, {PHYSICALOFFSETX, 0}, {PHYSICALOFFSETY, 0},
                                      {TECHNOLOGY, DT_RASPRINTER}};
  for (auto [index, value] : caps) dc->caps[index] = value;
  return hdc;
}

}  // namespace

HDC CreatePdfPrinterDC(const char* path, int dpiX, int dpiY, int pageWidth, int pageHeight) {
  GDI_LOCK;
  if (!path || !*path) return nullptr;
  auto job = std::make_unique<PrintJob>();
  job->path = path;
  return CreatePdfDC(std::move(job), dpiX, dpiY, pageWidth, pageHeight);
}

HDC CreatePdfStreamDC(ByteSink sink, int dpiX, int dpiY, int pageWidth, int pageHeight) {
  GDI_LOCK;
  if (!sink) return nullptr;
  auto job = std::make_unique<PrintJob>();
  job->stream = std::move(sink);
  return CreatePdfDC(std::move(job), dpiX, dpiY, pageWidth, pageHeight);
}

int StartDoc(HDC hdc, const DOCINFO* info) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  PrintJob* job = JobOf(dc);
  if (!job || job->pdf) return SP_ERROR;
  if (job->driver && !job->driver->StartDoc(info ? *info : DOCINFO{})) return SP_ERROR;
  job->target = info && info->lpszOutput && *info->lpszOutput ? info->lpszOutput : job->path;
  job->pdf = OpenDocument(*job);
  if (!job->pdf) return SP_ERROR;
  if (cairo_surface_status(job->pdf) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(job->pdf);
    job->pdf = nullptr;
    RemoveTemp(*job);
    return SP_ERROR;
  }
  if (info && info->lpszDocName) cairo_pdf_surface_set_metadata(job->pdf, CAIRO_PDF_METADATA_TITLE, info->lpszDocName);
  cairo_pdf_surface_set_metadata(job->pdf, CAIRO_PDF_METADATA_CREATOR, "ktfolio");
  return g_nextJobId++;
}

int StartPage(HDC hdc) {
  GDI_LOCK;
  PrintJob* job = JobOf(ToDC(hdc));
  if (!job || !job->pdf || job->inPage) return SP_ERROR;
  if (job->driver && !job->driver->StartPage()) return SP_ERROR;
  job->inPage = true;
  DC* dc = ToDC(hdc);
  Bind(dc, job->pdf, true);
  // A page starts as blank paper. Painting it first also keeps Cairo's record
  // of what the page covers to one rectangle, so each later operation adds to
  // it in constant time instead of growing a region of thousands of strips.
  cairo_t* cr = dc->Begin();
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  dc->End();
  dc->queueLines = true;
  return 1;
}

int EndPage(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  PrintJob* job = JobOf(dc);
  if (!job || !job->inPage) return SP_ERROR;
  if (job->driver && !job->driver->EndPage()) return SP_ERROR;
  dc->FlushQueues();
  dc->queueLines = false;
  cairo_surface_show_page(job->pdf);
  job->inPage = false;
  Bind(dc, job->sink, false);
  if (cairo_surface_status(job->pdf) != CAIRO_STATUS_SUCCESS) {
    DiscardDocument(dc, job);
    return SP_ERROR;
  }
  return 1;
}

int EndDoc(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  PrintJob* job = JobOf(dc);
  if (!job || !job->pdf) return SP_ERROR;
  job->endFailed = true;  // until the document is complete and taken
  if (job->inPage && EndPage(hdc) == SP_ERROR) return SP_ERROR;
  cairo_surface_finish(job->pdf);
  const bool written = cairo_surface_status(job->pdf) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(job->pdf);
  job->pdf = nullptr;
  if (job->stream) {
    job->endFailed = !written;
    return written ? 1 : SP_ERROR;
  }
  if (!written || std::rename(job->temp.c_str(), job->target.c_str()) != 0) {
    RemoveTemp(*job);
    return SP_ERROR;
  }
  if (job->driver && !job->driver->EndDoc(job->target)) {
    std::remove(job->target.c_str());
    return SP_ERROR;
  }
  job->endFailed = false;
  return 1;
}

int AbortDoc(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  PrintJob* job = JobOf(dc);
  if (job && !job->pdf && job->endFailed) {
    // Cancelling what a failed EndDoc already dropped succeeds.
    job->endFailed = false;
    return job->driver && !job->driver->AbortDoc() ? SP_ERROR : 1;
  }
  if (!job || !job->pdf) return SP_ERROR;
  DiscardDocument(dc, job);
  // A refusing driver still loses the document: nothing half-written stays behind.
  return job->driver && !job->driver->AbortDoc() ? SP_ERROR : 1;
}

void AttachPrinterDriver(HDC hdc, std::unique_ptr<PrinterDriver> driver) {
  GDI_LOCK;
  if (PrintJob* job = JobOf(ToDC(hdc))) job->driver = std::move(driver);
}

}  // namespace ktfolio::win
