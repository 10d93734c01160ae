// KtPrint4's preview on screen: the control's window and its viewport, Preview,
// SetZoom, Refresh, the toolbar status, the paint the viewport asks for, and
// the container's show, hide and resize.
#include <cmath>
#include <string>

#include "control/ktprint4_impl.h"
#include "model/units.h"
#include "viewer/portv.h"
#include "render/render_impl.h"
#include "render/render_internal.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr const char* kControlClass = "KtPrint4";
constexpr std::int16_t kMinZoom = 10;
constexpr std::int16_t kMaxZoom = 250;
constexpr std::int16_t kFitWidth = -1;
constexpr std::int16_t kFitPage = 0;
// Room left beside a fitted page, twips: one margin, or two when a bar shows.
constexpr double kFitMargin = 150;
constexpr double kFitMarginWithBar = 300;
constexpr int kPrevious = 5;
constexpr int kNext = 6;

}  // namespace

struct KtPrint4Impl::PreviewState {
  HWND hwnd = nullptr;
  std::unique_ptr<PortV> vp;
  ToolbarParts toolbar;
  bool shown = false;
  bool painting = false;
  std::int16_t previewPage = 0;
  std::int32_t offsetX = 0, offsetY = 0;
  std::int32_t bandEndX = 0, bandEndY = 0;
  double paperWidth = 0, paperHeight = 0;
  std::int32_t toolbarHeight = 0;
  std::int16_t lastButton = 1;
  CellEditorHooks editor;

  PreviewState() = default;
  PreviewState(const PreviewState&) = delete;
  PreviewState& operator=(const PreviewState&) = delete;
  ~PreviewState() {
    editor = CellEditorHooks();
    toolbar.keepAlive.reset();
    vp.reset();
    if (hwnd && IsWindow(hwnd)) {
      SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
      DestroyWindow(hwnd);
    }
  }
};

KtPrint4Impl::PreviewState& KtPrint4Impl::PreviewData() const {
  if (!preview_) preview_ = std::make_shared<PreviewState>();
  return *preview_;
}

std::int16_t KtPrint4Impl::PreviewPage() const { return PreviewData().previewPage; }
void KtPrint4Impl::PreviewPage(std::int16_t page) { PreviewData().previewPage = page; }
bool KtPrint4Impl::Shown() const { return PreviewData().shown; }
HWND KtPrint4Impl::hWnd() const { return PreviewData().hwnd; }
HWND KtPrint4Impl::ViewportWindow() const {
  const PreviewState& p = PreviewData();
  return p.vp ? p.vp->hwnd() : nullptr;
}

// ---- public operations --------------------------------------------------------------

void KtPrint4Impl::Preview(std::int16_t iPage) {
  PreviewState& p = PreviewData();
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  // Without a window nothing is ever shown, so the document's own count bounds it.
  const std::int16_t count = p.hwnd ? pageCountCopy_ : Pages();
  if (iPage < 1 || iPage > count) {
    RecordError(ErrorCode::kPageOutOfRange, "Previewing", "No Description");
  } else {
    p.previewPage = iPage;
    if (p.vp) p.vp->DrawDC();
  }
  RefreshStatus();
  SetCursor(old ? old : LoadCursor(nullptr, IDC_ARROW));
}

void KtPrint4Impl::SetZoom(std::int16_t& ZoomValue) {
  PreviewState& p = PreviewData();
  const tpPageInfo info = PageInfo();
  double z = zoom_;
  if (ZoomValue == kFitWidth || ZoomValue == kFitPage) {
    if (!p.vp || info.Width <= 0 || info.Height <= 0) return;
    const std::int32_t bars = p.vp->ScrollBars();
    if (ZoomValue == kFitWidth) {
      const double m = (bars == 2 || bars == 0) ? kFitMarginWithBar : kFitMargin;
      z = (p.vp->ScaleWidth() - m) / info.Width * 100;
    } else {
      const double m = bars != 0 ? kFitMarginWithBar : kFitMargin;
      const double zh = (p.vp->ScaleHeight() - m) / info.Height * 100;
      const double zw = (p.vp->ScaleWidth() - m) / info.Width * 100;
      z = zh >= zw ? zw : zh;
    }
  } else if (ZoomValue >= kMinZoom && ZoomValue <= kMaxZoom) {
    z = ZoomValue;
  } else {
    RecordError(ErrorCode::kZoomOutOfRange, "Setting zoom value", "No Description");
    return;
  }
  zoom_ = z;
  if (p.vp) {
    p.vp->ViewHeight(render::Nint(info.Height * zoom_ / 100));
    p.vp->ViewWidth(render::Nint(info.Width * zoom_ / 100));
    p.vp->DrawDC();
  }
  RefreshStatus();
}

