// Platform-internal side of the gdi module: what the other platform modules
// (window manager, GTK backend, spooler) need to reach the Cairo objects behind
// the handles. Nothing above src/platform/ may include this header.
#pragma once

#include <memory>
#include <string>

#include "platform/gdi/gdi.h"

typedef struct _cairo_surface cairo_surface_t;

namespace ktfolio::win {

// The Cairo image surface (CAIRO_FORMAT_RGB24) a bitmap holds. Borrowed: valid
// while the bitmap lives. Call cairo_surface_flush() before reading its pixels
// from outside; GDI itself finishes every drawing call before returning.
cairo_surface_t* BitmapSurface(HBITMAP bitmap);

// Wraps a caller's RGB24 or ARGB32 image surface as a bitmap handle. The bitmap
// takes its own reference; it is counted and deleted like any other bitmap.
HBITMAP CreateBitmapFromSurface(cairo_surface_t* surface);

// A device context drawing straight onto a surface the caller owns (printer
// pages, window surfaces). The context keeps a reference until DeleteDC.
// Device units are pixels at dpiX/dpiY: on vector surfaces (PDF, PostScript,
// SVG) they are scaled to the surface's points (72 / dpi); on image surfaces one
// unit is one pixel. HORZRES/VERTRES default to the image size, or, for vector
// surfaces, must be set with SetDeviceCaps. No bitmap can be selected into it.
HDC CreateSurfaceDC(cairo_surface_t* surface, int dpiX, int dpiY);

// Overrides what GetDeviceCaps reports for one index on this context (the
// spooler sets HORZRES, VERTRES, PHYSICAL* and TECHNOLOGY for printer pages).
// HORZRES/VERTRES also bound the clip box of surface contexts.
void SetDeviceCaps(HDC hdc, int index, int value);

// The surface the context currently draws on: the selected bitmap's surface for
// memory contexts, the wrapped surface for surface contexts. Borrowed. A
// spooler ends a PDF page with cairo_surface_show_page() on it.
cairo_surface_t* DCSurface(HDC hdc);

// GetDeviceCaps index not in the public header: DT_RASDISPLAY (1) for screen
// and memory contexts, DT_RASPRINTER (2) when the spooler says so.
constexpr int TECHNOLOGY = 2;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;

// What a spooler adds to a PDF printer context. Each step may be refused (the
// GDI call then fails the Win32 way, with nothing drawn or written); EndDoc
// hands over the finished file, which the driver may submit, move or remove,
// or an empty path for a document without pages: there is nothing to print.
class PrinterDriver {
 public:
  virtual ~PrinterDriver() = default;
  virtual bool StartDoc(const DOCINFO& info) { return true; }
  virtual bool StartPage() { return true; }
  virtual bool EndPage() { return true; }
  virtual bool EndDoc(const std::string& pdfPath) { return true; }
  virtual bool AbortDoc() { return true; }
  virtual bool DeleteDC() { return true; }  // false: DeleteDC fails, the context is still gone
};

// Gives a context made by CreatePdfPrinterDC its driver (owned from now on).
void AttachPrinterDriver(HDC hdc, std::unique_ptr<PrinterDriver> driver);

// Printer contexts (CreateDC with a driver other than "DISPLAY") are made by
// the spooler; it answers nullptr for a printer it does not know.
HDC CreateSpoolerDC(const char* driver, const char* device, const void* devmode);

}  // namespace ktfolio::win
