// Form: the host window, its sites, the message loop, injected input,
// captures and the list of child windows.
#include "platform/container/form.h"

#include <algorithm>
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

void AddChildren(HWND parent, HWND form, std::vector<Form::ChildInfo>& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    Form::ChildInfo info;
    info.name = MemberName(c);
    char buffer[256] = {};
    GetClassName(c, buffer, sizeof buffer);
    info.cls = buffer;
    const int length = GetWindowTextLength(c);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowText(c, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    info.text = text;
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
  Resize(width, height);
}

Form::~Form() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtr(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
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

void Form::FitSites() {
  const int w = ClientWidth(), h = ClientHeight();
  EachSite([w, h](Site& s) {
    if (s.hwnd && IsWindow(s.hwnd)) MoveWindow(s.hwnd, 0, 0, w, h, TRUE);
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
    TranslateMessage(&msg);
    DispatchMessage(&msg);
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
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace ktfolio