void KtPrint4Impl::Refresh() {
  PreviewState& p = PreviewData();
  if (p.vp) p.vp->Refresh();
}

void KtPrint4Impl::RefreshStatus() {
  PreviewState& p = PreviewData();
  if (!p.shown) return;
  const ToolbarParts& t = p.toolbar;
  if (t.cmdTool[kPrevious]) EnableWindow(t.cmdTool[kPrevious], p.previewPage >= 2);
  if (t.cmdTool[kNext]) EnableWindow(t.cmdTool[kNext], p.previewPage < pageCountCopy_);
  if (t.pageLabel)
    SetWindowText(t.pageLabel, (std::to_string(p.previewPage) + "/" + std::to_string(pageCountCopy_)).c_str());
  if (t.zoomLabel)
    SetWindowText(t.zoomLabel, (std::to_string(static_cast<long long>(std::trunc(zoom_))) + " %").c_str());
}

void KtPrint4Impl::AttachToolbar(ToolbarParts parts) {
  PreviewState& p = PreviewData();
  p.toolbar = std::move(parts);
  if (p.hwnd) ContainerResize();
}

void KtPrint4Impl::ToolbarCaption(const std::string& text) {
  PreviewState& p = PreviewData();
  if (p.toolbar.frame) SetWindowText(p.toolbar.frame, text.c_str());
}

// ---- the viewport's events ---------------------------------------------------------------

// Draws the page shown into the viewport's page surface.
void KtPrint4Impl::PaintPreview(HDC dc) {
  PreviewState& p = PreviewData();
  if (p.painting || !p.vp) return;  // a paint asked for from inside a paint
  p.painting = true;
  try {
    PortV& vp = *p.vp;
    p.paperWidth = render::Nint(vp.ViewWidth() / TwipsPerPixelX());
    p.paperHeight = render::Nint(vp.ViewHeight() / TwipsPerPixelY());
    if (ShowGuideLines())
      render::DrawGuideRectangles(*this, dc, zoom_, static_cast<int>(p.paperWidth), static_cast<int>(p.paperHeight));
    const std::int16_t countBefore = pageCountCopy_;
    RepaginateForPaint(p.previewPage);
    RECT rc;
    GetClientRect(vp.hwnd(), &rc);
    const double visibleWidth = rc.right - rc.left, visibleHeight = rc.bottom - rc.top;
    p.offsetX = p.offsetY = 0;
    auto offset = [&vp](std::int32_t bar, double paper, double visible) {
      vp.ActiveBar(bar);
      const std::int32_t max = vp.Max();
      return max > 0 ? static_cast<std::int32_t>(static_cast<double>(vp.Value()) / max * (paper - visible)) : 0;
    };
    if (p.paperWidth > visibleWidth) p.offsetX = offset(0, p.paperWidth, visibleWidth);
    if (p.paperHeight > visibleHeight) p.offsetY = offset(1, p.paperHeight, visibleHeight);
    p.bandEndX = p.offsetX + static_cast<std::int32_t>(visibleWidth);
    p.bandEndY = p.offsetY + static_cast<std::int32_t>(visibleHeight);
    if (p.previewPage >= 1) {
      PageCount(pageCountCopy_);
      render::DrawPages(*this, render::Device::ForPreview(dc, zoom_), p.previewPage, p.previewPage,
                        render::Band{p.offsetY, p.bandEndY}, nullptr);
    }
    if (pageCountCopy_ != countBefore) RefreshStatus();
  } catch (const std::exception& e) {
    RecordCaught(e);
  }
  p.painting = false;
}

// A click on the viewport: the cell under it, if any, is reported to the host.
void KtPrint4Impl::ClickPreview(std::int32_t x, std::int32_t y, std::int32_t offsetX, std::int32_t offsetY) {
  PreviewState& p = PreviewData();
  const double scale = 100.0 / zoom_;
  const float tx = static_cast<float>((x + offsetX) * scale * TwipsPerPixelX());
  const float ty = static_cast<float>((y + offsetY) * scale * TwipsPerPixelY());
  render::CellHit hit;
  const bool found = render::HitTestCell(*this, p.previewPage, tx, ty, hit);
  if (p.editor.click) p.editor.click(found, hit.area, hit.row, hit.col);
  if (found) RaiseClickCell(hit.row, hit.col, hit.area, p.lastButton);
}

