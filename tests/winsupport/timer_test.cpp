// CTimer over the window manager's timers, driven by the message loop.
#include <gtest/gtest.h>

#include <list>

#include "platform/automation/error.h"
#include "platform/user/user.h"
#include "winsupport/timer.h"

namespace ktfolio {
namespace {

using namespace win;

TEST(CTimerTest, TicksComeFromTheLoopAndStopAtZero) {
  int base = user::LiveTimerCount();
  CTimer t;
  int ticks = 0;
  DWORD thread = 0;
  t.ThatTime = [&](CTimer& self) {
    EXPECT_EQ(&self, &t);
    ++ticks;
    thread = GetCurrentThreadId();
  };
  t.Interval(25);
  EXPECT_EQ(user::LiveTimerCount(), base + 1);
  UINT_PTR first = t.TimerId();
  EXPECT_NE(first, 0u);
  user::PumpFor(140);
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(thread, GetCurrentThreadId());

  t.Interval(25);
  EXPECT_EQ(t.TimerId(), first) << "the same interval does not restart the timer";
  t.Interval(0);
  EXPECT_EQ(t.Interval(), 0);
  EXPECT_EQ(user::LiveTimerCount(), base);
  int stopped = ticks;
  user::PumpFor(60);
  EXPECT_EQ(ticks, stopped);
  t.Item(std::string("payload"));
  t.Interval(500);
  EXPECT_NE(t.TimerId(), first) << "starting again makes a new system timer";
  const UINT_PTR slow = t.TimerId();
  t.Interval(20);
  EXPECT_NE(t.TimerId(), slow) << "a new interval restarts the timer";
  EXPECT_EQ(user::LiveTimerCount(), base + 1) << "and the old one is gone";
  user::PumpFor(80);
  EXPECT_GE(ticks, stopped + 2) << "the new interval is in force";
  EXPECT_EQ(std::any_cast<std::string>(t.Item()), "payload");
}

TEST(CTimerTest, TheHundredAndFirstTimerIsRefused) {
  int base = user::LiveTimerCount();
  int occupied = MTimer::Occupied();
  {
    std::list<CTimer> timers;
    for (int i = occupied; i < MTimer::kSlots; ++i) timers.emplace_back().Interval(1000);
    EXPECT_EQ(MTimer::Occupied(), MTimer::kSlots);
    EXPECT_EQ(MTimer::HighWater(), MTimer::kSlots);
    CTimer extra;
    try {
      extra.Interval(1000);
      FAIL() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), ObjectError(13651));
      EXPECT_EQ(e.source(), "ktfolio.WindowProc");
      EXPECT_STREQ(e.what(), "No more than 10 timers allowed per class");
    }
    EXPECT_EQ(extra.Interval(), 0);
    EXPECT_EQ(user::LiveTimerCount(), base + MTimer::kSlots - occupied) << "the refused timer left nothing";
    // a freed slot is reused; the high-water count stays
    timers.front().Interval(0);
    extra.Interval(1000);
    EXPECT_EQ(MTimer::Occupied(), MTimer::kSlots);
  }
  EXPECT_EQ(MTimer::Occupied(), occupied);
  EXPECT_EQ(MTimer::HighWater(), MTimer::kSlots);
  EXPECT_EQ(user::LiveTimerCount(), base);
}

}  // namespace
}  // namespace ktfolio
