// Form: the host window, its sites, the message loop, injected input,
// captures and the list of child windows.
#include "platform/container/form.h"

#include <algorithm>
#include <chrono>
#include <set>

namespace ktfolio {

using namespace win;

namespace {

constexpr const char* kFormClass = "ktfolioForm";
constexpr const char* kNameProp = "ktfolio.MemberName";
constexpr std::uint32_t kFormBackColor = 0x8000000C;  // the application workspace

// Member names are few and live as long as the process; a window property
// holds a pointer to the interned copy.
const std::string* Intern(const std::string& name) {
  static std::set<std::string> names;
  return &*names.insert(name).first;
}

// The character after a single '&' in a caption ("&&" is a plain ampersand),
// folded to upper case for ASCII letters; 0 when the caption has none.
char32_t AccessKeyChar(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(caption[i + 1]);
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
  }
  return 0;
}

// Offers Alt+`key` to the visible, enabled windows under `parent` whose
// caption marks that key, in z order, until one takes it.
bool OfferAccessKey(HWND parent, char32_t key) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
    if (AccessKeyChar(user::WindowText(c)) == key && SendMessage(c, WM_KT_ACCESSKEY, key, 0)) return true;
    if (OfferAccessKey(c, key)) return true;
  }
  return false;
}

bool IsClass(HWND hwnd, const char* cls) {
  char buffer[64] = {};
  GetClassName(hwnd, buffer, sizeof buffer);
  return std::string(buffer) == cls;
}

bool IsCheckBox(HWND hwnd) {
  const auto type = GetWindowLongPtr(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return IsClass(hwnd, "Button") && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
}

// What a check box or a drop-down list holds, beside the text of every window.
void DescribeControl(HWND c, Form::ChildInfo& info) {
  if (IsCheckBox(c)) info.checked = SendMessage(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  if (!IsClass(c, "ComboBox")) return;
  info.isList = true;
  const LRESULT n = SendMessage(c, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    std::string text(static_cast<size_t>(SendMessage(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0)) + 1, '\0');
    SendMessage(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.pop_back();
    info.items.push_back(text);
  }
  const LRESULT cur = SendMessage(c, CB_GETCURSEL, 0, 0);
  info.hasSelection = cur != CB_ERR;
  if (info.hasSelection) info.selected = SendMessage(c, CB_GETITEMDATA, static_cast<WPARAM>(cur), 0);
}

HWND FindByName(HWND parent, const std::string& name) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (MemberName(c) == name) return c;
    if (HWND inner = FindByName(c, name)) return inner;
  }
  return nullptr;
}

void AddChildren(HWND parent, HWND form, std::vector<Form::ChildInfo>& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    Form::ChildInfo info;
    info.name = MemberName(c);
    char buffer[256] = {};
    GetClassName(c, buffer, sizeof buffer);
    info.cls = buffer;
    info.text = user::WindowText(c);
    info.enabled = IsWindowEnabled(c);
    info.visible = IsWindowVisible(c);
    RECT rc;
    GetWindowRect(c, &rc);
    POINT origin{rc.left, rc.top};
    ScreenToClient(form, &origin);
    info.x = origin.x;
    info.y = origin.y;
    info.width = rc.right - rc.left;
    info.height = rc.bottom - rc.top;
    DescribeControl(c, info);
    out.push_back(info);
    AddChildren(c, form, out);
  }
}

}  // namespace

void SetMemberName(HWND hwnd, const std::string& name) { SetProp(hwnd, kNameProp, (HANDLE)Intern(name)); }

std::string MemberName(HWND hwnd) {
  const auto* name = static_cast<const std::string*>(GetProp(hwnd, kNameProp));
  return name ? *name : std::string();
}

Form::Form(int width, int height, const std::string& caption) {
  // A form's background is the dialog face, so a preview's page stands out.
  AmbientBackColor(kFormBackColor);
  static bool registered = false;
  if (!registered) {
    WNDCLASSEX wc;
    wc.lpfnWndProc = &Form::WndProc;
    wc.lpszClassName = kFormClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
    registered = RegisterClassEx(&wc) != 0;
  }
  hwnd_ = CreateWindowEx(0, kFormClass, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width, height,
                         nullptr, nullptr, nullptr, nullptr);
  if (!hwnd_) return;
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  user::UseDialogKeys(hwnd_);  // Tab walks the controls placed on the form
  Resize(width, height);
}

Form::~Form() { Release(); }

void Form::Release() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtr(hwnd_, GWLP_USERDATA, 0);
    user::UseDialogKeys(hwnd_, false);
    DestroyWindow(hwnd_);
  }
  hwnd_ = nullptr;
  sites_.clear();
}

