// libFuzzer target: the drawing calls with any coordinates, on a small bitmap
// and on a PDF page at once. Each step of the input is one call (a line, a
// polyline, a rectangle, a polygon, a fill, a pixel, a block transfer, an
// edge, a frame control, a focus rectangle, a text) or a change of pen, clip,
// origin or saved state, on one context or the other. Nothing may crash or
// overflow, and the page must end as a PDF.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_bytes.h"
#include "platform/gdi/gdi.h"

using namespace ktfolio::win;

namespace {

// Ordinary coordinates, some a hundred thousand times larger, some at the ends.
struct Bytes : ktfolio::fuzz::Bytes {
  int Coordinate() { return ktfolio::fuzz::Bytes::Coordinate(1, true); }
  POINT Point() { return POINT{Coordinate(), Coordinate()}; }
  RECT Rect() { return ktfolio::fuzz::Bytes::Rect(1, true); }
};

void Step(HDC dc, HDC source, Bytes& in) {
  switch (in.Byte() % 16) {
    case 0: {
      const POINT a = in.Point(), b = in.Point();
      MoveToEx(dc, a.x, a.y, nullptr);
      LineTo(dc, b.x, b.y);
      break;
    }
    case 1: {
      POINT points[6];
      for (POINT& p : points) p = in.Point();
      const DWORD counts[] = {2, 4};
      PolyPolyline(dc, points, counts, 2);
      break;
    }
    case 2: {
      const RECT r = in.Rect();
      Rectangle(dc, r.left, r.top, r.right, r.bottom);
      break;
    }
    case 3: {
      POINT points[5];
      for (POINT& p : points) p = in.Point();
      Polygon(dc, points, 2 + in.Byte() % 4);
      break;
    }
    case 4: {
      const RECT r = in.Rect();
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(in.Byte() & 1 ? GRAY_BRUSH : BLACK_BRUSH)));
      break;
    }
    case 5: {
      const POINT p = in.Point();
      SetPixel(dc, p.x, p.y, RGB(in.Byte(), 0, 0));
      break;
    }
    case 6: {
      const RECT r = in.Rect();
      BitBlt(dc, r.left, r.top, r.right, r.bottom, source, in.Coordinate(), in.Coordinate(),
             in.Byte() & 1 ? SRCCOPY : SRCINVERT);
      break;
    }
    case 7: {
      const RECT d = in.Rect(), s = in.Rect();
      StretchBlt(dc, d.left, d.top, d.right, d.bottom, source, s.left, s.top, s.right, s.bottom, SRCCOPY);
      break;
    }
    case 8: {
      RECT r = in.Rect();
      DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | (in.Byte() & 1 ? BF_ADJUST : 0));
      break;
    }
    case 9: {
      RECT r = in.Rect();
      DrawFrameControl(dc, &r, DFC_BUTTON, in.Byte() & 1 ? DFCS_BUTTONCHECK : DFCS_BUTTONPUSH);
      break;
    }
    case 10: {
      const RECT r = in.Rect();
      DrawFocusRect(dc, &r);
      break;
    }
    case 11: {
      const POINT p = in.Point();
      TextOut(dc, p.x, p.y, "Total", 5);
      break;
    }
    case 12: {
      const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_NULL, PS_INSIDEFRAME};
      HGDIOBJ pen = CreatePen(styles[in.Byte() % 5], in.Byte() % 64, RGB(0, 0, in.Byte()));
      DeleteObject(SelectObject(dc, pen));  // the stock pen first: deleting it does nothing
      break;
    }
    case 13: {
      const RECT r = in.Rect();
      IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
      break;
    }
    case 14: SetViewportOrgEx(dc, in.Coordinate(), in.Coordinate(), nullptr); break;
    case 15:
      if (in.Byte() & 1) SaveDC(dc);
      else RestoreDC(dc, -1);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  HDC bitmapDC = CreateCompatibleDC(nullptr);
  HGDIOBJ bitmap = SelectObject(bitmapDC, CreateCompatibleBitmap(bitmapDC, 64, 64));
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ sourceBitmap = SelectObject(source, CreateCompatibleBitmap(source, 8, 8));
  std::size_t written = 0;
  HDC page = CreatePdfStreamDC([&](const unsigned char*, std::size_t n) { written += n; return true; }, 96, 96, 400, 400);
  if (!bitmapDC || !source || !page || StartDoc(page, nullptr) <= 0 || StartPage(page) <= 0) __builtin_trap();
  const int savedBitmap = SaveDC(bitmapDC), savedPage = SaveDC(page);
  Bytes in{{data, size}};
  for (int step = 0; step < 48 && in.left; ++step) Step(in.Byte() & 1 ? page : bitmapDC, source, in);
  // Back to the stock pen, so the last one made can go, then to the state
  // before the steps (which lets go of the pens saved states held).
  DeleteObject(SelectObject(bitmapDC, GetStockObject(BLACK_PEN)));
  DeleteObject(SelectObject(page, GetStockObject(BLACK_PEN)));
  RestoreDC(bitmapDC, savedBitmap);
  RestoreDC(page, savedPage);
  if (EndPage(page) <= 0 || EndDoc(page) <= 0 || written == 0) __builtin_trap();
  DeleteDC(page);
  DeleteObject(SelectObject(bitmapDC, bitmap));
  DeleteObject(SelectObject(source, sourceBitmap));
  DeleteDC(bitmapDC);
  DeleteDC(source);
  return 0;
}
