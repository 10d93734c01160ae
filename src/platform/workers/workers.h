// Work shared between the calling process and forked copies of it, one per
// core: each process takes the next task until none is left and leaves its
// result in an anonymous memory file. Processes rather than threads, because
// a copy of the process needs no lock around what the work touches.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ktfolio::workers {

// How many processes a job here may take: the cores this process may run on,
// or 1 when the process has threads besides the caller (a copy forked then
// would hold copies of their locks with nobody left to release them).
int Available();

// An anonymous file in memory, gone with its last descriptor; a child's
// writes are seen by the parent.
class MemoryFile {
 public:
  MemoryFile();  // throws Error when the system has no room for one
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // Appends bytes; false when they could not all be written.
  bool Write(std::string_view bytes);
  // Empties the file.
  void Clear();
  // The whole content.
  std::string Read() const;

 private:
  int fd_ = -1;
};

// A counter the calling process and its children all see.
class SharedCounter {
 public:
  SharedCounter();
  ~SharedCounter();
  SharedCounter(const SharedCounter&) = delete;
  SharedCounter& operator=(const SharedCounter&) = delete;
  void Add(long n);
  long Value() const;

 private:
  struct Cell;
  Cell* cell_;
};

// Runs tasks 0..tasks-1 on the calling process and processes-1 forked
// children, each taking the next task left; `run(task, here)` (here: in the
// calling process) says whether the task succeeded, and a task that throws
// has failed. `ended(task, succeeded)` is called in the calling process, in
// task order, as soon as a task and every one before it have ended (between
// the caller's own tasks, and once the children are done): a task whose
// child died before finishing it (crashed, killed) has not succeeded, so the
// caller can do it again itself. Children end with the caller, and never
// return: they leave with _exit, running none of the host's exit handlers.
// When `ended` throws, the children are killed and waited for.
using Task = std::function<bool(int task, bool here)>;
using Ended = std::function<void(int task, bool succeeded)>;
void Run(int tasks, int processes, const Task& run, const Ended& ended);

}  // namespace ktfolio::workers
