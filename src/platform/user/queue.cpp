// Per-thread message queues, the message loop and timers.
//
// A thread's loop takes, in this order: posted messages, input (cooked when it is
// taken), WM_QUIT, WM_PAINT for windows with an update region, WM_TIMER for due
// timers. Paint and timer messages are synthesised on demand, as Win32 does, so
// they never pile up.
#include <algorithm>

#include "platform/user/user_internal.h"

namespace ktfolio::win {
namespace detail {
namespace {

using Clock = std::chrono::steady_clock;

bool Matches(const MSG& m, HWND filter, UINT mn, UINT mx) {
  if (mn || mx) {
    if (m.message < mn || m.message > mx) return false;
  }
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(-1)) return m.hwnd == nullptr;
  return m.hwnd == filter || IsChild(filter, m.hwnd);
}

void NoteKeyState(ThreadQueue& q, const MSG& m) {
  auto setDown = [&](int vk, bool down) {
    if (down) {
      if (!(q.keyState[vk] & 0x80)) q.keyState[vk] ^= 1;  // toggle on each press
      q.keyState[vk] |= 0x80;
    } else {
      q.keyState[vk] &= ~0x80;
    }
  };
  switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
      int vk = static_cast<int>(m.wParam & 0xFF);
      setDown(vk, down);
      if (vk == VK_LSHIFT || vk == VK_RSHIFT) setDown(VK_SHIFT, down);
      if (vk == VK_LCONTROL || vk == VK_RCONTROL) setDown(VK_CONTROL, down);
      if (vk == VK_LMENU || vk == VK_RMENU) setDown(VK_MENU, down);
      break;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: setDown(VK_LBUTTON, true); break;
    case WM_LBUTTONUP: setDown(VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: setDown(VK_RBUTTON, true); break;
    case WM_RBUTTONUP: setDown(VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: setDown(VK_MBUTTON, true); break;
    case WM_MBUTTONUP: setDown(VK_MBUTTON, false); break;
    default: break;
  }
}

// Pre-order walk: a parent paints before the children drawn over it.
HWND FindInvalid(HWND hwnd, DWORD thread) {
  Window* w = Find(hwnd);
  if (!w || !(w->style & WS_VISIBLE)) return nullptr;
  if (w->threadId == thread && (w->invalid || w->frameDirty)) return hwnd;
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
    if (HWND h = FindInvalid(*it, thread)) return h;
  return nullptr;
}

// What a GetMessage/PeekMessage call asks for: a window (or any) and a range
// of message numbers (0, 0 for all).
struct Filter {
  HWND hwnd;
  UINT mn;
  UINT mx;
  bool Wants(const MSG& m) const { return Matches(m, hwnd, mn, mx); }
  bool Includes(UINT msg) const { return (!mn && !mx) || (msg >= mn && msg <= mx); }
};

bool TakePosted(MSG* out, const Filter& f, bool remove, DWORD tid) {
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  ThreadQueue& q = d.queues[tid];
  for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
    if (!f.Wants(it->msg)) continue;
    *out = it->msg;
    if (remove) {
      q.current = *out;
      q.currentChar = it->ch;
      q.posted.erase(it);
    }
    return true;
  }
  return false;
}

// Input, strictly in order; raw items are cooked once, when they reach the front.
bool TakeInput(MSG* out, const Filter& f, bool remove, DWORD tid) {
  Desktop& d = TheDesktop();
  for (;;) {
    Queued item;
    {
      std::lock_guard g(d.lock);
      ThreadQueue& q = d.queues[tid];
      if (q.input.empty()) return false;
      item = q.input.front();
      if (item.raw == RawKind::None) {
        if (!f.Wants(item.msg)) return false;
        *out = item.msg;
        if (remove) {
          q.input.pop_front();
          q.current = *out;
          q.currentChar = item.ch;
          NoteKeyState(q, *out);
        }
        return true;
      }
      q.input.pop_front();
    }
    MSG cooked;
    if (CookInput(item, &cooked)) {
      Queued ready;
      ready.msg = cooked;
      ready.ch = item.ch;
      std::lock_guard g(d.lock);
      d.queues[tid].input.push_front(ready);
    }
  }
}

bool TakeQuit(MSG* out, const Filter& f, bool remove, DWORD tid) {
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  ThreadQueue& q = d.queues[tid];
  if (!q.quit || f.hwnd || f.mn || f.mx) return false;
  *out = MSG{};
  out->message = WM_QUIT;
  out->wParam = static_cast<WPARAM>(q.quitCode);
  if (remove) q.quit = false;
  return true;
}

// WM_PAINT is made up when asked for, for the topmost window needing paint.
bool TakePaint(MSG* out, const Filter& f, bool remove, DWORD tid) {
  if (!f.Includes(WM_PAINT)) return false;
  std::vector<HWND> tops = TheDesktop().topLevels;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    HWND h = FindInvalid(*it, tid);
    if (!h) continue;
    MSG m;
    m.hwnd = h;
    m.message = WM_PAINT;
    m.time = GetTickCount();
    if (!f.Wants(m)) continue;
    *out = m;
    if (remove) QueueOf(tid).current = m;
    return true;
  }
  return false;
}

// WM_TIMER likewise, for the timer most overdue; taking it sets the next due time.
bool TakeTimer(MSG* out, const Filter& f, bool remove, DWORD tid) {
  if (!f.Includes(WM_TIMER)) return false;
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  auto now = Clock::now();
  Timer* best = nullptr;
  for (Timer& t : d.timers) {
    if (t.threadId != tid || t.due > now) continue;
    MSG m;
    m.hwnd = t.hwnd;
    m.message = WM_TIMER;
    if (!f.Wants(m)) continue;
    if (!best || t.due < best->due) best = &t;
  }
  if (!best) return false;
  *out = MSG{};
  out->hwnd = best->hwnd;
  out->message = WM_TIMER;
  out->wParam = best->id;
  out->lParam = reinterpret_cast<LPARAM>(best->proc);
  out->time = GetTickCount();
  if (remove) {
    best->due = now + std::chrono::milliseconds(best->elapse);
    d.queues[tid].current = *out;
  }
  return true;
}

// Posted messages first, then input, quit, paint and timers, as Win32 orders them.
bool NextMessage(MSG* out, HWND filter, UINT mn, UINT mx, bool remove) {
  const Filter f{filter, mn, mx};
  const DWORD tid = ThreadIdNow();
  return TakePosted(out, f, remove, tid) || TakeInput(out, f, remove, tid) || TakeQuit(out, f, remove, tid) ||
         TakePaint(out, f, remove, tid) || TakeTimer(out, f, remove, tid);
}

int NextTimeout() {
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  DWORD tid = ThreadIdNow();
  auto now = Clock::now();
  long best = -1;
  for (const Timer& t : d.timers) {
    if (t.threadId != tid) continue;
    long ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(t.due - now).count());
    if (ms < 0) ms = 0;
    if (best < 0 || ms < best) best = ms;
  }
  return static_cast<int>(best);
}

}  // namespace

