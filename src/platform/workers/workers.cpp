#include "platform/workers/workers.h"

#include <dirent.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>

#include "platform/automation/error.h"

namespace ktfolio::workers {
namespace {

// Anonymous memory every process forked afterwards shares.
void* SharedMemory(std::size_t size) {
  void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

int ThreadsOfThisProcess() {
  DIR* dir = opendir("/proc/self/task");
  if (!dir) return 0;  // unknown: counted as more than one
  int n = 0;
  while (const dirent* e = readdir(dir))
    if (e->d_name[0] != '.') ++n;
  closedir(dir);
  return n;
}

enum : unsigned char { kPending = 0, kDone = 1, kFailed = 2 };

// What the processes of one Run share: the next task to take, then each
// task's outcome.
struct Board {
  std::atomic<int> next{0};
  std::atomic<unsigned char>* Outcome(int task) {
    return reinterpret_cast<std::atomic<unsigned char>*>(reinterpret_cast<char*>(this) + sizeof(Board)) + task;
  }
  static std::size_t Size(int tasks) { return sizeof(Board) + static_cast<std::size_t>(tasks) * sizeof(std::atomic<unsigned char>); }
};

}  // namespace

int Available() {
  if (ThreadsOfThisProcess() != 1) return 1;
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  return CPU_COUNT(&set) > 0 ? CPU_COUNT(&set) : 1;
}

MemoryFile::MemoryFile() : fd_(memfd_create("ktfolio-part", MFD_CLOEXEC)) {
  if (fd_ < 0) throw Error(ErrorCode::kOutOfMemory, kLibraryName, std::string("Out of memory: ") + std::strerror(errno));
}

MemoryFile::~MemoryFile() {
  if (fd_ >= 0) close(fd_);
}

bool MemoryFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void MemoryFile::Clear() {
  if (ftruncate(fd_, 0) == 0) lseek(fd_, 0, SEEK_SET);
}

std::string MemoryFile::Read() const {
  struct stat st{};
  if (fstat(fd_, &st) != 0) return {};
  std::string out(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t got = 0;
  while (got < out.size()) {
    const ssize_t n = pread(fd_, out.data() + got, out.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.resize(got);
  return out;
}

struct SharedCounter::Cell {
  std::atomic<long> value{0};
};

SharedCounter::SharedCounter() {
  void* p = SharedMemory(sizeof(Cell));
  if (!p) throw Error(ErrorCode::kOutOfMemory, kLibraryName, std::string("Out of memory: ") + std::strerror(errno));
  cell_ = new (p) Cell;
}

SharedCounter::~SharedCounter() {
  cell_->~Cell();
  munmap(cell_, sizeof(Cell));
}

void SharedCounter::Add(long n) { cell_->value.fetch_add(n); }

long SharedCounter::Value() const { return cell_->value.load(); }

namespace {

// The children of one Run: waited for however the caller leaves it, and
// killed first when it leaves by an exception (their work is not wanted).
class Children {
 public:
  ~Children() {
    if (std::uncaught_exceptions() > 0)
      for (const pid_t pid : pids_) kill(pid, SIGKILL);
    Wait();
  }
  void Add(pid_t pid) { pids_.push_back(pid); }
  void Wait() {
    for (const pid_t pid : pids_) {
      int status = 0;
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }
    pids_.clear();
  }

 private:
  std::vector<pid_t> pids_;
};

}  // namespace

void Run(int tasks, int processes, const Task& run, const Ended& ended) {
  if (tasks <= 0) return;
  const auto attempt = [&run](int t, bool here) {
    try {
      return run(t, here);
    } catch (...) {
      return false;
    }
  };
  const std::size_t size = Board::Size(tasks);
  void* memory = processes > 1 ? SharedMemory(size) : nullptr;
  if (!memory) {
    // One process: each task in turn, here.
    for (int t = 0; t < tasks; ++t) ended(t, attempt(t, true));
    return;
  }
  struct Unmap {
    void* memory;
    std::size_t size;
    ~Unmap() { munmap(memory, size); }
  } unmap{memory, size};
  Board* board = new (memory) Board;
  for (int t = 0; t < tasks; ++t) new (board->Outcome(t)) std::atomic<unsigned char>(kPending);
  const pid_t parent = getpid();
  Children children;
  for (int i = 1; i < processes && i < tasks; ++i) {
    const pid_t pid = fork();
    if (pid == 0) {
      // A child ends when its parent does, whatever ended it.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(1);
      for (int t = board->next.fetch_add(1); t < tasks; t = board->next.fetch_add(1))
        board->Outcome(t)->store(attempt(t, false) ? kDone : kFailed);
      _exit(0);
    }
    if (pid < 0) break;  // fewer helpers: the rest is done here
    children.Add(pid);
  }
  // The caller works too, and between its tasks hands on, in order, those
  // that have ended; once none is left to take, it waits for the children.
  int next = 0;
  const auto handOn = [&](bool all) {
    for (; next < tasks; ++next) {
      const unsigned char outcome = board->Outcome(next)->load();
      if (outcome == kPending && !all) return;
      ended(next, outcome == kDone);
    }
  };
  for (int t = board->next.fetch_add(1); t < tasks; t = board->next.fetch_add(1)) {
    board->Outcome(t)->store(attempt(t, true) ? kDone : kFailed);
    handOn(false);
  }
  children.Wait();
  handOn(true);  // a task still pending now lost its child
}

}  // namespace ktfolio::workers
