// The toolbar: its members as the preview lays them down, the button actions,
// and the placement of a control with its toolbar on a form.
#include "viewer/toolbar.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "viewer/cell_editor.h"
#include "viewer/toolbar_icons.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr int kButtonTop = 3;
constexpr int kButtonHeight = 24;
constexpr int kIconButton = 26;
constexpr int kTextButton = 64;
constexpr int kLabelWidth = 56;
constexpr int kSeparatorWidth = 4;
constexpr int kGap = 2;

struct ButtonLook {
  const char* tag;
  const char* caption;
  const char* tip;
};

const ButtonLook kButtonLooks[Toolbar::kButtons] = {
    {"Print", " Print", "Print the document"}, {"ZommIn", "", "Zoom In"},
    {"ZoomOut", "", "Zoom Out"},               {"FullPage", "", "Full Page"},
    {"FitWidth", "", "Fit Width"},             {"Previous", " Prev.", "Go To Previous Page"},
    {"Next", " Next", "Go To Next Page"},
};

std::string IndexedName(const char* array, int index) {
  return std::string(array) + "(" + std::to_string(index) + ")";
}

}  // namespace

// The zoom rounds half to even first (87.5 -> 88, 86.5 -> 86), as the
// default rounding mode does.
std::int16_t Toolbar::SteppedZoom(double zoom, int step) {
  // A zoom no button could reach still steps to a number SetZoom refuses, not
  // to one wrapped into range.
  if (!std::isfinite(zoom)) return INT16_MAX;
  const long long z = std::llrint(std::clamp(zoom, -1e6, 1e6)) / 10 * 10 + step;
  return static_cast<std::int16_t>(std::clamp<long long>(z, INT16_MIN, INT16_MAX));
}

Toolbar::Toolbar(KtPrint4& control, HWND parent) : control_(control) {
  frame_ = std::make_unique<KtMarco>(parent, "Toolbar", control.Site());
  SetMemberName(frame_->hwnd(), "Toolbar");
  frame_->Caption("");
  frame_->BorderWidth(0);
  frame_->BevelWidth(1);
  frame_->CaptionPos(5);  // a print status shows at the right, clear of the buttons
  Build();
}

Toolbar::~Toolbar() {
  // Buttons before the frame that holds their windows.
  for (auto& b : cmdTool_) b.reset();
  others_.clear();
  frame_.reset();
}

