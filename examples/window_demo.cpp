// A small host of the window layer: an edit box, a button-like child that a
// subclass client lights up under the mouse, and a label a CTimer ticks.
//
//   window_demo                 show it on screen (GTK)
//   window_demo --headless OUT  drive it with injected input and save OUT (PNG)
//   --quit-after MS             close by itself after MS milliseconds
//
// The frame's title reports the state ("text=... clicks=N"), so a script can
// read the result of injected input back from the window system.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/user/user.h"
#include "winsupport/subclass.h"
#include "winsupport/timer.h"

using namespace ktfolio;
using namespace ktfolio::win;

namespace {

constexpr int kEditId = 100;
HWND g_frame = nullptr;
HWND g_edit = nullptr;
HWND g_button = nullptr;
HWND g_label = nullptr;
int g_clicks = 0;
int g_ticks = 0;

void UpdateTitle() {
  char text[256];
  GetWindowText(g_edit, text, sizeof text);
  std::string title = "ktfolio window demo | text=" + std::string(text) + " | clicks=" + std::to_string(g_clicks);
  SetWindowText(g_frame, title.c_str());
}

HFONT DemoFont(int height) {
  LOGFONT lf;
  lf.lfHeight = -height;
  lf.lfWeight = FW_NORMAL;
  std::strcpy(lf.lfFaceName, "Arial");
  return CreateFontIndirect(&lf);
}

void PaintText(HDC hdc, RECT rc, const char* text, COLORREF color) {
  HFONT font = DemoFont(14);
  HGDIOBJ old = SelectObject(hdc, font);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, color);
  SIZE sz;
  GetTextExtentPoint32(hdc, text, static_cast<int>(std::strlen(text)), &sz);
  TextOut(hdc, rc.left + (rc.right - rc.left - sz.cx) / 2, rc.top + (rc.bottom - rc.top - sz.cy) / 2, text,
          static_cast<int>(std::strlen(text)));
  SelectObject(hdc, old);
  DeleteObject(font);
}

// The button's own procedure only draws a plain face; the lighting, the
// hover tracking and the click count are added from outside by subclassing.
LRESULT PlainButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    PaintText(hdc, rc, "Click me", GetSysColor(COLOR_BTNTEXT));
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

class HoverLight : public ISubclass {
 public:
  EMsgResponse MsgResponse() override {
    // painting is ours alone; the rest also reaches the button afterwards
    return MSubclass::CurrentMessage() == WM_PAINT ? emrConsume : emrPostProcess;
  }
  LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM, LPARAM) override {
    switch (msg) {
      case WM_MOUSEMOVE:
        if (!lit_) {
          lit_ = true;
          TRACKMOUSEEVENT tme;
          tme.dwFlags = TME_LEAVE;
          tme.hwndTrack = hwnd;
          TrackMouseEvent(&tme);
          InvalidateRect(hwnd, nullptr, TRUE);
        }
        break;
      case WM_MOUSELEAVE:
        lit_ = false;
        InvalidateRect(hwnd, nullptr, TRUE);
        break;
      case WM_LBUTTONUP:
        ++g_clicks;
        UpdateTitle();
        InvalidateRect(hwnd, nullptr, TRUE);
        break;
      case WM_PAINT: Paint(hwnd); break;
      default: break;
    }
    return 0;
  }

 private:
  void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH face = CreateSolidBrush(lit_ ? RGB(255, 214, 90) : GetSysColor(COLOR_BTNFACE));
    FillRect(hdc, &rc, face);
    DeleteObject(face);
    RECT edges[] = {{0, 0, rc.right, 1}, {0, 0, 1, rc.bottom}, {0, rc.bottom - 1, rc.right, rc.bottom},
                    {rc.right - 1, 0, rc.right, rc.bottom}};
    for (int i = 0; i < 4; ++i)
      FillRect(hdc, &edges[i], GetSysColorBrush(i < 2 ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW));
    std::string caption = "Clicks: " + std::to_string(g_clicks);
    PaintText(hdc, rc, caption.c_str(), GetSysColor(COLOR_BTNTEXT));
    EndPaint(hwnd, &ps);
  }
  bool lit_ = false;
};