// ---- the in-cell editor's hooks ----------------------------------------------------------------

void KtPrint4Impl::AttachCellEditor(CellEditorHooks hooks) {
  PreviewState& p = PreviewData();
  p.editor = std::move(hooks);
  if (p.editor.multiLine) p.editor.multiLine(multiLineEditing_);
}

void KtPrint4Impl::CellEditorMultiLine(bool v) {
  if (preview_ && preview_->editor.multiLine) preview_->editor.multiLine(v);
}

void KtPrint4Impl::ControlDoubleClickMessage() {
  PreviewState& p = PreviewData();
  if (p.editor.moveMessage) p.editor.moveMessage();
}

// ---- the control's window and the container's notifications ---------------------------------

namespace {

LRESULT ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<KtPrint4Impl*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_SIZE:
      if (control) control->ContainerResize();
      return 0;
    case WM_GETDLGCODE:  // Tab stays inside: the toolbar walks its buttons, the cell editor swallows it
      return DLGC_WANTTAB;
    case WM_LBUTTONDBLCLK:  // posted by the cell editor to run a pending move
      if (control) control->ControlDoubleClickMessage();
      return 0;
    case WM_PAINT: {  // the children cover the control; it paints nothing itself
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

void RegisterControlClass() {
  static bool done = false;
  if (done) return;
  WNDCLASSEX wc;
  wc.lpfnWndProc = ControlWndProc;
  wc.lpszClassName = kControlClass;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
  done = RegisterClassEx(&wc) != 0;
}

}  // namespace

void KtPrint4Impl::CreateControlWindow(HWND parent) {
  PreviewState& p = PreviewData();
  if (p.hwnd) return;
  RegisterControlClass();
  p.hwnd = CreateWindowEx(0, kControlClass, "", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, nullptr, nullptr,
                          nullptr);
  if (!p.hwnd) return;
  p.vp = std::make_unique<PortV>(p.hwnd, Site().AmbientBackColor());
  PortV& vp = *p.vp;
  vp.Paint = [this](HDC& dc) { PaintPreview(dc); };
  vp.Click = [this](std::int32_t& x, std::int32_t& y, std::int32_t& ox, std::int32_t& oy) {
    ClickPreview(x, y, ox, oy);
  };
  vp.DblClick = [&p](std::int32_t& x, std::int32_t& y, std::int32_t& ox, std::int32_t& oy) {
    if (p.editor.doubleClick) p.editor.doubleClick(x, y, ox, oy);
  };
  vp.MouseDown = [&p](std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&, std::int16_t button,
                      std::int16_t) { p.lastButton = button; };
  const tpPageInfo info = PageInfo();
  vp.ViewHeight(render::Nint(info.Height * zoom_ / 100));
  vp.ViewWidth(render::Nint(info.Width * zoom_ / 100));
  SetWindowLongPtr(p.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void KtPrint4Impl::ContainerShow() {
  PreviewState& p = PreviewData();
  p.previewPage = 1;
  pageCountCopy_ = Pages();
  if (!p.shown) {
    p.shown = true;
    ContainerResize();
  }
}

void KtPrint4Impl::ContainerHide() { PreviewData().shown = false; }

void KtPrint4Impl::ContainerResize() {
  PreviewState& p = PreviewData();
  if (!p.hwnd) return;
  RECT rc;
  GetClientRect(p.hwnd, &rc);
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  ToolbarParts& t = p.toolbar;
  p.toolbarHeight = 0;
  if (t.frame) {
    ShowWindow(t.frame, showToolBar_ ? SW_SHOW : SW_HIDE);
    if (showToolBar_) {
      p.toolbarHeight = t.height;
      MoveWindow(t.frame, 0, 0, width, t.height, TRUE);
    }
    if (p.shown && t.refreshButtons) t.refreshButtons();
  }
  if (p.vp) {
    MoveWindow(p.vp->hwnd(), 0, p.toolbarHeight, width, std::max(0, height - p.toolbarHeight), TRUE);
    p.vp->Refresh();
  }
  ComputePageInfo();
  RefreshStatus();
}

}  // namespace ktfolio
