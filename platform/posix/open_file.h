// An open file or directory of the POSIX layer, behind one or more handles.
#pragma once

#include <limits.h>
#include <stdint.h>

#include <atomic>
#include <memory>
#include <string_view>

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
  OpenFile(int fd, std::string_view path);
  ~OpenFile() override;
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  int fd() const { return fd_; }
  // The last component of the native path it was opened by (its name then,
  // for the hidden attribute).
  const char* name() const { return name_; }

  int64_t position() const { return position_.load(std::memory_order_relaxed); }
  void MoveTo(int64_t position) { position_.store(position, std::memory_order_relaxed); }

 private:
  int fd_;
  char name_[NAME_MAX + 1];
  std::atomic<int64_t> position_{0};
};

// The share rights (ShareRight bits) that Windows access rights use.
unsigned RightsOf(DWORD access);

// Opens `name` as CreateFile does (access, share mode, disposition, and of
// the flags FILE_FLAG_BACKUP_SEMANTICS and FILE_ATTRIBUTE_READONLY), with the
// share modes of every other open enforced. Null with the last error set on
// failure; on success the last error is ERROR_ALREADY_EXISTS when
// CREATE_ALWAYS or OPEN_ALWAYS found the file, else ERROR_SUCCESS.
// `native` is the resolved path, in `name.native` or the caller's buffer.
std::shared_ptr<OpenFile> OpenShared(const ResolvedPath& name, const char* native, DWORD access, DWORD shareMode,
                                     DWORD disposition, DWORD flagsAndAttributes);
inline std::shared_ptr<OpenFile> OpenShared(const ResolvedPath& name, DWORD access, DWORD shareMode,
                                            DWORD disposition, DWORD flagsAndAttributes) {
  return OpenShared(name, name.native.c_str(), access, shareMode, disposition, flagsAndAttributes);
}

// The file of a file handle with the rights of that handle, or null with
// ERROR_INVALID_HANDLE.
std::shared_ptr<OpenFile> FileOfHandle(HANDLE handle, unsigned* rights);

}  // namespace posix
}  // namespace platform
