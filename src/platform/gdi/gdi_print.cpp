// PDF printer contexts: a document written page by page to a Cairo PDF surface
// at the printer's resolution, finished with its metadata (gdi_pdf_finish.cpp)
// and then written to a file that takes the target's name only once complete
// (platform/fileio/fileio.h), or handed piece by piece to a stream.
#include <cairo-pdf.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>

#include "platform/gdi/gdi_impl.h"
#include "platform/gdi/pdf_join.h"

namespace ktfolio::win {
namespace gdi {
namespace {

constexpr double kPointsPerInch = 72.0;
// A stream takes the finished document in pieces of this size.
constexpr std::size_t kStreamPiece = 4096;
// An untagged document goes to its file in pieces of about this size.
constexpr std::size_t kFilePiece = 1 << 18;

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

void DiscardDocument(DC* dc, PrintJob* job) {
  Bind(dc, job->sink, false);
  if (job->pdf) {
    job->discarding = true;  // what the surface writes as it goes is dropped
    cairo_surface_destroy(job->pdf);
    job->discarding = false;
    job->pdf = nullptr;
  }
  job->file.reset();  // removes the temporary file
  job->bytes.clear();
  job->bytes.shrink_to_fit();
  job->inPage = false;
  job->openTags.clear();
}

// Bytes of Cairo's to the file, seen by the digest first.
void WriteOut(PrintJob* job, std::string_view bytes) {
  g_checksum_update(job->digest, reinterpret_cast<const guchar*>(bytes.data()), static_cast<gssize>(bytes.size()));
  job->file->Write(bytes);
  job->written += bytes.size();
}

// Cairo's write callback. A document that needs the whole of it to be
// finished is kept until it is complete; an untagged one for a file goes
// there as it comes, a piece at a time.
cairo_status_t WritePdfBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* job = static_cast<PrintJob*>(closure);
  if (job->discarding) return CAIRO_STATUS_WRITE_ERROR;
  try {
    job->bytes.append(reinterpret_cast<const char*>(data), length);
    if (job->direct && !job->finishing && job->bytes.size() >= kFilePiece) {
      WriteOut(job, job->bytes);
      job->bytes.clear();
    }
    return CAIRO_STATUS_SUCCESS;
  } catch (const std::bad_alloc&) {
    job->writeFailure = Error(ErrorCode::kOutOfMemory, kLibraryName, "Out of memory");
    return CAIRO_STATUS_NO_MEMORY;
  } catch (const Error& e) {
    job->writeFailure = e;
    return CAIRO_STATUS_WRITE_ERROR;
  }
}

// The outline a reader navigates by: the headings, nested by level, or
// without any, one entry per page.
void AddPageOutline(PrintJob* job) {
  if (!job->headings.empty()) {
    std::vector<std::pair<int, int>> open;  // (level, outline id) of the entries a deeper one may go under
    for (const PrintJob::Heading& h : job->headings) {
      while (!open.empty() && open.back().first >= h.level) open.pop_back();
      const int parent = open.empty() ? CAIRO_PDF_OUTLINE_ROOT : open.back().second;
      char link[64];
      std::snprintf(link, sizeof link, "page=%d pos=[0 %.2f]", h.page, h.yPt);
      const int id = cairo_pdf_surface_add_outline(job->pdf, parent, h.title.c_str(), link,
                                                   static_cast<cairo_pdf_outline_flags_t>(0));
      open.emplace_back(h.level, id);
    }
    return;
  }
  for (int page = 1; page <= job->pagesEnded; ++page) {
    const std::string name = "Page " + std::to_string(page);
    const std::string link = "page=" + std::to_string(page);
    cairo_pdf_surface_add_outline(job->pdf, CAIRO_PDF_OUTLINE_ROOT, name.c_str(), link.c_str(),
                                  static_cast<cairo_pdf_outline_flags_t>(0));
  }
}

// The finished document to the stream, a piece at a time; false when it refuses one.
bool Deliver(PrintJob* job, const std::string& pdf) {
  for (std::size_t at = 0; at < pdf.size(); at += kStreamPiece) {
    const std::size_t n = std::min(kStreamPiece, pdf.size() - at);
    if (!job->stream(reinterpret_cast<const unsigned char*>(pdf.data()) + at, n)) return false;
  }
  return true;
}

// The reason a document could not be written, for the caller of EndPage or EndDoc.
void NoteWriteFailure(PrintJob* job, cairo_status_t status) {
  fileio::NoteFailure(job->writeFailure ? *job->writeFailure
                                        : fileio::AccessError(job->target, cairo_status_to_string(status)));
}

// Finishes a document that went to its file as it was written, `tail` being
// what the file has not yet: the update goes after it. When Cairo's end is not
// as the update expects, the whole document is read back and finished anew.
void FinishInFile(PrintJob* job, const std::string& tail) {
  const std::uint64_t tailAt = job->written;
  WriteOut(job, tail);
  if (std::optional<std::string> update = CatalogUpdate(tail, tailAt, job->document, job->digest)) {
    job->file->Write(*update);
  } else {
    const std::string pdf = FinishPdf(fileio::ReadRegularFile(job->file->TempPath(), UINT64_MAX, "document"),
                                      job->document, job->figureAlts);
    job->file = std::make_unique<fileio::AtomicFile>(job->target);
    job->file->Write(pdf);
  }
  job->file->Commit();
}

}  // namespace

PrintJob::~PrintJob() {
  discarding = true;  // an unfinished document reaches neither the stream nor the target
  if (pdf) cairo_surface_destroy(pdf);
  file.reset();  // the surface finished into the temporary file, which goes now
  if (sink) cairo_surface_destroy(sink);
  if (digest) g_checksum_free(digest);
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
  job->pagesEnded = 0;
  job->headings.clear();
  job->openTags.clear();
  job->figureAlts.clear();
  job->writeFailure.reset();
  if (!job->stream) {
    try {
      job->file = std::make_unique<fileio::AtomicFile>(job->target);
    } catch (const Error& e) {
      fileio::NoteFailure(e);
      return SP_ERROR;
    }
  }
  job->pdf = cairo_pdf_surface_create_for_stream(WritePdfBytes, job, job->pageWidthPt, job->pageHeightPt);
  if (const cairo_status_t status = cairo_surface_status(job->pdf); status != CAIRO_STATUS_SUCCESS) {
    NoteWriteFailure(job, status);
    DiscardDocument(dc, job);
    return SP_ERROR;
  }
  job->bytes.clear();
  // The Info dictionary; the rest of the metadata is added when the document is finished.
  PdfMetadata& meta = job->document = job->metadata;
  job->direct = job->file && !meta.tagged && !job->piece;
  // Cairo from 1.17.6 on writes a PDF 1.5 document's catalog into a compressed
  // object stream and its cross-reference as a stream: the update and the
  // join need the classic table and a catalog they can read, which PDF 1.4 keeps.
  if ((job->direct || job->piece) && cairo_version() >= CAIRO_VERSION_ENCODE(1, 17, 6))
    cairo_pdf_surface_restrict_to_version(job->pdf, CAIRO_PDF_VERSION_1_4);
  job->finishing = false;
  job->written = 0;
  if (job->digest) g_checksum_free(job->digest);
  job->digest = job->direct ? g_checksum_new(G_CHECKSUM_MD5) : nullptr;
  if (meta.title.empty() && info && info->lpszDocName) meta.title = info->lpszDocName;
  const std::pair<cairo_pdf_metadata_t, const std::string*> info_fields[] = {
      {CAIRO_PDF_METADATA_TITLE, &meta.title},
      {CAIRO_PDF_METADATA_AUTHOR, &meta.author},
      {CAIRO_PDF_METADATA_SUBJECT, &meta.subject},
      {CAIRO_PDF_METADATA_KEYWORDS, &meta.keywords}};
  for (const auto& [field, value] : info_fields)
    if (!value->empty()) cairo_pdf_surface_set_metadata(job->pdf, field, value->c_str());
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
  ++job->pagesEnded;
  Bind(dc, job->sink, false);
  if (const cairo_status_t status = cairo_surface_status(job->pdf); status != CAIRO_STATUS_SUCCESS) {
    NoteWriteFailure(job, status);
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
  if (job->pagesEnded == 0) {
    // As a spooler drops a job without pages: no file (Cairo would write a
    // blank page, a PDF cannot be empty) and nothing for the driver to print.
    DiscardDocument(dc, job);
    if (job->driver && !job->driver->EndDoc("")) return SP_ERROR;
    job->endFailed = false;
    return 1;
  }
  CloseAllPdfTags(dc, job);
  if (!job->piece) AddPageOutline(job);
  job->finishing = true;  // Cairo's last objects and trailer stay in memory for the update
  cairo_surface_finish(job->pdf);
  const cairo_status_t status = cairo_surface_status(job->pdf);
  cairo_surface_destroy(job->pdf);
  job->pdf = nullptr;
  std::string cairoPdf = std::move(job->bytes);
  job->bytes.clear();
  try {
    if (status != CAIRO_STATUS_SUCCESS || job->writeFailure) {
      NoteWriteFailure(job, status);
      job->file.reset();
      return SP_ERROR;
    }
    if (job->direct) {
      FinishInFile(job, cairoPdf);
    } else {
      const std::string pdf = job->piece ? std::move(cairoPdf) : FinishPdf(cairoPdf, job->document, job->figureAlts);
      cairoPdf.clear();
      cairoPdf.shrink_to_fit();
      if (job->stream) {
        job->endFailed = !Deliver(job, pdf);
        return job->endFailed ? SP_ERROR : 1;
      }
      job->file->Write(pdf);
      job->file->Commit();
    }
    job->file.reset();
  } catch (const Error& e) {
    fileio::NoteFailure(e);
    job->file.reset();
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

bool SetPdfMetadata(HDC hdc, const PdfMetadata& metadata) {
  GDI_LOCK;
  PrintJob* job = JobOf(ToDC(hdc));
  if (!job) return false;
  job->metadata = metadata;
  return true;
}

bool AddPdfHeading(HDC hdc, int level, const std::string& title, int y) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  PrintJob* job = JobOf(dc);
  if (!job || !job->pdf || !job->inPage) return false;
  const double yPt = (y + dc->st.org.y) * 72.0 / std::max(1, dc->dpiY);
  job->headings.push_back({level, AsDrawnUtf8(title), job->pagesEnded + 1, yPt});
  return true;
}

std::vector<PdfHeading> PdfHeadingsOf(HDC hdc) {
  GDI_LOCK;
  std::vector<PdfHeading> out;
  if (const PrintJob* job = JobOf(ToDC(hdc)))
    for (const PrintJob::Heading& h : job->headings) out.push_back({h.level, h.title, h.page, h.yPt});
  return out;
}

bool MarkPdfPiece(HDC hdc) {
  GDI_LOCK;
  PrintJob* job = JobOf(ToDC(hdc));
  if (!job) return false;
  job->piece = true;
  return true;
}

void AttachPrinterDriver(HDC hdc, std::unique_ptr<PrinterDriver> driver) {
  GDI_LOCK;
  if (PrintJob* job = JobOf(ToDC(hdc))) job->driver = std::move(driver);
}

}  // namespace ktfolio::win
