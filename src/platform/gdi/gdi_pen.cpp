// Pens: the one place a pen object is made, for the stock pens and for CreatePen.
#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {

Pen* NewPen(int style, int width, COLORREF color, bool stock) {
  auto* p = new Pen;
  p->style = style;
  p->width = width;
  p->color = color;
  return Register(p, stock);
}

}  // namespace gdi

using namespace gdi;

HPEN CreatePen(int style, int width, COLORREF color) {
  GDI_LOCK;
  if (style < PS_SOLID || style > PS_ALTERNATE) return nullptr;
  return NewPen(style, width < 0 ? 0 : width, color & 0xFFFFFF, false);
}

}  // namespace ktfolio::win
