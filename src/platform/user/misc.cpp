// Clipboard, popup menus, message boxes, beeps, UTF helpers and the headless
// backend. Modal UI is scripted: a host or a test queues the answers.
#include <condition_variable>
#include <deque>
#include <map>

#include "platform/user/user_internal.h"

namespace ktfolio::win {
namespace detail {

std::u32string Utf8To32(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    int extra;
    if (c < 0x80) cp = c, extra = 0;
    else if ((c >> 5) == 6) cp = c & 0x1F, extra = 1;
    else if ((c >> 4) == 14) cp = c & 0x0F, extra = 2;
    else if ((c >> 3) == 30) cp = c & 0x07, extra = 3;
    else cp = 0xFFFD, extra = 0;  // stray continuation byte
    ++i;
    for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    out.push_back(cp);
  }
  return out;
}

std::string Utf32To8(const std::u32string& s) {
  std::string out;
  for (char32_t cp : s) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

namespace {

class HeadlessBackend : public Backend {
 public:
  void Wait(int timeoutMs) override {
    std::unique_lock g(m_);
    auto ready = [&] { return woken_; };
    if (timeoutMs < 0)
      cv_.wait(g, ready);
    else
      cv_.wait_for(g, std::chrono::milliseconds(timeoutMs), ready);
    woken_ = false;
  }
  void Wake() override {
    std::lock_guard g(m_);
    woken_ = true;
    cv_.notify_all();
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool woken_ = false;
};

struct Scripts {
  std::deque<int> boxAnswers;
  std::deque<UINT_PTR> menuAnswers;
  std::vector<user::MessageBoxCall> boxes;
  std::vector<user::MenuItem> lastMenu;
  int beeps = 0;
};
Scripts& S() {
  static Scripts s;
  return s;
}

struct Clipboard {
  bool open = false;
  HWND owner = nullptr;
  bool hasText = false;
  std::string text;
};
Clipboard& Clip() {
  static Clipboard c;
  return c;
}

struct Menu {
  std::vector<user::MenuItem> items;
};
std::map<std::uintptr_t, Menu>& Menus() {
  static std::map<std::uintptr_t, Menu> m;
  return m;
}
std::uintptr_t g_nextMenu = 0x20000;

}  // namespace

std::unique_ptr<Backend> MakeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace detail

using namespace detail;

// ---- clipboard ---------------------------------------------------------------------------

BOOL OpenClipboard(HWND owner) {
  Clipboard& c = Clip();
  if (c.open) return FALSE;
  c.open = true;
  c.owner = owner;
  return TRUE;
}

BOOL CloseClipboard() {
  Clipboard& c = Clip();
  if (!c.open) return FALSE;
  c.open = false;
  return TRUE;
}

BOOL EmptyClipboard() {
  Clipboard& c = Clip();
  if (!c.open) return FALSE;
  c.hasText = false;
  c.text.clear();
  return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  return (format == CF_TEXT || format == CF_UNICODETEXT) && Clip().hasText ? TRUE : FALSE;
}

BOOL SetClipboardText(const std::string& text) {
  Clipboard& c = Clip();
  c.text = text;
  c.hasText = true;
  return TRUE;
}

bool GetClipboardText(std::string* text) {
  Clipboard& c = Clip();
  if (!c.hasText) return false;
  if (text) *text = c.text;
  return true;
}

// ---- menus ---------------------------------------------------------------------------------

HMENU CreatePopupMenu() {
  std::uintptr_t id = g_nextMenu++;
  Menus()[id];
  return reinterpret_cast<HMENU>(id);
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
  auto it = Menus().find(reinterpret_cast<std::uintptr_t>(menu));
  if (it == Menus().end()) return FALSE;
  user::MenuItem item;
  item.id = id;
  item.separator = (flags & MF_SEPARATOR) != 0;
  item.enabled = !(flags & (MF_GRAYED | MF_DISABLED));
  if (text && !item.separator) item.text = text;
  it->second.items.push_back(item);
  return TRUE;
}

BOOL EnableMenuItem(HMENU menu, UINT id, UINT flags) {
  auto it = Menus().find(reinterpret_cast<std::uintptr_t>(menu));
  if (it == Menus().end()) return -1;
  for (auto& item : it->second.items)
    if (item.id == id) {
      BOOL was = item.enabled ? MF_ENABLED : MF_GRAYED;
      item.enabled = !(flags & (MF_GRAYED | MF_DISABLED));
      return was;
    }
  return -1;
}

BOOL DestroyMenu(HMENU menu) { return Menus().erase(reinterpret_cast<std::uintptr_t>(menu)) ? TRUE : FALSE; }

BOOL TrackPopupMenu(HMENU menu, UINT flags, int, int, int, HWND owner, const RECT*) {
  auto it = Menus().find(reinterpret_cast<std::uintptr_t>(menu));
  if (it == Menus().end()) return FALSE;
  Scripts& s = S();
  s.lastMenu = it->second.items;
  UINT_PTR choice = 0;
  if (!s.menuAnswers.empty()) {
    choice = s.menuAnswers.front();
    s.menuAnswers.pop_front();
  }
  // a disabled or absent item cannot be chosen
  bool valid = false;
  for (auto& item : s.lastMenu)
    if (!item.separator && item.enabled && item.id == choice) valid = true;
  if (!valid) choice = 0;
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(choice);
  if (choice && owner && !(flags & TPM_NONOTIFY)) PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(choice), 0), 0);
  return choice ? TRUE : FALSE;
}

// ---- message boxes and beeps ------------------------------------------------------------------

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  Scripts& s = S();
  s.boxes.push_back(user::MessageBoxCall{text ? text : "", caption ? caption : "Error", type});
  if (!s.boxAnswers.empty()) {
    int a = s.boxAnswers.front();
    s.boxAnswers.pop_front();
    return a;
  }
  // A desktop asks its user; headless, every box takes its first button.
  if (const int pressed = TheBackend().ShowMessageBox(owner, text ? text : "", caption ? caption : "Error", type))
    return pressed;
  switch (type & 0xF) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
  }
}

BOOL MessageBeep(UINT) {
  ++S().beeps;
  return TRUE;
}

namespace user {

void QueueMessageBoxAnswer(int answer) { S().boxAnswers.push_back(answer); }
void QueuePopupMenuAnswer(UINT_PTR command) { S().menuAnswers.push_back(command); }
const std::vector<MessageBoxCall>& MessageBoxLog() { return S().boxes; }
const std::vector<MenuItem>& LastPopupMenu() { return S().lastMenu; }
int BeepCount() { return S().beeps; }

void ResetScripts() {
  Scripts& s = S();
  s = Scripts{};
  Clipboard& c = Clip();
  c = Clipboard{};
}

}  // namespace user
}  // namespace ktfolio::win
