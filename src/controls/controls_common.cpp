// The drawing steps and window plumbing the button and the frame share.
#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "controls/controls_impl.h"
#include "platform/automation/error.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/user/user.h"
#include "platform/user/window_dc.h"

namespace ktfolio::controls {

using namespace win;

HFONT CreateScreenFont(const StdFont& font) {
  LOGFONT lf;
  const int dpi = GetDeviceCaps(MemoryDC(nullptr), LOGPIXELSY);
  lf.lfHeight = -static_cast<LONG>(std::lround(font.Size * dpi / 72.0));
  lf.lfWeight = font.Weight();
  lf.lfItalic = font.Italic;
  lf.lfUnderline = font.Underline;
  lf.lfStrikeOut = font.Strikethrough;
  std::strncpy(lf.lfFaceName, font.Name.c_str(), sizeof lf.lfFaceName - 1);
  return CreateFontIndirect(&lf);
}

void OutlinedRect(HDC dc, const RECT& rc, int penWidth, std::uint32_t penColor, std::uint32_t brushColor) {
  const OwnedPen pen(penWidth >= 1 ? CreatePen(PS_SOLID, penWidth, penColor) : nullptr);
  const OwnedBrush brush(CreateSolidBrush(brushColor));
  const SelectedObject penSelected(dc, pen ? static_cast<HGDIOBJ>(pen.get()) : GetStockObject(NULL_PEN));
  const SelectedObject brushSelected(dc, brush);
  Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
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
  const OwnedDC dc = MemoryDC(target);
  const OwnedBitmap bmp(CreateCompatibleBitmap(target, w, h));
  const SelectedObject selected(dc, bmp);
  draw(dc, w, h);
  BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
}

void PaintNow(HWND hwnd, const std::function<void(HDC)>& paint) {
  if (!hwnd || !IsWindow(hwnd)) return;
  const WindowDC dc(hwnd);
  if (!dc) return;
  paint(dc);
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
