// PropertyPage: the panel and its controls, the changed mark, the dialog's
// buttons and the selection the page works on.
#include "pages/property_page.h"

#include <cstdio>

#include "control/ktprint4_dispatch.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr const char* kPanelClass = "ktfolioPropertyPage";
constexpr int kDialogButtonWidth = 80;
constexpr int kDialogButtonHeight = 26;
constexpr int kMargin = 10;
constexpr int kListHeight = 22;
constexpr int kTextHeight = 22;
constexpr int kCheckHeight = 20;
constexpr std::uint32_t kSystemColorFlag = 0x80000000u;

// A colour value as the screen shows it: a system colour index resolved.
COLORREF Shown(std::uint32_t color) {
  if ((color & 0xFF000000u) == kSystemColorFlag) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

void RegisterPanel() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEX wc;
  wc.lpfnWndProc = DefWindowProc;  // replaced per window by SetWindowLongPtr below
  wc.lpszClassName = kPanelClass;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
  registered = RegisterClassEx(&wc) != 0;
}

}  // namespace

PropertyPage::PropertyPage(Form& form, std::string caption) : form_(form), caption_(std::move(caption)) {
  RegisterPanel();
  panel_ = CreateWindowEx(0, kPanelClass, caption_.c_str(), WS_CHILD | WS_CLIPCHILDREN, 0, 0, form.ClientWidth(),
                          form.ClientHeight(), form.hwnd(), nullptr, nullptr, nullptr);
  SetWindowLongPtr(panel_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtr(panel_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PropertyPage::PanelProc));
  SetMemberName(panel_, caption_);
  SetWindowText(form.hwnd(), caption_.c_str());
  LOGFONT lf;
  lf.lfHeight = -12;  // 9 points at 96 dpi
  lf.lfWeight = 400;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "Arial");
  font_.reset(CreateFontIndirect(&lf));
  ok_ = Button("cmdOK", "OK", 0, 0, kDialogButtonWidth, kDialogButtonHeight);
  cancel_ = Button("cmdCancel", "Cancel", 0, 0, kDialogButtonWidth, kDialogButtonHeight);
  apply_ = Button("cmdApply", "Apply", 0, 0, kDialogButtonWidth, kDialogButtonHeight);
  EnableWindow(apply_, FALSE);
  LayoutButtons();
  Form::Site site;
  site.hwnd = panel_;
  site.resize = [this] { LayoutButtons(); };
  site_ = form.AddSite(std::move(site));
}

PropertyPage::~PropertyPage() {
  form_.RemoveSite(site_);
  if (IsWindow(panel_)) {
    SetWindowLongPtr(panel_, GWLP_USERDATA, 0);
    DestroyWindow(panel_);
  }
}

// ---- protocol --------------------------------------------------------------------------

void PropertyPage::SelectionChanged(std::vector<DispatchPtr> objects) {
  selection_ = std::move(objects);
  Loading loading(*this);
  OnSelectionChanged();
}

void PropertyPage::ApplyChanges() {
  OnApply();
  Changed(false);
}

void PropertyPage::Changed(bool v) {
  changed_ = v;
  EnableWindow(apply_, v);
}

void PropertyPage::Ok() {
  if (changed_) ApplyChanges();
  Cancel();
}

void PropertyPage::Cancel() {
  form_.Close();
  if (Closed) Closed();
}

Dispatch& PropertyPage::First() const {
  if (selection_.empty() || !selection_.front()) throw ObjectNotSetError();
  return *selection_.front();
}

