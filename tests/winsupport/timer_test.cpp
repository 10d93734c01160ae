// CTimer over the window manager's timers, driven by the message loop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>

#include "platform/automation/error.h"
#include "platform/user/user.h"
#include "winsupport/timer.h"

namespace ktfolio {
namespace {

using namespace win;
using namespace ::testing;

TEST(CTimerTest, TicksComeFromTheLoopAndStopAtZero) {
  int base = user::LiveTimerCount();
  CTimer t;
  int ticks = 0;
  DWORD thread = 0;
  t.ThatTime = [&](CTimer& self) { EXPECT_EQ(&self, &t); ++ticks; thread = GetCurrentThreadId(); };
  t.Interval(25);
  const UINT_PTR first = t.TimerId();
  EXPECT_EQ(std::tuple(user::LiveTimerCount(), first != 0), std::tuple(base + 1, true));
  user::PumpFor(140);
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(thread, GetCurrentThreadId());

  t.Interval(25);
  EXPECT_EQ(t.TimerId(), first) << "the same interval does not restart the timer";
  t.Interval(0);
  EXPECT_EQ(std::tuple(t.Interval(), user::LiveTimerCount()), std::tuple(0, base));
  const int stopped = ticks;
  user::PumpFor(60);
  EXPECT_EQ(ticks, stopped);
  t.Item(std::string("payload"));
  t.Interval(500);
  EXPECT_NE(t.TimerId(), first) << "starting again makes a new system timer";
  const UINT_PTR slow = t.TimerId();
  t.Interval(20);
  EXPECT_EQ(std::tuple(t.TimerId() != slow, user::LiveTimerCount()), std::tuple(true, base + 1))
      << "a new interval restarts the timer, and the old one is gone";
  user::PumpFor(80);
  EXPECT_GE(ticks, stopped + 2) << "the new interval is in force";
  EXPECT_EQ(std::any_cast<std::string>(t.Item()), "payload");
}

TEST(CTimerTest, TheHundredAndFirstTimerIsRefused) {
  const int base = user::LiveTimerCount(), occupied = MTimer::Occupied();
  {
    std::list<CTimer> timers;
    for (int i = occupied; i < MTimer::kSlots; ++i) timers.emplace_back().Interval(1000);
    EXPECT_EQ(std::tuple(MTimer::Occupied(), MTimer::HighWater()), std::tuple(MTimer::kSlots, MTimer::kSlots));
    CTimer extra;
    const char* description = "No more than 10 timers allowed per class";
    EXPECT_THAT([&] { extra.Interval(1000); },
                Throws<Error>(AllOf(Property(&Error::number, ObjectError(13651)),
                                    Property(&Error::source, "ktfolio.WindowProc"),
                                    Property(&Error::description, description))));
    EXPECT_EQ(std::tuple(extra.Interval(), user::LiveTimerCount()), std::tuple(0, base + MTimer::kSlots - occupied))
        << "the refused timer left nothing";
    // A freed slot is reused; the high-water count stays.
    timers.front().Interval(0);
    extra.Interval(1000);
    EXPECT_EQ(MTimer::Occupied(), MTimer::kSlots);
  }
  EXPECT_EQ(std::tuple(MTimer::Occupied(), MTimer::HighWater(), user::LiveTimerCount()),
            std::tuple(occupied, MTimer::kSlots, base));
}

// An object that owns a timer may go on another thread (a host's last
// reference dropped there), before or after the thread that started it ends.
TEST(CTimerTest, ATimerStoppedOrDestroyedOnAnotherThreadLeavesItsThreadNothingToTick) {
  const int base = user::LiveTimerCount();
  auto onThread = std::make_unique<CTimer>();
  int ticks = 0;
  onThread->ThatTime = [&](CTimer&) { ++ticks; };
  int occupiedThere = -1;
  std::mutex m;
  std::condition_variable cv;
  bool started = false, stopped = false;
  std::thread owner([&] {
    onThread->Interval(10);
    std::unique_lock lock(m);
    started = true;
    cv.notify_all();
    cv.wait(lock, [&] { return stopped; });
    lock.unlock();
    user::PumpFor(60);  // a tick now would reach a destroyed timer
    occupiedThere = MTimer::Occupied();
  });
  {
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return started; });
    EXPECT_EQ(std::tuple(MTimer::Occupied(), user::LiveTimerCount()), std::tuple(0, base + 1))
        << "the slot is the starting thread's";
    onThread.reset();  // destroyed here, not on its thread
    EXPECT_EQ(user::LiveTimerCount(), base);
    stopped = true;
    cv.notify_all();
  }
  owner.join();
  EXPECT_EQ(std::tuple(ticks, occupiedThere), std::tuple(0, 0));

  auto outlives = std::make_unique<CTimer>();
  std::thread([&] { outlives->Interval(10); }).join();  // its thread is gone
  EXPECT_EQ(user::LiveTimerCount(), base + 1);
  outlives.reset();
  EXPECT_EQ(user::LiveTimerCount(), base);
}

}  // namespace
}  // namespace ktfolio
