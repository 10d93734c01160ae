#include "winsupport/timer.h"

#include <array>
#include <mutex>

#include "platform/automation/error.h"
#include "winsupport/subclass.h"

namespace ktfolio {

using namespace win;

// One thread's timers. Slots are written on other threads too (a timer
// stopped there), so writes take the lock; a thread that ends first leaves
// its timers nothing to clear.
struct MTimerSlots {
  std::array<CTimer*, MTimer::kSlots + 1> slots{};  // 1-based
  int highWater = 0;
  ~MTimerSlots() {
    std::lock_guard g(Lock());
    for (CTimer* t : slots)
      if (t) t->slot_ = nullptr;
  }
  static std::mutex& Lock() {
    static std::mutex m;
    return m;
  }
};

namespace {

using Table = MTimerSlots;
thread_local Table t_table;

[[noreturn]] void RaiseTimer(int code) {
  const char* text = code == eeTooManyTimers ? "No more than 10 timers allowed per class" : "Can't create system timer";
  throw Error(ObjectError(code), SupportErrorSource(), text);
}

}  // namespace

bool MTimerAdd(CTimer* timer) {
  timer->id_ = SetTimer(nullptr, 0, static_cast<UINT>(timer->interval_), &MTimer::TimerProc);
  if (timer->id_ == 0) {
    timer->interval_ = 0;
    return false;
  }
  Table& t = t_table;
  std::lock_guard g(Table::Lock());
  for (int i = 1; i <= MTimer::kSlots; ++i) {
    if (t.slots[i]) continue;
    t.slots[i] = timer;
    timer->slot_ = &t.slots[i];
    timer->thread_ = GetCurrentThreadId();
    if (i > t.highWater) t.highWater = i;
    return true;
  }
  // No slot: the system timer would tick for nobody, so it goes too.
  KillTimer(nullptr, timer->id_);
  timer->id_ = 0;
  timer->interval_ = 0;
  RaiseTimer(eeTooManyTimers);
}

// The slot is the starting thread's, found through the timer itself: on
// another thread (an object released there) a scan of this thread's table
// would miss it, and the slot would go on naming a destroyed timer.
void MTimerRemove(CTimer* timer) {
  std::lock_guard g(Table::Lock());
  if (!timer->id_) return;
  user::KillThreadTimer(timer->thread_, timer->id_);
  timer->id_ = 0;
  if (!timer->slot_) return;  // its thread has ended
  *timer->slot_ = nullptr;
  timer->slot_ = nullptr;
}

CTimer::~CTimer() { Interval(0); }

void CTimer::Interval(long value) {
  if (value >= 1 && value != interval_) {
    if (interval_ > 0) MTimerRemove(this);
    interval_ = value;
    if (!MTimerAdd(this)) RaiseTimer(eeCantCreateTimer);
  } else if (value < 1 && interval_ > 0) {
    interval_ = 0;
    MTimerRemove(this);
  }
}

void CTimer::PulseTimer() {
  if (ThatTime) ThatTime(*this);
}

namespace MTimer {

int HighWater() { return t_table.highWater; }

int Occupied() {
  int n = 0;
  for (int i = 1; i <= kSlots; ++i) n += t_table.slots[i] != nullptr;
  return n;
}

void TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  Table& t = t_table;
  for (int i = 1; i <= t.highWater; ++i) {
    if (t.slots[i] && t.slots[i]->TimerId() == id) {
      t.slots[i]->PulseTimer();
      return;
    }
  }
}

}  // namespace MTimer
}  // namespace ktfolio
