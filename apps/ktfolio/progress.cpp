// How far a long job has got, on stderr: only when stderr is a terminal (so
// scripts and logs see clean output), only once the job has run for about a
// second, and never with --quiet.
#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "commands.h"

namespace ktfolio::cli {

namespace {

using Seconds = std::chrono::duration<double>;
constexpr Seconds kQuietStart{1.0};     // a job shorter than this shows nothing
constexpr Seconds kRedrawEvery{0.25};  // at most four lines a second
constexpr int kSecondsPerMinute = 60;

std::string TimeText(double seconds) {
  const long s = std::lround(seconds);
  if (s < kSecondsPerMinute) return std::to_string(s) + " s";
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld min", s / kSecondsPerMinute, s % kSecondsPerMinute);
  return text;
}

}  // namespace

void AddQuietFlag(CLI::App& command, bool& quiet) {
  command.add_flag("-q,--quiet", quiet, "Show no progress (it shows on a terminal for jobs over a second)");
}

Progress::Progress(std::string what, bool quiet)
    : what_(std::move(what)), enabled_(!quiet && isatty(STDERR_FILENO)), start_(Clock::now()) {}

Progress::~Progress() {
  if (lineOpen_) std::fputc('\n', stderr);
}

void Progress::Restart(std::string what) {
  what_ = std::move(what);
  firstPage_.reset();
}

void Progress::Clear() {
  if (!lineOpen_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  lineOpen_ = false;
}

render::PageProgress Progress::Hook() {
  return [this](std::int32_t done, std::int32_t total) { Report(done, total); };
}

void Progress::Report(std::int32_t done, std::int32_t total) {
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (!firstPage_ || done == 0) firstPage_ = Rate{now, done};
  const bool last = done >= total;
  if (now - start_ < kQuietStart || (!last && now - shown_ < kRedrawEvery)) return;
  if (last && shown_ == Clock::time_point{}) return;  // done before anything was shown
  shown_ = now;
  const double elapsed = Seconds(now - firstPage_->time).count();
  const double rate = elapsed > 0 ? (done - firstPage_->done) / elapsed : 0;
  std::string tail = last ? "done" : rate > 0 ? TimeText((total - done) / rate) + " left" : "";
  std::fprintf(stderr, "\r\033[Kktfolio: %s page %d of %d, %.0f pages/s, %s", what_.c_str(), done, total, rate,
               tail.c_str());
  lineOpen_ = !last;
  if (last) std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace ktfolio::cli
