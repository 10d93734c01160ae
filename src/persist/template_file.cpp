// Template files: read whole, and written beside the target then renamed over
// it, so that a failed save never destroys the previous template.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <random>

#include "persist/persist_impl.h"

namespace ktfolio::persist {

namespace {

// The design buffer's length is 32-bit.
constexpr off_t kMaxTemplateBytes = INT32_MAX;
constexpr int kTempNameAttempts = 16;

Error FileError(std::int32_t number, const char* what, const std::string& path) {
  return Error(number, kLibraryName, std::string(what) + ": " + path);
}

Error AccessError(const std::string& path) { return FileError(errnum::kPathFileAccess, "Path/File access error", path); }

Error OpenError(int err, const std::string& path) {
  switch (err) {
    case ENOENT: return FileError(errnum::kFileNotFound, "File not found", path);
    case EACCES:
    case EPERM: return FileError(errnum::kPermissionDenied, "Permission denied", path);
    case ENAMETOOLONG: return FileError(errnum::kBadFileName, "Bad file name", path);
    default: return AccessError(path);
  }
}

// Closes a descriptor, and removes the file it wrote unless kept.
class TempFile {
 public:
  TempFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void Keep() { kept_ = true; }

 private:
  int fd_;
  std::string path_;
  bool kept_ = false;
};

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A new file beside `path`, with the permissions a new file would get (the
// old file's when it exists).
TempFile CreateBeside(const std::string& path, mode_t mode) {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  const std::string folder = FolderOf(path);
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    const std::string name = folder + "/.ktfolio-" + std::to_string(::getpid()) + "-" +
                             std::to_string(counter++) + "-" + std::to_string(random()) + ".tmp";
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return TempFile(fd, name);
    if (errno == EEXIST) continue;
    if (errno == ENOENT || errno == ENOTDIR) throw FileError(errnum::kPathNotFound, "Path not found", path);
    throw AccessError(path);
  }
  throw AccessError(path);
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw AccessError(path);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  if (path.empty()) throw FileError(errnum::kBadFileName, "Bad file name", path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw OpenError(errno, path);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) throw AccessError(path);
  if (st.st_size == 0) throw FileError(errnum::kInputPastEnd, "Input past end of file (the file is empty)", path);
  if (st.st_size > kMaxTemplateBytes) throw Error(errnum::kOutOfMemory, kLibraryName, "Out of memory: " + path);
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw AccessError(path);
    if (n == 0) break;  // the file shrank meanwhile
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  if (bytes.empty()) throw FileError(errnum::kInputPastEnd, "Input past end of file (the file is empty)", path);
  return bytes;
}

void ReplaceFile(const std::string& path, std::string_view bytes) {
  if (path.empty() || path.back() == '/') throw FileError(errnum::kBadFileName, "Bad file name", path);
  mode_t mode = 0666;  // less the umask, as for any new file
  struct stat st {};
  const bool existed = ::stat(path.c_str(), &st) == 0;
  if (existed) {
    // A folder, or a file nobody may write: refuse, as deleting it would.
    if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
      throw AccessError(path);
    mode = st.st_mode & 07777;
  }
  TempFile temp = CreateBeside(path, mode);
  WriteAll(temp.fd(), bytes, path);
  if (::fsync(temp.fd()) != 0) throw AccessError(path);
  if (existed && ::fchmod(temp.fd(), mode) != 0) throw AccessError(path);
  if (!temp.Close()) throw AccessError(path);
  if (::rename(temp.path().c_str(), path.c_str()) != 0) throw AccessError(path);
  temp.Keep();
}

}  // namespace ktfolio::persist
