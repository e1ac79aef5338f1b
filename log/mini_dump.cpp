// A memory dump of the running process on request: written only while
// "GenerateMiniDump" has a value, by the debugging library's dump writer,
// to a file in the root of drive C: named by the UTC time. Every failure
// ends the call silently.

#include <cstdio>
#include <cstring>

#include "frame/config.h"
#include "ovpb32.h"
#include "platform/clock.h"
#include "platform/debug_help.h"
#include "platform/files.h"
#include "platform/library.h"

namespace logging {
namespace {

bool MiniDumpSwitchedOn() {
  char value[MAX_PATH];
  frame::ReadConfigTextA(frame::ConfigKey::GenerateMiniDump, value, sizeof value);
  return value[0] != '\0';
}

void MakeDumpFileName(char* name, size_t size) {
  SYSTEMTIME now;
  platform::GetSystemTime(&now);
  std::snprintf(name, size, "c:\\orvanta_%04u%02u%02u%02u%02u%02u.dmp", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
}

// Names, creates and writes the dump file; a failed dump leaves none.
void WriteDumpFile(platform::MiniDumpWriteDumpFunction writeDump, const char* comment, BOOL fullMemory) {
  char name[MAX_PATH];
  MakeDumpFileName(name, sizeof name);
  HANDLE file = platform::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;

  MINIDUMP_USER_STREAM commentStream = {};
  MINIDUMP_USER_STREAM_INFORMATION streams = {};
  if (comment != nullptr) {
    commentStream.Type = platform::kCommentStreamA;
    commentStream.BufferSize = static_cast<ULONG>(std::strlen(comment));
    commentStream.Buffer = const_cast<char*>(comment);
    streams.UserStreamCount = 1;
    streams.UserStreamArray = &commentStream;
  }
  const DWORD type = fullMemory ? platform::kMiniDumpWithFullMemory | platform::kMiniDumpWithHandleData
                                : platform::kMiniDumpWithHandleData | platform::kMiniDumpScanMemory |
                                      platform::kMiniDumpWithIndirectlyReferencedMemory;
  HANDLE process = platform::GetCurrentProcess();
  const BOOL written = writeDump(process, OVGetProcessId(process), file, static_cast<MINIDUMP_TYPE>(type), nullptr,
                                 comment != nullptr ? &streams : nullptr, nullptr);
  platform::CloseHandle(file);
  if (!written) platform::DeleteFileA(name);
}

}  // namespace
}  // namespace logging

extern "C" void OVPB_API OvSaveMiniDump(const char* comment, BOOL fullMemory) {
  if (!logging::MiniDumpSwitchedOn()) return;
  HMODULE debugHelp = platform::LoadLibraryA("dbghelp.dll");
  if (debugHelp == nullptr) return;
  if (auto writeDump = platform::GetProcAddressAs<platform::MiniDumpWriteDumpFunction>(debugHelp, "MiniDumpWriteDump")) {
    logging::WriteDumpFile(writeDump, comment, fullMemory);
  }
  platform::FreeLibrary(debugHelp);
}
