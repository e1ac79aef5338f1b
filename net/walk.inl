// WalkConnections: as many entries per request as fit, the buffer grown to
// the size the platform asks for.
#pragma once

#include <memory>

namespace net {
namespace walk_detail {

inline DWORD Open(char*, DWORD scope, DWORD usage, HANDLE* handle) {
  return platform::WNetOpenEnumA(scope, RESOURCETYPE_DISK, usage, nullptr, handle);
}
inline DWORD Open(WCHAR*, DWORD scope, DWORD usage, HANDLE* handle) {
  return platform::WNetOpenEnumW(scope, RESOURCETYPE_DISK, usage, nullptr, handle);
}
inline DWORD Next(char*, HANDLE handle, DWORD* count, void* buffer, DWORD* size) {
  return platform::WNetEnumResourceA(handle, count, buffer, size);
}
inline DWORD Next(WCHAR*, HANDLE handle, DWORD* count, void* buffer, DWORD* size) {
  return platform::WNetEnumResourceW(handle, count, buffer, size);
}

}  // namespace walk_detail

template <typename Char, typename Visit>
bool WalkConnections(DWORD scope, DWORD usage, Visit visit) {
  using Entry = typename Resource<Char>::Type;
  HANDLE handle = nullptr;
  if (walk_detail::Open(static_cast<Char*>(nullptr), scope, usage, &handle) != 0) return false;
  DWORD room = 1600;
  std::unique_ptr<Entry[]> buffer(new Entry[room / sizeof(Entry) + 1]);
  for (;;) {
    DWORD count = 0xFFFFFFFF, size = room;
    DWORD result = walk_detail::Next(static_cast<Char*>(nullptr), handle, &count, buffer.get(), &size);
    if (result == ERROR_MORE_DATA && size > room) {
      room = size;
      buffer.reset(new Entry[room / sizeof(Entry) + 1]);
      continue;
    }
    if (result != 0) break;
    for (DWORD i = 0; i < count; ++i) visit(buffer[i]);
  }
  platform::WNetCloseEnum(handle);
  return true;
}

}  // namespace net
