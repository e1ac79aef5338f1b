// Deletes and moves that leave a trace: with "LogFileDeletes" on, each one
// first appends a line to the delete-event log in the user's local
// application-data folder. The operation happens whether or not the line
// could be written, and its result is returned unchanged.

#include <cstdio>
#include <cstring>

#include "frame/config.h"
#include "ovpb32.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace logging {
namespace {

constexpr char kDeleteLogName[] = "Orvanta\\OVDeleteFileEventLog.log";

bool DeleteLoggingOn() { return frame::ConfigInteger(frame::ConfigKey::LogFileDeletes) != 0; }

// "Www Mmm dd hh:mm:ss yyyy", or empty.
void LocalTimeText(char* text, size_t size) {
  int64_t now = platform::_time64(nullptr);
  if (platform::_ctime64_s(text, size, &now) != 0) {
    text[0] = '\0';
    return;
  }
  size_t length = std::strlen(text);
  if (length > 0 && text[length - 1] == '\n') text[length - 1] = '\0';
}

void AppendDeleteEntry(const char* file, const char* action, const char* origin, int originNumber) {
  char user[257] = {};
  DWORD userSize = sizeof user;
  if (!platform::GetUserNameA(user, &userSize)) user[0] = '\0';
  char computer[16] = {};
  DWORD computerSize = sizeof computer;
  if (!platform::GetComputerNameA(computer, &computerSize)) computer[0] = '\0';
  char time[49];
  LocalTimeText(time, sizeof time);

  char entry[2048];
  std::snprintf(entry, sizeof entry, "User %s %s file %s from %s (%d) on computer %s (time: %s).\r\n", user, action,
                file != nullptr ? file : "", origin != nullptr ? origin : "", originNumber, computer, time);

  char path[MAX_PATH + sizeof kDeleteLogName];
  if (!platform::SHGetSpecialFolderPathA(nullptr, path, CSIDL_LOCAL_APPDATA, FALSE)) return;
  needslsh(path);
  std::strcat(path, kDeleteLogName);
  DoWriteLog(path, entry, -1);
}

}  // namespace
}  // namespace logging

extern "C" void OVPB_API WriteDeleteLog(const char* file, const char* action, const char* origin, int originNumber) {
  if (!logging::DeleteLoggingOn()) return;
  logging::AppendDeleteEntry(file, action, origin, originNumber);
}

extern "C" BOOL OVPB_API OVDeleteFile(const char* file, const char* origin, int originNumber) {
  WriteDeleteLog(file, "deleted", origin, originNumber);
  return platform::DeleteFileA(file);
}

extern "C" BOOL OVPB_API OVMoveFile(const char* existing, const char* newName, const char* origin, int originNumber) {
  WriteDeleteLog(existing, "moved", origin, originNumber);
  return platform::MoveFileA(existing, newName);
}

extern "C" BOOL OVPB_API OVMoveFileEx(const char* existing, const char* newName, DWORD flags, const char* origin,
                                      int originNumber) {
  WriteDeleteLog(existing, "moved", origin, originNumber);
  return platform::MoveFileExA(existing, newName, flags);
}

extern "C" int OVPB_API OVSHFileOperation(SHFILEOPSTRUCTA* operation, const char* origin, int originNumber) {
  if (operation == nullptr) return ERROR_INVALID_PARAMETER;
  bool logged = (operation->wFunc == FO_DELETE || operation->wFunc == FO_MOVE) && operation->pFrom != nullptr;
  if (logged) {
    const char* action = operation->wFunc == FO_DELETE ? "deleted" : "moved";
    for (const char* name = operation->pFrom; *name != '\0'; name += std::strlen(name) + 1) {
      WriteDeleteLog(name, action, origin, originNumber);
    }
  }
  return platform::SHFileOperationA(operation);
}