void QueueRawInput(const Queued& item) {
  Desktop& d = TheDesktop();
  {
    std::lock_guard g(d.lock);
    d.queues[InputThread()].input.push_back(item);
  }
  WakeBackend();
}

DWORD InputThread() {
  Desktop& d = TheDesktop();
  if (Window* w = Find(d.focus)) return w->threadId;
  if (Window* w = Find(d.active)) return w->threadId;
  for (HWND h : d.topLevels)
    if (Window* w = Find(h)) return w->threadId;
  return ThreadIdNow();
}

}  // namespace detail

using namespace detail;

DWORD GetTickCount() {
  static const auto start = std::chrono::steady_clock::now();
  return static_cast<DWORD>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count() +
      1000);
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  DWORD tid = ThreadIdNow();
  if (hwnd) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    tid = w->threadId;
  }
  Queued q;
  q.msg.hwnd = hwnd;
  q.msg.message = msg;
  q.msg.wParam = wParam;
  q.msg.lParam = lParam;
  q.msg.time = GetTickCount();
  q.msg.pt = TheDesktop().cursor;
  {
    std::lock_guard g(TheDesktop().lock);
    TheDesktop().queues[tid].posted.push_back(q);
  }
  WakeBackend();
  return TRUE;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  Queued q;
  q.msg.message = msg;
  q.msg.wParam = wParam;
  q.msg.lParam = lParam;
  q.msg.time = GetTickCount();
  {
    std::lock_guard g(TheDesktop().lock);
    TheDesktop().queues[threadId].posted.push_back(q);
  }
  WakeBackend();
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  {
    std::lock_guard g(TheDesktop().lock);
    ThreadQueue& q = TheDesktop().queues[ThreadIdNow()];
    q.quit = true;
    q.quitCode = exitCode;
  }
  WakeBackend();
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  MSG m;
  if (!NextMessage(&m, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)) return FALSE;
  if (msg) *msg = m;
  return TRUE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  MSG m;
  while (!NextMessage(&m, hwnd, filterMin, filterMax, true)) TheBackend().Wait(NextTimeout());
  if (msg) *msg = m;
  return m.message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
  MSG m;
  if (!NextMessage(&m, nullptr, 0, 0, false)) TheBackend().Wait(NextTimeout());
  return TRUE;
}

