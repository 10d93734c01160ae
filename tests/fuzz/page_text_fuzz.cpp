// libFuzzer target: texts drawn on a PDF printer page, where they wait in the
// page's glyph queue and share clips, on arbitrary bytes. Each step of the
// input is one call: DrawText or DrawTextBlock with any rectangle, flags and
// text, a clip, an origin, a colour, a font, a saved or restored state, a
// fill (which draws what waits). Every page must end as a PDF.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_bytes.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text_block.h"

using namespace ktfolio::win;

namespace {

// Coordinates eight units apart, some at the ends of the range.
struct Bytes : ktfolio::fuzz::Bytes {
  int Coordinate() { return ktfolio::fuzz::Bytes::Coordinate(8, false); }
  RECT Rect() { return ktfolio::fuzz::Bytes::Rect(8, false); }
};

constexpr const char* kTexts[] = {"88888888", "M          ", "Item number 12 with a longer description", "ok",
                                  "Fish && chips", "Tab\there", "two\nlines", "", "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5"};
constexpr UINT kFlags[] = {DT_SINGLELINE, DT_VCENTER, DT_BOTTOM, DT_CENTER, DT_RIGHT, DT_WORDBREAK, DT_NOCLIP,
                           DT_NOPREFIX, DT_EXPANDTABS};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t written = 0;
  HDC dc = CreatePdfStreamDC([&](const unsigned char*, std::size_t n) { written += n; return true; }, 96, 96, 400, 400);
  if (!dc) __builtin_trap();
  if (StartDoc(dc, nullptr) <= 0 || StartPage(dc) <= 0) __builtin_trap();
  LOGFONT lf{};
  lf.lfHeight = -14;
  std::strcpy(lf.lfFaceName, "Arial");
  HFONT upright = CreateFontIndirect(&lf);
  lf.lfItalic = 1;
  lf.lfHeight = -40;
  HFONT big = CreateFontIndirect(&lf);
  HGDIOBJ old = SelectObject(dc, upright);
  SetBkMode(dc, TRANSPARENT);
  Bytes in{{data, size}};
  for (int step = 0; step < 64 && in.left; ++step) {
    switch (in.Byte() % 9) {
      case 0:
      case 1: {
        RECT rc = in.Rect();
        UINT format = 0;
        const std::uint8_t bits = in.Byte();
        for (std::size_t i = 0; i < 8; ++i)
          if (bits & (1u << i)) format |= kFlags[i];
        if (in.Byte() & 1) format |= kFlags[8];
        DrawText(dc, kTexts[in.Byte() % std::size(kTexts)], -1, &rc, format);
        break;
      }
      case 2: {
        TextBlock block;
        block.rc = in.Rect();
        block.format = DT_WORDBREAK | DT_NOPREFIX;
        block.align = static_cast<BlockAlign>(in.Byte() % 3);
        if (in.Byte() & 1) block.clip = in.Rect();
        block.color = RGB(in.Byte(), 0, 0);
        DrawTextBlock(dc, kTexts[in.Byte() % std::size(kTexts)], -1, block);
        break;
      }
      case 3: {
        const RECT r = in.Rect();
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        break;
      }
      case 4: SetViewportOrgEx(dc, in.Coordinate(), in.Coordinate(), nullptr); break;
      case 5: SetTextColor(dc, RGB(in.Byte(), in.Byte(), in.Byte())); break;
      case 6: SelectObject(dc, in.Byte() & 1 ? big : upright); break;
      case 7:
        if (in.Byte() & 1) SaveDC(dc);
        else RestoreDC(dc, -1);
        break;
      case 8: {
        const RECT r = in.Rect();
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        break;
      }
    }
  }
  SelectObject(dc, old);
  if (EndPage(dc) <= 0 || EndDoc(dc) <= 0 || written == 0) __builtin_trap();
  DeleteDC(dc);
  DeleteObject(upright);
  DeleteObject(big);
  return 0;
}