KtBoton& Toolbar::AddLabel(const std::string& name, const std::string& caption, const std::string& tip, int x,
                           int width) {
  auto label = std::make_unique<KtBoton>(frame_->hwnd(), name, control_.Site());
  KtBoton& l = *label;
  SetMemberName(l.hwnd(), name);
  l.ToolTipText = tip;
  l.Caption(caption);
  l.BorderWidth(0);
  l.BorderFocusedWidth(0);
  l.BevelWidth(1);
  l.Value(-1);  // sunken, like a status field
  l.ClickFocused(false);
  SetWindowLongPtr(l.hwnd(), GWL_STYLE, GetWindowLongPtr(l.hwnd(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
  MoveWindow(l.hwnd(), x, kButtonTop, width, kButtonHeight, TRUE);
  others_.push_back(std::move(label));
  return l;
}

void Toolbar::AddSeparator(const std::string& name, int x) {
  KtBoton& s = AddLabel(name, "", "", x, kSeparatorWidth);
  s.MarginWidth(0);
  EnableWindow(s.hwnd(), FALSE);
}

void Toolbar::AddButton(int index, int x, int width) {
  const ButtonLook& look = kButtonLooks[index];
  auto button = std::make_unique<KtBoton>(frame_->hwnd(), IndexedName("cmdTool", index), control_.Site());
  KtBoton& b = *button;
  SetMemberName(b.hwnd(), IndexedName("cmdTool", index));
  b.Tag = look.tag;
  b.ToolTipText = look.tip;
  b.Caption(look.caption);
  b.Style(ppFlatButton);
  b.BorderWidth(0);
  b.BorderFocusedWidth(0);
  b.BevelWidth(0);
  b.CaptionPos(look.caption[0] ? 3 : 4);
  b.PicturePos(look.caption[0] ? 3 : 4);
  b.PictureObject(ToolbarIcon(index, false));
  b.HotPicture(ToolbarIcon(index, true));
  b.Click = [this, index] { ButtonClick(index); };
  MoveWindow(b.hwnd(), x, kButtonTop, width, kButtonHeight, TRUE);
  cmdTool_[static_cast<size_t>(index)] = std::move(button);
}

void Toolbar::Build() {
  int x = 4;
  auto advance = [&x](int width) {
    const int at = x;
    x += width + kGap;
    return at;
  };
  AddButton(0, advance(kTextButton), kTextButton);
  AddSeparator("btSep1", advance(kSeparatorWidth));
  for (int i = 1; i <= 4; ++i) AddButton(i, advance(kIconButton), kIconButton);
  AddSeparator("Sep2", advance(kSeparatorWidth));
  zoomLabel_ = &AddLabel("PlaceHolder1", "100%", "View Scale", advance(kLabelWidth), kLabelWidth);
  AddSeparator("Sep3", advance(kSeparatorWidth));
  AddButton(5, advance(kTextButton), kTextButton);
  pageLabel_ = &AddLabel("PlaceHolder2", "1/1", "Page number", advance(kLabelWidth), kLabelWidth);
  AddButton(6, advance(kTextButton), kTextButton);
  AddSeparator("Sep4", advance(kSeparatorWidth));
}

KtPrint4::ToolbarParts Toolbar::Parts() {
  KtPrint4::ToolbarParts parts;
  parts.frame = frame_->hwnd();
  for (int i = 0; i < kButtons; ++i) parts.cmdTool[static_cast<size_t>(i)] = cmdTool_[static_cast<size_t>(i)]->hwnd();
  parts.zoomLabel = zoomLabel_->hwnd();
  parts.pageLabel = pageLabel_->hwnd();
  parts.height = kHeight;
  parts.refreshButtons = [this] {
    for (auto& b : cmdTool_) b->Refresh();
  };
  return parts;
}

void Toolbar::Attach(KtPrint4& control) {
  auto toolbar = std::make_shared<Toolbar>(control, control.hWnd());
  KtPrint4::ToolbarParts parts = toolbar->Parts();
  parts.keepAlive = toolbar;
  control.AttachToolbar(std::move(parts));
  CellEditor::Attach(control);  // after the toolbar: it lies above the other windows
}

void Toolbar::ButtonClick(int index) {
  if (index < 0 || index >= kButtons) return;
  if (control_.RaiseBeforeButtonClick(static_cast<std::int16_t>(index), kButtonLooks[index].tag)) return;
  std::int16_t z = 0;
  switch (index) {
    case 0:
      control_.PrintDoc(1, control_.Pages(), control_.ShowPrintDlg());
      break;
    case 1:
    case 2:
      z = SteppedZoom(control_.Zoom(), index == 1 ? 10 : -10);
      control_.SetZoom(z);
      break;
    case 3:
      z = 0;
      control_.SetZoom(z);
      break;
    case 4:
      z = -1;
      control_.SetZoom(z);
      break;
    default: {
      // The handler may have moved the preview anywhere: the step stays a page
      // number, so it cannot wrap round to the other end of the document.
      const std::int16_t page = static_cast<std::int16_t>(
          std::clamp(control_.PreviewPage() + (index == 5 ? -1 : 1), 0, static_cast<int>(kMaxPages)));
      control_.PreviewPage(page);
      control_.Preview(page);
      break;
    }
  }
}

namespace {

// What the control keeps of its placement: the toolbar, and its site on the
// form, removed when the control lets go.
struct Placement {
  std::shared_ptr<Toolbar> toolbar;
  Form* form = nullptr;
  int cookie = 0;
  ~Placement() {
    if (cookie) form->RemoveSite(cookie);
  }
};

}  // namespace

void PlaceOnForm(KtPrint4& control, Form& form) {
  control.CreateControlWindow(form.hwnd());
  HWND hwnd = control.hWnd();
  if (!hwnd) return;
  SetMemberName(hwnd, form.DisplayName().empty() ? "KtPrint41" : form.DisplayName());
  SetMemberName(control.ViewportWindow(), "VP");
  auto placement = std::make_shared<Placement>();
  placement->toolbar = std::make_shared<Toolbar>(control, hwnd);
  placement->form = &form;
  KtPrint4::ToolbarParts parts = placement->toolbar->Parts();
  parts.keepAlive = placement;
  control.AttachToolbar(std::move(parts));
  CellEditor::Attach(control);  // after the toolbar: it lies above the other windows
  Form::Site site;
  site.hwnd = hwnd;
  site.show = [&control] { control.ContainerShow(); };
  site.hide = [&control] { control.ContainerHide(); };
  placement->cookie = form.AddSite(std::move(site));
}

}  // namespace ktfolio
