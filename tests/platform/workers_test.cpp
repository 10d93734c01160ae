// Work shared with forked copies of the process: every task done once, a copy
// that dies leaves its task to the caller, and a process with other threads
// is not copied.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <sys/wait.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/workers/workers.h"

namespace ktfolio::testing {
namespace {

TEST(Workers, EachTaskRunsOnceAndLeavesItsResultWhereTheCallerReadsIt) {
  constexpr int kTasks = 12;
  std::vector<std::unique_ptr<workers::MemoryFile>> files;
  for (int t = 0; t < kTasks; ++t) files.push_back(std::make_unique<workers::MemoryFile>());
  workers::SharedCounter ran;
  const pid_t caller = getpid();
  std::vector<int> order;
  workers::Run(
      kTasks, 3,
      [&](int t, bool here) {
        usleep(20000);  // long enough for every copy to take some
        ran.Add(1);
        const bool inCaller = getpid() == caller;
        return here == inCaller && files[t]->Write("task " + std::to_string(t) + (here ? " here" : " copy"));
      },
      [&](int t, bool done) {
        EXPECT_TRUE(done) << t;
        EXPECT_FALSE(files[t]->Read().empty()) << "a task is handed on once its result is there";
        order.push_back(t);
      });
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(ran.Value(), kTasks);
  int copies = 0;
  for (int t = 0; t < kTasks; ++t) {
    const std::string text = files[t]->Read();
    EXPECT_EQ(text.substr(0, text.rfind(' ')), "task " + std::to_string(t));
    copies += text.ends_with(" copy");
  }
  EXPECT_GT(copies, 0) << "the copies took some of the work";
  EXPECT_LT(copies, kTasks) << "and so did the caller";

  files[0]->Clear();
  EXPECT_TRUE(files[0]->Write("again"));
  EXPECT_EQ(files[0]->Read(), "again");
}

TEST(Workers, ATaskWhoseCopyDiedOrFailedIsLeftUndoneForTheCaller) {
  constexpr int kTasks = 8;
  std::vector<bool> done;
  workers::Run(
      kTasks, 3,
      [](int t, bool here) {
        if (!here) raise(SIGKILL);  // every copy dies on its first task
        usleep(10000);
        if (t == 5) throw std::runtime_error("a task that throws has failed");
        return true;
      },
      [&](int, bool d) { done.push_back(d); });
  ASSERT_EQ(done.size(), std::size_t(kTasks));
  EXPECT_FALSE(done[5]);
  int undone = 0;
  for (bool d : done) undone += d ? 0 : 1;
  EXPECT_LE(undone, 3) << "at most one task a copy, and the one that threw";
}

TEST(Workers, WhenTheCallerGivesUpTheCopiesAreStoppedAndWaitedFor) {
  const auto started = std::chrono::steady_clock::now();
  EXPECT_THROW(workers::Run(
                   6, 3,
                   [&](int t, bool here) {
                     if (here) usleep(50000);
                     else if (t > 0) sleep(30);  // a copy that would take long
                     return true;
                   },
                   [](int, bool) { throw std::runtime_error("the caller gives up"); }),
               std::runtime_error);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child is left, running or unwaited";
}

TEST(Workers, AProcessWithOtherThreadsIsNotCopied) {
  EXPECT_GE(workers::Available(), 1);
  std::promise<void> stop;
  std::thread other([f = stop.get_future()]() mutable { f.wait(); });
  EXPECT_EQ(workers::Available(), 1);
  stop.set_value();
  other.join();
}

TEST(Workers, OneProcessRunsEveryTaskInTurnHere) {
  std::vector<int> order;
  std::vector<bool> done;
  workers::Run(
      4, 1,
      [&](int t, bool here) {
        order.push_back(here ? t : -1);
        return t != 2;
      },
      [&](int, bool d) { done.push_back(d); });
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(done, (std::vector<bool>{true, true, false, true}));
}

}  // namespace
}  // namespace ktfolio::testing
