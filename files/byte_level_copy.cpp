// ByteLevelFileCopy: the new content is written beside the destination under
// a temporary name and only renamed into place once it is complete, so a
// failure or a crash leaves the old destination whole.

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "encoding/encoding.h"
#include "files/paths.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "platform/guid.h"
#include "platform/system.h"

namespace files {
namespace {

constexpr int kCopied = 1;
constexpr int kFailed = -1;
constexpr const char* kComponent = "ByteLevelFileCopy";
constexpr int kLogLevel = 1;
constexpr DWORD kBlockSize = 0x100000;
constexpr size_t kGuidTextLength = 22;
// Drive and directory that, with a GUID text, reach this length are refused
// before anything is made or logged; shorter ones may still leave no room
// for the extension, which the join then reports.
constexpr size_t kFolderLimit = 258;
constexpr const char* kTemporaryExtension = "blcpy";

// The call's four paths, each in a zeroed buffer of MAX_PATH bytes.
struct CopyPaths {
  char source[MAX_PATH] = {};
  char dest[MAX_PATH] = {};
  char newDest[MAX_PATH] = {};
  char destRenamed[MAX_PATH] = {};
};

// False when text is null or does not fit a MAX_PATH buffer.
bool TakePath(char (&buffer)[MAX_PATH], const char* text) {
  if (text == nullptr || std::strlen(text) >= MAX_PATH) return false;
  std::strcpy(buffer, text);
  return true;
}

// A fresh GUID's text; the empty text when the system gives no GUID.
std::string FreshGuidText() {
  GUID guid = {};
  if (platform::CoCreateGuid(&guid) != S_OK) return std::string();
  return encoding::GuidText(guid);
}

// drive, then dir, stem and the temporary extension joined as the runtime's
// path maker joins them: a drive with no directory stays drive-relative.
bool TemporaryName(char (&out)[MAX_PATH], const NarrowPathParts& parts, const std::string& stem) {
  size_t driveLength = std::strlen(parts.drive);
  std::memcpy(out, parts.drive, driveLength + 1);
  return JoinPath(out + driveLength, MAX_PATH - driveLength, parts.dir, stem.c_str(), kTemporaryExtension);
}

HANDLE OpenSource(const char* source) {
  HANDLE file = platform::CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return file;
  DWORD error = platform::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return INVALID_HANDLE_VALUE;
  // Another program may be writing the file: read it alongside that writer.
  return platform::CreateFileA(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Copies all of from into to in blocks; true when as many bytes went over
// as from held at the start.
bool CopyBlocks(HANDLE from, HANDLE to, char* buffer) {
  LARGE_INTEGER size;
  if (!platform::GetFileSizeEx(from, &size)) return false;
  platform::SetFilePointer(from, 0, nullptr, FILE_BEGIN);
  LONGLONG total = 0;
  DWORD read = 0;
  do {
    if (!platform::ReadFile(from, buffer, kBlockSize, &read, nullptr)) break;
    DWORD written = 0;
    if (!platform::WriteFile(to, buffer, read, &written, nullptr) || written < read) break;
    total += written;
  } while (read == kBlockSize);
  return total == size.QuadPart;
}

bool CopyBytes(const char* source, const char* newDest) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kBlockSize]());
  if (!buffer) return false;
  HANDLE from = OpenSource(source);
  if (from == INVALID_HANDLE_VALUE) return false;
  HANDLE to = platform::CreateFileA(newDest, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
  bool complete = to != INVALID_HANDLE_VALUE && CopyBlocks(from, to, buffer.get());
  platform::CloseHandle(from);
  if (to != INVALID_HANDLE_VALUE) {
    platform::CloseHandle(to);
    if (!complete) platform::DeleteFileA(newDest);
  }
  return complete;
}

unsigned LastError() { return static_cast<unsigned>(platform::GetLastError()); }

int CopyThroughTemporaries(CopyPaths& paths) {
  bool destExisted = file_exist_actuala(paths.dest) != 0;
  NarrowPathParts parts;
  if (!SplitPath(paths.dest, &parts)) return kFailed;
  if (std::strlen(parts.drive) + std::strlen(parts.dir) + kGuidTextLength >= kFolderLimit) return kFailed;

  std::string stem = FreshGuidText();
  if (!TemporaryName(paths.newDest, parts, stem)) {
    OVWriteLogA(kComponent, kLogLevel,
                "Failed to create a temp destination file name '%s.blcpy' on drive '%s', in directory = '%s'.",
                stem.c_str(), parts.drive, parts.dir);
    return kFailed;
  }
  stem = FreshGuidText();
  if (!TemporaryName(paths.destRenamed, parts, stem)) {
    OVWriteLogA(kComponent, kLogLevel,
                "Failed to create a temp renamed destination file name '%s.blcpy' on drive '%s', in directory = '%s'.",
                stem.c_str(), parts.drive, parts.dir);
    return kFailed;
  }

  if (!CopyBytes(paths.source, paths.newDest)) {
    OVWriteLogA(kComponent, kLogLevel, "Failed to copy from source to NewDest! source = '%s', NewDest = '%s'.",
                paths.source, paths.newDest);
    return kFailed;
  }
  if (destExisted && !platform::MoveFileA(paths.dest, paths.destRenamed)) {
    OVWriteLogA(kComponent, kLogLevel, "Failed to rename dest file! dest = '%s', DestRenamed = '%s', error = %u.",
                paths.dest, paths.destRenamed, LastError());
    platform::DeleteFileA(paths.newDest);
    return kFailed;
  }
  if (!platform::MoveFileA(paths.newDest, paths.dest)) {
    OVWriteLogA(kComponent, kLogLevel, "Failed to rename NewDest to dest! NewDest = '%s', dest = '%s', error = %u.",
                paths.newDest, paths.dest, LastError());
    platform::DeleteFileA(paths.newDest);
    if (destExisted) platform::MoveFileA(paths.destRenamed, paths.dest);
    return kFailed;
  }
  if (destExisted) platform::DeleteFileA(paths.destRenamed);
  return kCopied;
}

}  // namespace
}  // namespace files

extern "C" int OVPB_API ByteLevelFileCopy(const char* source, const char* dest) {
  files::CopyPaths paths;
  if (!files::TakePath(paths.source, source) || !files::TakePath(paths.dest, dest)) return -1;
  try {
    return files::CopyThroughTemporaries(paths);
  } catch (const std::bad_alloc&) {  // a GUID text's allocation
    return -1;
  }
}
