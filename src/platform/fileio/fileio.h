// Files written whole or not at all, and files read no further than their
// size: the one way the library writes a document (PDF, PNG, template, form)
// and reads one back.
//
// Writing (`AtomicFile`):
//  - the target is absent or a regular file; a device, FIFO, socket or folder
//    is refused ("not a regular file") and never opened; a read-only file is
//    refused too, as deleting it would be;
//  - a symbolic link at the target's name is replaced by the new file, like
//    any other name: the file the link pointed to is neither read nor written;
//  - the bytes go to `.<name>.ktfolio-<pid>-<random>.tmp` in the target's
//    folder; every write is checked, the file is flushed to disk (fsync),
//    closed (checked), and only then renamed over the target;
//  - on any failure the temporary file is removed, the old target stays as it
//    was, and an Error names the file and the cause ("No space left on device");
//  - a temporary file left by a killed process is removed by the next write
//    to the same target.
// Errors: 52 bad file name, 70 permission denied, 76 path not found, 75 for
// everything else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/error.h"

namespace ktfolio::fileio {

class AtomicFile {
 public:
  // Checks the target and opens its temporary file; throws Error.
  explicit AtomicFile(std::string target);
  // Removes the temporary file unless Commit succeeded.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Appends bytes; throws Error (the temporary file stays until destruction).
  void Write(const void* data, std::size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // Flushes, closes and renames over the target; throws Error.
  void Commit();

  const std::string& Target() const { return target_; }
  const std::string& TempPath() const { return temp_; }

 private:
  std::string target_;
  std::string temp_;
  int fd_ = -1;
  unsigned mode_ = 0;       // the old file's permissions, kept
  bool keepMode_ = false;
  bool committed_ = false;
};

// The whole of `bytes` as the file `path`, as AtomicFile writes; throws Error.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The bytes of the regular file `path`, read no further than its size.
// Throws Error: 53 missing, 75 not a regular file or unreadable, 7 larger
// than `maxBytes` (named with `what`, e.g. "template").
std::string ReadRegularFile(const std::string& path, std::uint64_t maxBytes, const char* what = "file");

// Error 75 for `path` with a cause: "Path/File access error: 'path': cause".
Error AccessError(const std::string& path, const std::string& cause);
// Throws kBadFileName for a name the system cannot take whole: empty, or with
// a NUL in it (the system would end the name there: another file).
void CheckFileName(const std::string& path);

// The failure behind the last call on this thread of a platform function that
// can only return a code (EndDoc, OpenPrinter, SaveBitmapPng): the cause a
// caller adds to its own message, as Win32 keeps a last error. A caller
// clears it before the call it wants to explain.
std::optional<Error>& LastFailure();
void NoteFailure(const Error& e);

}  // namespace ktfolio::fileio
