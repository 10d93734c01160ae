// The drawing steps and window plumbing the button and the frame share.
#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "controls/controls_impl.h"
#include "platform/automation/error.h"
#include "platform/user/user.h"

namespace ktfolio::controls {

using namespace win;

HFONT CreateScreenFont(const StdFont& font) {
  LOGFONT lf;
  HDC screen = CreateCompatibleDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  DeleteDC(screen);
  lf.lfHeight = -static_cast<LONG>(std::lround(font.Size * dpi / 72.0));
  lf.lfWeight = font.Weight();
  lf.lfItalic = font.Italic;
  lf.lfUnderline = font.Underline;
  lf.lfStrikeOut = font.Strikethrough;
  std::strncpy(lf.lfFaceName, font.Name.c_str(), sizeof lf.lfFaceName - 1);
  return CreateFontIndirect(&lf);
}

void OutlinedRect(HDC dc, int left, int top, int right, int bottom, int penWidth, std::uint32_t penColor,
                  std::uint32_t brushColor) {
  HPEN pen = penWidth >= 1 ? CreatePen(PS_SOLID, penWidth, penColor) : nullptr;
  HBRUSH brush = CreateSolidBrush(brushColor);
  HGDIOBJ oldPen = SelectObject(dc, pen ? static_cast<HGDIOBJ>(pen) : GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Rectangle(dc, left, top, right, bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  if (pen) DeleteObject(pen);
  DeleteObject(brush);
}

bool RegisterControlClass(const char* name, WNDPROC proc, UINT style) {
  static std::set<std::string> done;
  if (done.count(name)) return true;
  WNDCLASSEX wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  if (!RegisterClassEx(&wc)) return false;
  done.insert(name);
  return true;
}

void PaintBuffered(HWND hwnd, HDC target, const std::function<void(HDC dc, int w, int h)>& draw) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  const int w = rc.right, h = rc.bottom;
  if (w <= 0 || h <= 0) return;
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bmp = CreateCompatibleBitmap(target, w, h);
  HGDIOBJ old = SelectObject(dc, bmp);
  draw(dc, w, h);
  BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

void PaintNow(HWND hwnd, const std::function<void(HDC)>& paint) {
  if (!hwnd || !IsWindow(hwnd)) return;
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  paint(dc);
  ReleaseDC(hwnd, dc);
}

bool HandleCommon(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const std::function<void(HDC)>& paint,
                  LRESULT& result) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) paint(dc);
      EndPaint(hwnd, &ps);
      result = 0;
      return true;
    }
    case WM_ERASEBKGND: result = 1; return true;
    case WM_SETTEXT:
    case WM_ENABLE:
      result = DefWindowProc(hwnd, msg, wParam, lParam);
      PaintNow(hwnd, paint);
      return true;
    default: return false;
  }
}

void WritePicture(PropertyBag& bag, std::string_view name, const std::shared_ptr<Picture>& picture) {
  if (picture)
    bag.WriteProperty(name, Variant(PictureBytes(*picture)));
  else
    bag.WriteProperty(name, Variant());
}

std::shared_ptr<Picture> ReadPicture(const PropertyBag& bag, std::string_view name) {
  const Variant stored = bag.ReadProperty(name);
  if (stored.IsEmpty()) return nullptr;
  try {
    return LoadPictureBytes(stored.ToBytes());
  } catch (const Error&) {
    return nullptr;
  }
}

}  // namespace ktfolio::controls
