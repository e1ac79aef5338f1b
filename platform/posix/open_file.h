// An open file or directory of the POSIX layer, behind one or more handles.
#pragma once

#include <stdint.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/posix/handles.h"
#include "platform/posix/native_path.h"
#include "platform/posix/share_modes.h"

namespace platform {
namespace posix {

// Owns the descriptor, and with it the open file description that carries
// the share-mode locks, and the file position of its handles: kept here and
// read and written at with pread and pwrite, so a move costs no system
// call. All go with the last handle.
class OpenFile final : public HandleObject {
 public:
  OpenFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~OpenFile() override;
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  int fd() const { return fd_; }
  // The native path it was opened by (its name then, for the hidden attribute).
  const std::string& path() const { return path_; }

  int64_t position() const { return position_.load(std::memory_order_relaxed); }
  void MoveTo(int64_t position) { position_.store(position, std::memory_order_relaxed); }

 private:
  int fd_;
  std::string path_;
  std::atomic<int64_t> position_{0};
};

// The share rights (ShareRight bits) that Windows access rights use.
unsigned RightsOf(DWORD access);

// Opens `name` as CreateFile does (access, share mode, disposition, and of
// the flags FILE_FLAG_BACKUP_SEMANTICS and FILE_ATTRIBUTE_READONLY), with the
// share modes of every other open enforced. Null with the last error set on
// failure; on success the last error is ERROR_ALREADY_EXISTS when
// CREATE_ALWAYS or OPEN_ALWAYS found the file, else ERROR_SUCCESS.
std::shared_ptr<OpenFile> OpenShared(const ResolvedPath& name, DWORD access, DWORD shareMode, DWORD disposition,
                                     DWORD flagsAndAttributes);

// The file of a file handle with the rights of that handle, or null with
// ERROR_INVALID_HANDLE.
std::shared_ptr<OpenFile> FileOfHandle(HANDLE handle, unsigned* rights);

}  // namespace posix
}  // namespace platform
