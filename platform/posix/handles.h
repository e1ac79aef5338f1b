// Handles of the POSIX layer. As on Windows, a handle is a small number
// naming an object in the process's handle table, never a descriptor: so
// INVALID_HANDLE_VALUE (also the process's pseudo-handle) names nothing, and
// a duplicate names the same object as its original.
#pragma once

#include <memory>
#include <typeinfo>

#include "platform/types.h"

namespace platform {
namespace posix {

class HandleObject {
 public:
  virtual ~HandleObject() = default;
};

struct HandleEntry {
  std::shared_ptr<HandleObject> object;
  DWORD access = 0;  // the handle's own access rights
};

HANDLE AddHandle(std::shared_ptr<HandleObject> object, DWORD access);
// The entry of `handle` when it names an object of type `kind`; otherwise an
// empty entry, and the last error ERROR_INVALID_HANDLE.
HandleEntry FindHandle(HANDLE handle, const std::type_info& kind);
// Takes `handle` out of the table when it names an object of type `kind`;
// the object goes with its last handle. False with ERROR_INVALID_HANDLE
// otherwise.
bool RemoveHandle(HANDLE handle, const std::type_info& kind);

template <typename T>
std::shared_ptr<T> ObjectOf(HANDLE handle, DWORD* access = nullptr) {
  HandleEntry entry = FindHandle(handle, typeid(T));
  if (access != nullptr) *access = entry.access;
  return std::static_pointer_cast<T>(entry.object);
}

}  // namespace posix
}  // namespace platform
