// Whole-or-nothing file writes beside the target, and reads bounded by a
// regular file's size.
#include "platform/fileio/fileio.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>


namespace ktfolio::fileio {

namespace {

constexpr int kTempNameAttempts = 16;
// A temporary name must fit NAME_MAX (255) with its decoration.
constexpr std::size_t kMaxNameInTemp = 180;
constexpr const char* kTempMark = ".ktfolio-";
constexpr const char* kTempEnd = ".tmp";

std::string Quoted(const std::string& path) {
  std::string shown = "'";
  for (char c : path) shown += c == '\0' ? std::string("\\0") : std::string(1, c);  // a NUL would end the message
  return shown + "'";
}

Error FileError(ErrorCode number, const char* title, const std::string& path, const std::string& cause) {
  std::string text = std::string(title) + ": " + Quoted(path);
  if (!cause.empty()) text += ": " + cause;
  return Error(number, kLibraryName, text);
}

// The error for a failed open, create or rename of `path`.
Error ErrnoError(int err, const std::string& path) {
  const std::string cause = std::strerror(err);
  switch (err) {
    case EACCES:
    case EPERM:
    case EROFS: return FileError(ErrorCode::kPermissionDenied, "Permission denied", path, cause);
    case ENAMETOOLONG: return FileError(ErrorCode::kBadFileName, "Bad file name", path, cause);
    case ENOENT:
    case ENOTDIR: return FileError(ErrorCode::kPathNotFound, "Path not found", path, cause);
    default: return AccessError(path, cause);
  }
}

Error NotRegular(const std::string& path) { return AccessError(path, "not a regular file"); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Every temporary file of `target` begins with this, whichever process made it.
std::string TempPrefix(const std::string& target) {
  return "." + NameOf(target).substr(0, kMaxNameInTemp) + kTempMark;
}

bool ProcessGone(pid_t pid) { return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; }

// Removes the temporary files of `target` whose writer no longer runs: what a
// killed write left behind.
void RemoveLeftovers(const std::string& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const std::size_t endLength = std::strlen(kTempEnd);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() <= prefix.size() + endLength || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - endLength, endLength, kTempEnd) != 0)
      continue;
    const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
    if (ProcessGone(static_cast<pid_t>(pid))) ::unlinkat(::dirfd(dir), name.c_str(), 0);
  }
  ::closedir(dir);
}

std::string RandomTag() {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 random{std::random_device{}()};
  return std::to_string(counter++) + "-" + std::to_string(random());
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // the rename reaches the disk too; some file systems refuse, which is harmless
  ::close(fd);
}

}  // namespace

void CheckFileName(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos)
    throw FileError(ErrorCode::kBadFileName, "Bad file name", path, "");
}

Error AccessError(const std::string& path, const std::string& cause) {
  return FileError(ErrorCode::kPathFileAccess, "Path/File access error", path, cause);
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
  CheckFileName(target_);
  if (target_.back() == '/') throw FileError(ErrorCode::kBadFileName, "Bad file name", target_, "");
  struct stat st {};
  if (::lstat(target_.c_str(), &st) == 0) {
    // A link is replaced as a name; anything else but a regular file is refused.
    if (!S_ISLNK(st.st_mode) && !S_ISREG(st.st_mode)) throw NotRegular(target_);
    if (S_ISREG(st.st_mode)) {
      // A file nobody may write stays, as it would stay if deleting it were asked.
      if ((st.st_mode & 0222) == 0 || ::access(target_.c_str(), W_OK) != 0)
        throw AccessError(target_, "the file is read-only");
      mode_ = st.st_mode & 07777;
      keepMode_ = true;
    }
  } else if (errno != ENOENT) {
    throw ErrnoError(errno, target_);
  }
  const std::string folder = FolderOf(target_);
  const std::string prefix = TempPrefix(target_);
  RemoveLeftovers(folder, prefix);
  const std::string stem = folder + "/" + prefix + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    const std::string name = stem + RandomTag() + kTempEnd;
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);  // less the umask
    if (fd_ >= 0) {
      temp_ = name;
      return;
    }
    if (errno != EEXIST) throw ErrnoError(errno, target_);
  }
  throw AccessError(target_, "no free temporary name beside it");
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFile::Write(const void* data, std::size_t size) {
  if (fd_ < 0) throw AccessError(target_, "the file is closed");
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw AccessError(target_, std::strerror(errno));
    if (n == 0) throw AccessError(target_, std::strerror(ENOSPC));
    p += n;
    size -= static_cast<std::size_t>(n);
  }
}

void AtomicFile::Commit() {
  if (fd_ < 0) throw AccessError(target_, "the file is closed");
  if (::fsync(fd_) != 0) throw AccessError(target_, std::strerror(errno));
  if (keepMode_ && ::fchmod(fd_, mode_) != 0) throw AccessError(target_, std::strerror(errno));
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) throw AccessError(target_, std::strerror(errno));
  if (::rename(temp_.c_str(), target_.c_str()) != 0) throw ErrnoError(errno, target_);
  committed_ = true;
  SyncFolder(FolderOf(target_));
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFile file(path);
  file.Write(bytes);
  file.Commit();
}

std::string ReadRegularFile(const std::string& path, std::uint64_t maxBytes, const char* what) {
  CheckFileName(path);
  // Non-blocking, so that opening a FIFO nobody writes returns at once; it is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT) throw FileError(ErrorCode::kFileNotFound, "File not found", path, "");
    throw ErrnoError(err, path);
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw AccessError(path, std::strerror(errno));
  if (!S_ISREG(st.st_mode)) throw NotRegular(path);
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
    throw FileError(ErrorCode::kOutOfMemory, "Out of memory", path,
                    std::string("the ") + what + " is larger than " + std::to_string(maxBytes) + " bytes");
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw AccessError(path, std::strerror(errno));
    if (n == 0) break;  // the file shrank meanwhile
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

std::optional<Error>& LastFailure() {
  thread_local std::optional<Error> failure;
  return failure;
}

void NoteFailure(const Error& e) { LastFailure() = e; }

}  // namespace ktfolio::fileio
