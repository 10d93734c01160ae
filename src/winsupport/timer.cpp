#include "winsupport/timer.h"

#include <array>

#include "platform/automation/error.h"
#include "winsupport/subclass.h"

namespace ktfolio {

using namespace win;

namespace {

struct Table {
  std::array<CTimer*, MTimer::kSlots + 1> slots{};  // 1-based
  int highWater = 0;
};
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
  for (int i = 1; i <= MTimer::kSlots; ++i) {
    if (t.slots[i]) continue;
    t.slots[i] = timer;
    if (i > t.highWater) t.highWater = i;
    return true;
  }
  // No slot: the system timer would tick for nobody, so it goes too.
  KillTimer(nullptr, timer->id_);
  timer->id_ = 0;
  timer->interval_ = 0;
  RaiseTimer(eeTooManyTimers);
}

void MTimerRemove(CTimer* timer) {
  Table& t = t_table;
  for (int i = 1; i <= t.highWater; ++i) {
    if (t.slots[i] && t.slots[i]->id_ == timer->id_) {
      KillTimer(nullptr, timer->id_);
      t.slots[i] = nullptr;
      timer->id_ = 0;
      break;
    }
  }
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