DWORD GetMessageTime() { return QueueOf(ThreadIdNow()).current.time; }

DWORD GetMessagePos() {
  POINT p = QueueOf(ThreadIdNow()).current.pt;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    // only timers still alive run their procedure
    bool alive = false;
    {
      std::lock_guard g(TheDesktop().lock);
      for (const Timer& t : TheDesktop().timers)
        if (t.hwnd == msg->hwnd && t.id == msg->wParam) alive = true;
    }
    if (alive) reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  if (!msg->hwnd) return 0;
  Window* w = Find(msg->hwnd);
  if (!w) return 0;
  LRESULT r = SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  if (msg->message == WM_PAINT) {
    // a procedure that ignored WM_PAINT must not be asked forever
    if ((w = Find(msg->hwnd)) && (w->invalid || w->frameDirty)) {
      PAINTSTRUCT ps;
      BeginPaint(msg->hwnd, &ps);
      EndPaint(msg->hwnd, &ps);
    }
  }
  return r;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  Desktop& d = TheDesktop();
  DWORD tid = ThreadIdNow();
  if (hwnd) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    tid = w->threadId;
  }
  elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
  std::lock_guard g(d.lock);
  for (Timer& t : d.timers) {
    bool same = hwnd ? (t.hwnd == hwnd && t.id == id) : (!t.hwnd && id && t.id == id && t.threadId == tid);
    if (same) {
      t.elapse = elapse;
      t.proc = proc;
      t.due = std::chrono::steady_clock::now() + std::chrono::milliseconds(elapse);
      return hwnd ? (id ? id : 1) : id;
    }
  }
  Timer t;
  t.hwnd = hwnd;
  t.id = hwnd ? id : d.nextTimerId++;
  t.elapse = elapse;
  t.proc = proc;
  t.threadId = tid;
  t.due = std::chrono::steady_clock::now() + std::chrono::milliseconds(elapse);
  d.timers.push_back(t);
  if (d.backend) d.backend->Wake();
  return hwnd ? (id ? id : 1) : t.id;
}

namespace {
BOOL KillTimerOf(HWND hwnd, DWORD threadId, UINT_PTR id) {
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  for (auto it = d.timers.begin(); it != d.timers.end(); ++it) {
    bool same = hwnd ? (it->hwnd == hwnd && it->id == id) : (!it->hwnd && it->id == id && it->threadId == threadId);
    if (same) {
      d.timers.erase(it);
      return TRUE;
    }
  }
  return FALSE;
}
}  // namespace

BOOL KillTimer(HWND hwnd, UINT_PTR id) { return KillTimerOf(hwnd, ThreadIdNow(), id); }

namespace user {

BOOL KillThreadTimer(DWORD threadId, UINT_PTR id) { return KillTimerOf(nullptr, threadId, id); }

int LiveTimerCount() {
  std::lock_guard g(TheDesktop().lock);
  return static_cast<int>(TheDesktop().timers.size());
}

int PumpMessages() {
  int n = 0;
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));  // leave it for the real loop
      break;
    }
    if (!DialogKeys(&m)) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
    if (++n > 100000) break;  // a window that never validates would spin forever
  }
  return n;
}

void WaitMessageFor(int ms) {
  MSG m;
  if (NextMessage(&m, nullptr, 0, 0, false)) return;
  const int t = NextTimeout();
  TheBackend().Wait(t < 0 ? ms : std::min(t, ms));
}

void PumpFor(int ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    PumpMessages();
    auto now = std::chrono::steady_clock::now();
    if (now >= end) break;
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count());
    int t = NextTimeout();
    TheBackend().Wait(t < 0 ? left : std::min(t, left));
  }
}

}  // namespace user
}  // namespace ktfolio::win