int Form::ClientWidth() const {
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  return rc.right - rc.left;
}

int Form::ClientHeight() const {
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  return rc.bottom - rc.top;
}

int Form::AddSite(Site site) {
  const int cookie = nextCookie_++;
  sites_.emplace_back(cookie, std::move(site));
  FitSites();
  if (Visible()) {
    Site& s = sites_.back().second;
    ShowWindow(s.hwnd, SW_SHOW);
    if (s.show) s.show();
  }
  return cookie;
}

void Form::RemoveSite(int cookie) {
  std::erase_if(sites_, [cookie](const auto& s) { return s.first == cookie; });
}

template <typename F>
void Form::EachSite(F f) {
  // A site's handler may add or remove sites; walk a copy of the cookies.
  std::vector<int> cookies;
  for (const auto& s : sites_) cookies.push_back(s.first);
  for (int c : cookies) {
    auto it = std::find_if(sites_.begin(), sites_.end(), [c](const auto& s) { return s.first == c; });
    if (it != sites_.end()) f(it->second);
  }
}

void Form::ReserveTop(int pixels) {
  reservedTop_ = std::max(0, pixels);
  FitSites();
}

void Form::FitSites() {
  const int w = ClientWidth(), h = std::max(0, ClientHeight() - reservedTop_), top = reservedTop_;
  EachSite([w, h, top](Site& s) {
    if (s.hwnd && IsWindow(s.hwnd)) MoveWindow(s.hwnd, 0, top, w, h, TRUE);
    if (s.resize) s.resize();
  });
}

void Form::Show() {
  if (!hwnd_) return;
  closed_ = false;
  ShowWindow(hwnd_, SW_SHOW);
  EachSite([](Site& s) {
    if (s.hwnd) ShowWindow(s.hwnd, SW_SHOW);
    if (s.show) s.show();
  });
  Pump();
}

void Form::Hide() {
  if (!hwnd_) return;
  EachSite([](Site& s) {
    if (s.hide) s.hide();
  });
  ShowWindow(hwnd_, SW_HIDE);
  Pump();
}

