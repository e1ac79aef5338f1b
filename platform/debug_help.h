// The debugging library's dump writer, looked up by name in "dbghelp.dll":
// its argument records and signature. Windows gives them in <dbghelp.h>;
// the POSIX layer lays them out the same way (packed to 4, as there).
#pragma once

#include <stdint.h>

#include "platform/types.h"

#ifdef _WIN32
#include <dbghelp.h>
#else
#pragma pack(push, 4)
typedef struct _MINIDUMP_USER_STREAM {
  uint32_t Type;
  ULONG BufferSize;
  void* Buffer;
} MINIDUMP_USER_STREAM;

typedef struct _MINIDUMP_USER_STREAM_INFORMATION {
  ULONG UserStreamCount;
  MINIDUMP_USER_STREAM* UserStreamArray;
} MINIDUMP_USER_STREAM_INFORMATION;

typedef struct _MINIDUMP_EXCEPTION_INFORMATION {
  DWORD ThreadId;
  void* ExceptionPointers;
  BOOL ClientPointers;
} MINIDUMP_EXCEPTION_INFORMATION;

typedef struct _MINIDUMP_CALLBACK_INFORMATION {
  void* CallbackRoutine;
  void* CallbackParam;
} MINIDUMP_CALLBACK_INFORMATION;
#pragma pack(pop)

typedef int MINIDUMP_TYPE;
#endif

namespace platform {

// Dump types the library asks for.
constexpr DWORD kMiniDumpWithFullMemory = 0x2;
constexpr DWORD kMiniDumpWithHandleData = 0x4;
constexpr DWORD kMiniDumpScanMemory = 0x10;
constexpr DWORD kMiniDumpWithIndirectlyReferencedMemory = 0x40;
// The stream type of a narrow comment.
constexpr uint32_t kCommentStreamA = 10;

typedef BOOL(WINAPI* MiniDumpWriteDumpFunction)(HANDLE process, DWORD processId, HANDLE file, MINIDUMP_TYPE type,
                                                MINIDUMP_EXCEPTION_INFORMATION* exception,
                                                MINIDUMP_USER_STREAM_INFORMATION* userStreams,
                                                MINIDUMP_CALLBACK_INFORMATION* callback);

}  // namespace platform
