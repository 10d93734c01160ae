// Window-less timers: setting a CTimer's Interval starts a system timer with a
// shared timer procedure; each tick raises ThatTime. MTimer maps system timer
// identifiers back to their objects in a per-thread table of 100 slots. A
// timer ticks on the thread that started it, and may be stopped (or its
// object destroyed) on any thread.
#pragma once

#include <any>
#include <functional>

#include "platform/user/user.h"

namespace ktfolio {

enum EErrorTimer {
  eeBaseTimer = 13650,
  eeTooManyTimers = 13651,
  eeCantCreateTimer = 13652,
};

struct MTimerSlots;

class CTimer {
 public:
  CTimer() = default;
  ~CTimer();
  CTimer(const CTimer&) = delete;
  CTimer& operator=(const CTimer&) = delete;

  // "Gets/sets the interval at which the timer fires. Set to zero to stop the timer."
  long Interval() const { return interval_; }
  void Interval(long value);

  // "Gets/sets a piece of additional data to store with the timer."
  const std::any& Item() const { return item_; }
  void Item(std::any value) { item_ = std::move(value); }

  // Raises ThatTime; the shared timer procedure calls it.
  void PulseTimer();

  // "Raised when the timer fires."
  std::function<void(CTimer&)> ThatTime;

  win::UINT_PTR TimerId() const { return id_; }

 private:
  friend bool MTimerAdd(CTimer* timer);
  friend void MTimerRemove(CTimer* timer);
  friend struct MTimerSlots;
  long interval_ = 0;
  win::UINT_PTR id_ = 0;
  win::DWORD thread_ = 0;           // that started the system timer
  CTimer** slot_ = nullptr;         // in that thread's table
  std::any item_;
};

namespace MTimer {
constexpr int kSlots = 100;
// Highest slot index ever used on this thread (it bounds the scans).
int HighWater();
// Slots holding a running timer on this thread.
int Occupied();
// The shared timer procedure.
void TimerProc(win::HWND hwnd, win::UINT msg, win::UINT_PTR id, win::DWORD time);
}  // namespace MTimer

}  // namespace ktfolio
