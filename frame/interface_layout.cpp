// The layout of every structure the C interface passes, checked when the
// library is compiled: as the Windows headers lay them out for a 32-bit
// program (the DLL the suite loads, which no test here can run), for a 64-bit
// one, and as the 64-bit POSIX library defines them. A structure that
// drifts fails the build. One block per structure; Layout(x86, x64, lp64)
// gives its values on the three.

#include <cstddef>

#include "ovpb32.h"
#include "platform/types.h"

namespace {

#if defined(_WIN32) && !defined(_WIN64)
constexpr int kTarget = 0;
#elif defined(_WIN64)
constexpr int kTarget = 1;
#elif defined(__LP64__)
constexpr int kTarget = 2;
#else
#error "no interface layout is known for this target"
#endif

constexpr size_t Layout(size_t x86, size_t x64, size_t lp64) {
  return kTarget == 0 ? x86 : kTarget == 1 ? x64 : lp64;
}

}  // namespace

#define OVPB_SIZE(type, x86, x64, lp64) \
  static_assert(sizeof(type) == Layout(x86, x64, lp64), "size of " #type)
#define OVPB_FIELD(type, field, x86, x64, lp64) \
  static_assert(offsetof(type, field) == Layout(x86, x64, lp64), "offset of " #type "." #field)

// ---- GUID ----
OVPB_SIZE(GUID, 16, 16, 16);
OVPB_FIELD(GUID, Data1, 0, 0, 0);
OVPB_FIELD(GUID, Data2, 4, 4, 4);
OVPB_FIELD(GUID, Data3, 6, 6, 6);
OVPB_FIELD(GUID, Data4, 8, 8, 8);

// ---- FILETIME ----
OVPB_SIZE(FILETIME, 8, 8, 8);
OVPB_FIELD(FILETIME, dwLowDateTime, 0, 0, 0);
OVPB_FIELD(FILETIME, dwHighDateTime, 4, 4, 4);

// ---- SYSTEMTIME ----
OVPB_SIZE(SYSTEMTIME, 16, 16, 16);
OVPB_FIELD(SYSTEMTIME, wYear, 0, 0, 0);
OVPB_FIELD(SYSTEMTIME, wMonth, 2, 2, 2);
OVPB_FIELD(SYSTEMTIME, wDayOfWeek, 4, 4, 4);
OVPB_FIELD(SYSTEMTIME, wDay, 6, 6, 6);
OVPB_FIELD(SYSTEMTIME, wHour, 8, 8, 8);
OVPB_FIELD(SYSTEMTIME, wMinute, 10, 10, 10);
OVPB_FIELD(SYSTEMTIME, wSecond, 12, 12, 12);
OVPB_FIELD(SYSTEMTIME, wMilliseconds, 14, 14, 14);

// ---- OVFILEDATE ----
OVPB_SIZE(OVFILEDATE, 24, 24, 24);
OVPB_FIELD(OVFILEDATE, year, 0, 0, 0);
OVPB_FIELD(OVFILEDATE, month, 4, 4, 4);
OVPB_FIELD(OVFILEDATE, day, 8, 8, 8);
OVPB_FIELD(OVFILEDATE, hour, 12, 12, 12);
OVPB_FIELD(OVFILEDATE, minute, 16, 16, 16);
OVPB_FIELD(OVFILEDATE, second, 20, 20, 20);

// ---- struct _finddata64i32_t (64-bit times aligned to 8 on 32-bit Windows too) ----
OVPB_SIZE(struct _finddata64i32_t, 296, 296, 296);
OVPB_FIELD(struct _finddata64i32_t, attrib, 0, 0, 0);
OVPB_FIELD(struct _finddata64i32_t, time_create, 8, 8, 8);
OVPB_FIELD(struct _finddata64i32_t, time_access, 16, 16, 16);
OVPB_FIELD(struct _finddata64i32_t, time_write, 24, 24, 24);
OVPB_FIELD(struct _finddata64i32_t, size, 32, 32, 32);
OVPB_FIELD(struct _finddata64i32_t, name, 36, 36, 36);

// ---- WIN32_FIND_DATAA ----
OVPB_SIZE(WIN32_FIND_DATAA, 320, 320, 320);
OVPB_FIELD(WIN32_FIND_DATAA, dwFileAttributes, 0, 0, 0);
OVPB_FIELD(WIN32_FIND_DATAA, ftCreationTime, 4, 4, 4);
OVPB_FIELD(WIN32_FIND_DATAA, ftLastAccessTime, 12, 12, 12);
OVPB_FIELD(WIN32_FIND_DATAA, ftLastWriteTime, 20, 20, 20);
OVPB_FIELD(WIN32_FIND_DATAA, nFileSizeHigh, 28, 28, 28);
OVPB_FIELD(WIN32_FIND_DATAA, nFileSizeLow, 32, 32, 32);
OVPB_FIELD(WIN32_FIND_DATAA, dwReserved0, 36, 36, 36);
OVPB_FIELD(WIN32_FIND_DATAA, dwReserved1, 40, 40, 40);
OVPB_FIELD(WIN32_FIND_DATAA, cFileName, 44, 44, 44);
OVPB_FIELD(WIN32_FIND_DATAA, cAlternateFileName, 304, 304, 304);

// ---- WIN32_FIND_DATAW ----
OVPB_SIZE(WIN32_FIND_DATAW, 592, 592, 592);
OVPB_FIELD(WIN32_FIND_DATAW, dwFileAttributes, 0, 0, 0);
OVPB_FIELD(WIN32_FIND_DATAW, ftCreationTime, 4, 4, 4);
OVPB_FIELD(WIN32_FIND_DATAW, ftLastAccessTime, 12, 12, 12);
OVPB_FIELD(WIN32_FIND_DATAW, ftLastWriteTime, 20, 20, 20);
OVPB_FIELD(WIN32_FIND_DATAW, nFileSizeHigh, 28, 28, 28);
OVPB_FIELD(WIN32_FIND_DATAW, nFileSizeLow, 32, 32, 32);
OVPB_FIELD(WIN32_FIND_DATAW, dwReserved0, 36, 36, 36);
OVPB_FIELD(WIN32_FIND_DATAW, dwReserved1, 40, 40, 40);
OVPB_FIELD(WIN32_FIND_DATAW, cFileName, 44, 44, 44);
OVPB_FIELD(WIN32_FIND_DATAW, cAlternateFileName, 564, 564, 564);

// ---- SHFILEOPSTRUCTA (packed to 1 byte by the 32-bit Windows headers) ----
OVPB_SIZE(SHFILEOPSTRUCTA, 30, 56, 56);
OVPB_FIELD(SHFILEOPSTRUCTA, hwnd, 0, 0, 0);
OVPB_FIELD(SHFILEOPSTRUCTA, wFunc, 4, 8, 8);
OVPB_FIELD(SHFILEOPSTRUCTA, pFrom, 8, 16, 16);
OVPB_FIELD(SHFILEOPSTRUCTA, pTo, 12, 24, 24);
OVPB_FIELD(SHFILEOPSTRUCTA, fFlags, 16, 32, 32);
OVPB_FIELD(SHFILEOPSTRUCTA, fAnyOperationsAborted, 18, 36, 36);
OVPB_FIELD(SHFILEOPSTRUCTA, hNameMappings, 22, 40, 40);
OVPB_FIELD(SHFILEOPSTRUCTA, lpszProgressTitle, 26, 48, 48);

// ---- LARGE_INTEGER, ULARGE_INTEGER (IStream's positions) ----
OVPB_SIZE(LARGE_INTEGER, 8, 8, 8);
OVPB_FIELD(LARGE_INTEGER, QuadPart, 0, 0, 0);
OVPB_SIZE(ULARGE_INTEGER, 8, 8, 8);
OVPB_FIELD(ULARGE_INTEGER, QuadPart, 0, 0, 0);

// ---- STATSTG (IStream::Stat) ----
OVPB_SIZE(STATSTG, 72, 80, 80);
OVPB_FIELD(STATSTG, pwcsName, 0, 0, 0);
OVPB_FIELD(STATSTG, type, 4, 8, 8);
OVPB_FIELD(STATSTG, cbSize, 8, 16, 16);
OVPB_FIELD(STATSTG, mtime, 16, 24, 24);
OVPB_FIELD(STATSTG, ctime, 24, 32, 32);
OVPB_FIELD(STATSTG, atime, 32, 40, 40);
OVPB_FIELD(STATSTG, grfMode, 40, 48, 48);
OVPB_FIELD(STATSTG, grfLocksSupported, 44, 52, 52);
OVPB_FIELD(STATSTG, clsid, 48, 56, 56);
OVPB_FIELD(STATSTG, grfStateBits, 64, 72, 72);
OVPB_FIELD(STATSTG, reserved, 68, 76, 76);