void PropertyPage::ReportFailure(const Error& e) {
  lastFailure_ = e.description() + " (error " + std::to_string(e.number()) + ")";
  MessageBox(panel_, lastFailure_.c_str(), caption_.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

KtPrint4Impl* PropertyPage::FirstControl() const {
  if (selection_.empty()) return nullptr;
  auto* published = dynamic_cast<KtPrint4Dispatch*>(selection_.front().get());
  return published ? &published->Control() : nullptr;
}

// ---- building ----------------------------------------------------------------------------

HWND PropertyPage::Child(const ChildKind& kind, int x, int y, int w, int h) {
  HWND hwnd = CreateWindowEx(kind.exStyle, kind.cls, kind.text.c_str(), WS_CHILD | WS_VISIBLE | kind.style, x, y, w, h,
                             panel_, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(nextId_++)), nullptr, nullptr);
  if (!kind.name.empty()) SetMemberName(hwnd, kind.name);
  SendMessage(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return hwnd;
}

HWND PropertyPage::Label(const std::string& text, int x, int y, int w, int h, DWORD align) {
  return Child({"Static", "", text, align}, x, y, w, h);
}

HWND PropertyPage::Frame(const std::string& name, const std::string& caption, int x, int y, int w, int h) {
  return Child({"Button", name, caption, BS_GROUPBOX}, x, y, w, h);
}

HWND PropertyPage::List(const std::string& name, int x, int y, int w, const std::vector<Entry>& entries, DWORD style) {
  HWND list = Child({"ComboBox", name, "", style | WS_TABSTOP}, x, y, w, kListHeight);
  for (const Entry& e : entries) {
    const LRESULT i = SendMessage(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.text));
    SendMessage(list, CB_SETITEMDATA, static_cast<WPARAM>(i), e.value);
  }
  return list;
}

HWND PropertyPage::Check(const std::string& name, const std::string& caption, int x, int y, int w) {
  return Child({"Button", name, caption, BS_AUTOCHECKBOX | WS_TABSTOP}, x, y, w, kCheckHeight);
}

HWND PropertyPage::TextBox(const std::string& name, int x, int y, int w) {
  return Child({"Edit", name, "", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE}, x, y, w, kTextHeight);
}

HWND PropertyPage::Button(const std::string& name, const std::string& caption, int x, int y, int w, int h) {
  return Child({"Button", name, caption, BS_PUSHBUTTON | WS_TABSTOP}, x, y, w, h);
}

HWND PropertyPage::Swatch(const std::string& name, int x, int y, int w, int h) {
  HWND swatch = Child({"Static", name, "", SS_SUNKEN}, x, y, w, h);
  SwatchColor(swatch, 0xFFFFFF);
  return swatch;
}

void PropertyPage::LayoutButtons() {
  RECT rc;
  GetClientRect(panel_, &rc);
  int x = rc.right - kMargin - 3 * kDialogButtonWidth - 2 * 6;
  const int y = rc.bottom - kMargin - kDialogButtonHeight;
  for (HWND b : {ok_, cancel_, apply_}) {
    MoveWindow(b, x, y, kDialogButtonWidth, kDialogButtonHeight, TRUE);
    x += kDialogButtonWidth + 6;
  }
}

// ---- reading and writing ----------------------------------------------------------------------

std::int32_t PropertyPage::ListValue(HWND list) {
  const LRESULT i = SendMessage(list, CB_GETCURSEL, 0, 0);
  return i == CB_ERR ? -1 : static_cast<std::int32_t>(SendMessage(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
}

bool PropertyPage::SelectValue(HWND list, std::int32_t value) {
  const LRESULT n = SendMessage(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    if (SendMessage(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) != value) continue;
    SendMessage(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    return true;
  }
  return false;
}

std::string PropertyPage::ListText(HWND list) { return Text(list); }

bool PropertyPage::Checked(HWND check) { return SendMessage(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void PropertyPage::SetChecked(HWND check, bool on) {
  SendMessage(check, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string PropertyPage::Text(HWND window) { return user::WindowText(window); }

void PropertyPage::SetText(HWND window, const std::string& text) { SetWindowText(window, text.c_str()); }

std::uint32_t PropertyPage::SwatchColor(HWND swatch) const {
  auto it = swatches_.find(swatch);
  return it == swatches_.end() ? 0 : it->second;
}

void PropertyPage::SwatchColor(HWND swatch, std::uint32_t color) {
  swatches_[swatch] = color;
  swatchBrushes_[swatch].reset(CreateSolidBrush(Shown(color)));
  InvalidateRect(swatch, nullptr, TRUE);
}

void PropertyPage::EnableFrame(HWND frame, bool enable) {
  EnableWindow(frame, enable);
  RECT fr;
  GetWindowRect(frame, &fr);
  for (HWND c = GetWindow(panel_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (c == frame) continue;
    RECT cr;
    GetWindowRect(c, &cr);
    if (cr.left >= fr.left && cr.right <= fr.right && cr.top >= fr.top && cr.bottom <= fr.bottom)
      EnableWindow(c, enable);
  }
}

// ---- messages -------------------------------------------------------------------------------------

void PropertyPage::Command(HWND control, WORD code) {
  if (control == ok_ && code == BN_CLICKED) return Ok();
  if (control == cancel_ && code == BN_CLICKED) return Cancel();
  if (control == apply_ && code == BN_CLICKED) return ApplyChanges();
  char cls[32] = {};
  GetClassName(control, cls, sizeof cls);
  const std::string kind = cls;
  const bool userChange = (kind == "ComboBox" && code == CBN_SELCHANGE) || (kind == "Edit" && code == EN_CHANGE) ||
                          (kind == "Button" && code == BN_CLICKED &&
                           (GetWindowLongPtr(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX);
  if (userChange && !loading_) Changed(true);
  if (!loading_) OnCommand(control, code);
}

LRESULT PropertyPage::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      auto it = swatchBrushes_.find(reinterpret_cast<HWND>(lParam));
      if (it != swatchBrushes_.end()) return reinterpret_cast<LRESULT>(it->second.get());
      return DefWindowProc(panel_, msg, wParam, lParam);
    }
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) Ok();
      if (wParam == VK_ESCAPE) Cancel();
      return 0;
    default: return DefWindowProc(panel_, msg, wParam, lParam);
  }
}

LRESULT PropertyPage::PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* page = reinterpret_cast<PropertyPage*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (!page) return DefWindowProc(hwnd, msg, wParam, lParam);
  return page->Handle(msg, wParam, lParam);
}

}  // namespace ktfolio