LRESULT LabelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOW));
    std::string text = "Timer ticks: " + std::to_string(g_ticks);
    PaintText(hdc, rc, text.c_str(), RGB(0, 64, 160));
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

LRESULT FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == kEditId && HIWORD(wp) == EN_CHANGE) UpdateTitle();
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProc(hwnd, msg, wp, lp);
  }
}

void Register(const char* name, WNDPROC proc, int background) {
  WNDCLASSEX wc;
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(background + 1));
  wc.lpszClassName = name;
  RegisterClassEx(&wc);
}

}  // namespace

int main(int argc, char** argv) {
  const char* headlessOut = nullptr;
  int quitAfter = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--headless") && i + 1 < argc) headlessOut = argv[++i];
    else if (!std::strcmp(argv[i], "--quit-after") && i + 1 < argc) quitAfter = std::atoi(argv[++i]);
    else {
      std::fprintf(stderr, "usage: %s [--headless OUT.png] [--quit-after MS]\n", argv[0]);
      return 2;
    }
  }
  if (!headlessOut && !user::UseGtkBackend()) {
    std::fprintf(stderr, "window_demo: no display (use --headless OUT.png)\n");
    return 1;
  }

  Register("DemoFrame", FrameProc, COLOR_BTNFACE);
  Register("DemoButton", PlainButtonProc, COLOR_BTNFACE);
  Register("DemoLabel", LabelProc, COLOR_WINDOW);

  g_frame = CreateWindowEx(0, "DemoFrame", "ktfolio window demo", WS_OVERLAPPEDWINDOW, 100, 100, 380, 140, nullptr,
                           nullptr, nullptr, nullptr);
  g_edit = CreateWindowEx(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 12, 12, 356, 26,
                          g_frame, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(kEditId)), nullptr, nullptr);
  HFONT editFont = DemoFont(14);
  SendMessage(g_edit, WM_SETFONT, reinterpret_cast<WPARAM>(editFont), TRUE);
  g_button = CreateWindowEx(0, "DemoButton", "", WS_CHILD | WS_VISIBLE, 12, 56, 150, 36, g_frame, nullptr, nullptr,
                            nullptr);
  g_label = CreateWindowEx(0, "DemoLabel", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 180, 56, 188, 36, g_frame, nullptr,
                           nullptr, nullptr);

  HoverLight light;
  for (UINT m : {WM_PAINT, WM_MOUSEMOVE, WM_MOUSELEAVE, WM_LBUTTONUP}) MSubclass::AttachMessage(&light, g_button, m);

  CTimer ticker;
  ticker.ThatTime = [](CTimer&) {
    ++g_ticks;
    InvalidateRect(g_label, nullptr, TRUE);
  };
  ticker.Interval(headlessOut ? 100 : 500);

  ShowWindow(g_frame, SW_SHOW);
  SetFocus(g_edit);
  UpdateTitle();
  if (quitAfter > 0) SetTimer(g_frame, 1, static_cast<UINT>(quitAfter), [](HWND h, UINT, UINT_PTR, DWORD) {
      DestroyWindow(h);
    });

  int rc = 0;
  if (headlessOut) {
    user::InjectText("Hello, window!");
    user::InjectMouseButton(g_frame, 1, true, 60, 70);
    user::InjectMouseButton(g_frame, 1, false, 60, 70);
    user::InjectMouseMove(g_frame, 80, 74);  // the pointer rests on the button: it lights
    user::PumpFor(350);
    rc = user::SaveWindowPng(g_frame, headlessOut) ? 0 : 1;
    char title[256];
    GetWindowText(g_frame, title, sizeof title);
    std::printf("%s\nticks=%d saved %s\n", title, g_ticks, headlessOut);
  } else {
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    rc = static_cast<int>(msg.wParam);
  }

  ticker.Interval(0);
  if (IsWindow(g_button))
    for (UINT m : {WM_PAINT, WM_MOUSEMOVE, WM_MOUSELEAVE, WM_LBUTTONUP}) MSubclass::DetachMessage(&light, g_button, m);
  if (IsWindow(g_frame)) DestroyWindow(g_frame);
  DeleteObject(editFont);
  return rc;
}
