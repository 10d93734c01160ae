// Whole-or-nothing writes and bounded reads: what a writer refuses, what it
// leaves behind, and what the next write cleans up.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/fileio/fileio.h"

namespace ktfolio::fileio {
namespace {

namespace fs = std::filesystem;

class Folder {
 public:
  Folder() : path_(fs::path(::testing::TempDir()) / ("ktfolio_fileio_" + std::to_string(::getpid()))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~Folder() { fs::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // The temporary files of writers in this folder.
  int Temps() const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(path_))
      n += e.path().filename().string().find(".ktfolio-") != std::string::npos;
    return n;
  }

 private:
  fs::path path_;
};

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The number and description of what a call throws.
std::pair<ErrorCode, std::string> Caught(const std::function<void()>& call) {
  try {
    call();
  } catch (const Error& e) {
    return {static_cast<ErrorCode>(e.number()), e.description()};
  }
  return {ErrorCode{}, "nothing was thrown"};
}

TEST(AtomicFile, TargetsThatAreNotRegularFilesAreRefusedAndStayWhatTheyWere) {
  Folder dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  fs::create_directory(dir.File("folder"));
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sockPath = dir.File("socket");
  ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
  std::copy(sockPath.begin(), sockPath.end(), addr.sun_path);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  std::vector<std::string> targets = {"fifo", "folder", "socket"};
  // A node of our own making, never a real device: only root may make one.
  if (::geteuid() == 0 && ::mknod(dir.File("null").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0)
    targets.push_back("null");
  for (const std::string& name : targets) {
    SCOPED_TRACE(name);
    const std::string path = dir.File(name);
    struct stat before {}, after {};
    ASSERT_EQ(::lstat(path.c_str(), &before), 0);
    EXPECT_EQ(Caught([&] { WriteFileAtomically(path, "data"); }),
              std::make_pair(ErrorCode::kPathFileAccess, "Path/File access error: '" + path + "': not a regular file"));
    ASSERT_EQ(::lstat(path.c_str(), &after), 0);
    EXPECT_EQ(std::make_pair(after.st_mode & S_IFMT, after.st_ino),
              std::make_pair(before.st_mode & S_IFMT, before.st_ino));
  }
  ::close(sock);
  EXPECT_EQ(dir.Temps(), 0);
}

TEST(AtomicFile, ALinkAtTheTargetIsReplacedAndWhatItPointedToIsUntouched) {
  Folder dir;
  std::ofstream(dir.File("mine")) << "mine";
  fs::create_symlink("mine", dir.File("link"));
  WriteFileAtomically(dir.File("link"), "new");
  EXPECT_FALSE(fs::is_symlink(dir.File("link")));
  EXPECT_EQ(std::pair(Contents(dir.File("link")), Contents(dir.File("mine"))),
            std::pair(std::string("new"), std::string("mine")));
}

TEST(AtomicFile, AnUnfinishedWriteKeepsTheOldFileAndRemovesItsTemporaryFile) {
  Folder dir;
  const std::string path = dir.File("doc.pdf");
  std::ofstream(path) << "old";
  ::chmod(path.c_str(), 0640);
  {
    AtomicFile file(path);
    file.Write("half of it");
    EXPECT_EQ(dir.Temps(), 1);
    EXPECT_EQ(fs::path(file.TempPath()).parent_path(), fs::path(path).parent_path()) << "beside the target";
  }
  EXPECT_EQ(std::pair(Contents(path), dir.Temps()), std::pair(std::string("old"), 0));
  WriteFileAtomically(path, "complete");
  EXPECT_EQ(Contents(path), "complete");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the old file's permissions are kept";
}

TEST(AtomicFile, TheNextWriteRemovesWhatAKilledWriterLeftButNotALiveOnes) {
  Folder dir;
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string dead = dir.File(".doc.pdf.ktfolio-" + std::to_string(gone) + "-0-1.tmp");
  const std::string live = dir.File(".doc.pdf.ktfolio-" + std::to_string(::getppid()) + "-0-1.tmp");
  const std::string other = dir.File(".other.pdf.ktfolio-" + std::to_string(gone) + "-0-1.tmp");
  for (const std::string& p : {dead, live, other}) std::ofstream(p) << "partial";
  WriteFileAtomically(dir.File("doc.pdf"), "whole");
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(live)) << "a running writer keeps its file";
  EXPECT_TRUE(fs::exists(other)) << "another target's leftovers wait for that target";
}

TEST(ReadRegularFile, WhatIsNotARegularFileIsRefusedAtOnceAndNamed) {
  Folder dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);  // nobody writes it: a blocking read would hang
  std::ofstream(dir.File("big")) << std::string(100, 'x');
  const std::tuple<std::string, ErrorCode, std::string> cases[] = {
      {"fifo", ErrorCode::kPathFileAccess, "Path/File access error: '%': not a regular file"},
      {"", ErrorCode::kPathFileAccess, "Path/File access error: '%': not a regular file"},
      {"none", ErrorCode::kFileNotFound, "File not found: '%'"},
      {"big", ErrorCode::kOutOfMemory, "Out of memory: '%': the picture is larger than 99 bytes"},
  };
  for (const auto& [name, number, description] : cases) {
    const std::string path = dir.File(name), text = description;
    EXPECT_EQ(Caught([&] { ReadRegularFile(path, 99, "picture"); }),
              std::make_pair(number, text.substr(0, text.find('%')) + path + text.substr(text.find('%') + 1)));
  }
  EXPECT_EQ(ReadRegularFile(dir.File("big"), 100), std::string(100, 'x'));
}

// The system would end the name at the NUL: another file than the one named.
TEST(FileNames, ANameWithANulInItIsRefusedForWritingAndReadingAndNamedReadably) {
  Folder dir;
  std::ofstream(dir.File("doc.pdf")) << "old";
  const std::string cut = dir.File("doc.pdf") + std::string("\0junk", 5);
  const auto bad = std::make_pair(ErrorCode::kBadFileName, "Bad file name: '" + dir.File("doc.pdf") + "\\0junk'");
  EXPECT_EQ(Caught([&] { WriteFileAtomically(cut, "new"); }), bad);
  EXPECT_EQ(Caught([&] { ReadRegularFile(cut, 99); }), bad);
  EXPECT_EQ(Contents(dir.File("doc.pdf")), "old");
  EXPECT_EQ(dir.Temps(), 0);
}

}  // namespace
}  // namespace ktfolio::fileio
