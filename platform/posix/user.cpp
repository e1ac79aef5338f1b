#include "platform/user.h"

#include <atomic>

#include "platform/mbcs.h"
#include "platform/system.h"

namespace platform {

char* CharUpperA(char* text) {
  if (text == nullptr) return nullptr;
  auto* at = reinterpret_cast<unsigned char*>(text);
  while (*at != 0) {
    const size_t width = _mbclen(at);
    const unsigned code = _mbsnextc(at);
    const unsigned upper = _mbctoupper(code);
    if (upper != code && (upper > 0xFF ? 2u : 1u) == width) {
      if (width == 2) {
        at[0] = static_cast<unsigned char>(upper >> 8);
        at[1] = static_cast<unsigned char>(upper);
      } else {
        at[0] = static_cast<unsigned char>(upper);
      }
    }
    at = _mbsinc(at);
  }
  return text;
}

}  // namespace platform

// ---- Cursors -------------------------------------------------------------------
//
// No screen: a cursor is the system cursor it names, the current cursor is
// kept per thread as Windows keeps it per thread's input, and the pointer
// position is one for the process.

namespace platform {
namespace {

struct SystemCursor {
  WORD id;
};

const SystemCursor kSystemCursors[] = {{32512}, {32513}, {32514}, {32515}, {32516}, {32640}, {32641}, {32642},
                                       {32643}, {32644}, {32645}, {32646}, {32648}, {32649}, {32650}, {32651}};

const SystemCursor* FindCursor(HCURSOR cursor) {
  for (const SystemCursor& known : kSystemCursors) {
    if (reinterpret_cast<HCURSOR>(const_cast<SystemCursor*>(&known)) == cursor) return &known;
  }
  return nullptr;
}

thread_local HCURSOR currentCursor = nullptr;
std::atomic<long long> pointerPosition{0};  // x in the high half, y in the low

}  // namespace

HCURSOR LoadCursorA(HINSTANCE module, const char* name) {
  const auto id = reinterpret_cast<ULONG_PTR>(name);
  for (const SystemCursor& known : kSystemCursors) {
    if (module == nullptr && id == known.id) return reinterpret_cast<HCURSOR>(const_cast<SystemCursor*>(&known));
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
  if (cursor != nullptr && FindCursor(cursor) == nullptr) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return nullptr;
  }
  HCURSOR previous = currentCursor;
  currentCursor = cursor;
  return previous;
}

HCURSOR GetCursor() { return currentCursor; }

BOOL GetCursorPos(POINT* point) {
  if (point == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const long long both = pointerPosition.load();
  point->x = static_cast<LONG>(both >> 32);
  point->y = static_cast<LONG>(both & 0xFFFFFFFF);
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  pointerPosition.store(static_cast<long long>(x) << 32 | static_cast<unsigned>(y));
  return TRUE;
}

}  // namespace platform