bool Form::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void Form::Resize(int width, int height) {
  if (!hwnd_) return;
  // The window's size includes its frame; grow it by what the frame takes.
  RECT outer, inner;
  GetWindowRect(hwnd_, &outer);
  GetClientRect(hwnd_, &inner);
  const int frameW = (outer.right - outer.left) - (inner.right - inner.left);
  const int frameH = (outer.bottom - outer.top) - (inner.bottom - inner.top);
  SetWindowPos(hwnd_, nullptr, 0, 0, width + frameW, height + frameH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitSites();
  user::PumpMessages();
}

void Form::Pump(int ms) {
  user::PumpMessages();
  if (ms > 0) user::PumpFor(ms);
  user::PumpMessages();
}

void Form::Run() {
  closed_ = false;
  MSG msg;
  while (!closed_ && GetMessage(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslate && PreTranslate(msg)) continue;
    if (user::DialogKeys(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

void Form::Run(int everyMs, const std::function<bool()>& goOn) {
  closed_ = false;
  MSG msg;
  auto asked = std::chrono::steady_clock::now();
  while (!closed_) {
    if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return;
      if (!(PreTranslate && PreTranslate(msg)) && !user::DialogKeys(&msg)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      }
    } else {
      user::WaitMessageFor(everyMs);
    }
    // Asked on a busy loop too: a stream of messages must not keep the host from its checks.
    if (const auto now = std::chrono::steady_clock::now(); now - asked >= std::chrono::milliseconds(everyMs)) {
      asked = now;
      if (!goOn()) return;
    }
  }
}

void Form::Close() {
  if (closed_) return;
  closed_ = true;
  Hide();
  PostMessage(nullptr, WM_NULL, 0, 0);  // wakes a waiting Run
}

void Form::MouseMove(int x, int y) {
  user::InjectMouseMove(hwnd_, x, y);
  Pump();
}

void Form::MouseDown(int x, int y, int button) {
  user::InjectMouseMove(hwnd_, x, y);
  user::InjectMouseButton(hwnd_, button, true, x, y);
  Pump();
}

void Form::MouseUp(int x, int y, int button) {
  user::InjectMouseButton(hwnd_, button, false, x, y);
  Pump();
}

void Form::Click(int x, int y, int button) {
  MouseDown(x, y, button);
  MouseUp(x, y, button);
}

void Form::DoubleClick(int x, int y) {
  Click(x, y);
  Click(x, y);
}

void Form::Key(int vk, bool shift, bool ctrl, bool alt) {
  const int mods[] = {shift ? VK_SHIFT : 0, ctrl ? VK_CONTROL : 0, alt ? VK_MENU : 0};
  for (int m : mods)
    if (m) user::InjectKey(m, true);
  user::InjectKey(vk, true);
  user::InjectKey(vk, false);
  for (int m : mods)
    if (m) user::InjectKey(m, false);
  Pump();
}

void Form::Type(const std::string& text) {
  user::InjectText(text);
  Pump();
}

bool Form::Screenshot(const std::string& path) const {
  user::PumpMessages();
  if (!hwnd_) return false;
  // The client area only: the frame is the backend's business, and a real
  // window's decorations are not ours to draw.
  HBITMAP whole = user::CaptureWindow(hwnd_);
  if (!whole) return false;
  RECT outer, inner;
  GetWindowRect(hwnd_, &outer);
  POINT origin{0, 0};
  ClientToScreen(hwnd_, &origin);
  const int w = ClientWidth(), h = ClientHeight();
  HDC src = CreateCompatibleDC(nullptr);
  HDC dst = CreateCompatibleDC(nullptr);
  HBITMAP client = CreateCompatibleBitmap(src, w, h);
  HGDIOBJ oldSrc = SelectObject(src, whole);
  HGDIOBJ oldDst = SelectObject(dst, client);
  BitBlt(dst, 0, 0, w, h, src, origin.x - outer.left, origin.y - outer.top, SRCCOPY);
  SelectObject(src, oldSrc);
  SelectObject(dst, oldDst);
  DeleteDC(src);
  DeleteDC(dst);
  (void)inner;
  const bool ok = SaveBitmapPng(client, path);
  DeleteObject(client);
  DeleteObject(whole);
  return ok;
}

HWND Form::FindControl(const std::string& name) const { return hwnd_ ? FindByName(hwnd_, name) : nullptr; }

namespace {

// A window's centre, or a point of its screen rectangle, in the form's client pixels.
POINT ClientPoint(HWND form, POINT screen) {
  ScreenToClient(form, &screen);
  return screen;
}

POINT CentreOf(HWND form, HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return ClientPoint(form, POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
}

}  // namespace

bool Form::Choose(const std::string& name, const std::string& text) {
  HWND list = FindControl(name);
  if (!list || !IsClass(list, "ComboBox") || !IsWindowEnabled(list)) return false;
  const LRESULT index = SendMessage(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(text.c_str()));
  if (index == CB_ERR) return false;
  if (!SendMessage(list, CB_GETDROPPEDSTATE, 0, 0)) {
    const POINT box = CentreOf(hwnd_, list);
    Click(box.x, box.y);
  }
  if (!SendMessage(list, CB_GETDROPPEDSTATE, 0, 0)) return false;
  // Scroll the entry into view as a user would, then click it.
  SendMessage(list, CB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
  Pump();
  RECT dropped;
  SendMessage(list, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  const LRESULT top = SendMessage(list, CB_GETTOPINDEX, 0, 0);
  const int itemHeight = static_cast<int>(SendMessage(list, CB_GETITEMHEIGHT, 0, 0));
  const int y = dropped.top + 1 + static_cast<int>(index - top) * itemHeight + itemHeight / 2;
  const POINT entry = ClientPoint(hwnd_, POINT{dropped.left + 8, y});
  Click(entry.x, entry.y);
  return true;
}

bool Form::Check(const std::string& name, bool on) {
  HWND box = FindControl(name);
  if (!box || !IsCheckBox(box) || !IsWindowEnabled(box)) return false;
  if ((SendMessage(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != on) {
    const POINT p = CentreOf(hwnd_, box);
    Click(p.x, p.y);
  }
  return true;
}

bool Form::SetText(const std::string& name, const std::string& text) {
  HWND edit = FindControl(name);
  if (!edit || !IsClass(edit, "Edit") || !IsWindowEnabled(edit)) return false;
  const POINT p = CentreOf(hwnd_, edit);
  Click(p.x, p.y);
  Key(VK_HOME, false, true);
  Key(VK_END, true, true);
  if (text.empty())
    Key(VK_DELETE);
  else
    Type(text);
  return true;
}

std::vector<Form::ChildInfo> Form::Controls() const {
  std::vector<ChildInfo> out;
  if (hwnd_) AddChildren(hwnd_, hwnd_, out);
  return out;
}

LRESULT Form::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (!form) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_SIZE:
      form->FitSites();
      return 0;
    case WM_CLOSE:  // the user closed a real window: hide it and end Run
      form->Close();
      return 0;
    case WM_SYSCHAR: {  // Alt+letter: the control whose caption marks it
      char32_t key = static_cast<char32_t>(wParam);
      if (key >= 'a' && key <= 'z') key = key - 'a' + 'A';
      if (OfferAccessKey(hwnd, key)) return 0;
      return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace ktfolio
