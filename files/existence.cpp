// File existence: the disk test (a directory search for the name), the host
// hooks that may vouch for a name first, a test that gives up after five
// seconds, the directory-aware tests, exclusive access and file times.

#include <atomic>
#include <cstring>
#include <new>

#include "files/existence.h"
#include "files/paths.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/wide.h"

namespace files {
namespace {

// The host hooks, set once at start-up; atomics only so that a late setter
// is no data race.
struct Hooks {
  std::atomic<FileExistsFunction> fileExists{nullptr};
  std::atomic<AlternatePathFunction> alternatePath{nullptr};
  std::atomic<StreamFromFileFunction> streamFromFile{nullptr};
};
Hooks hooks;

// How long file_exist_actual_with_timeout waits for its worker, and how
// often it looks.
constexpr DWORD kExistenceTimeoutMs = 5000;
constexpr DWORD kExistencePollMs = 500;

std::atomic<ExistenceSearchDelay> searchDelay{nullptr};
std::atomic<int> liveRequests{0};

// Held by a caller and its worker; whichever lets go last frees it, so a
// worker that outlives the call still writes into live memory.
struct ExistenceRequest {
  ExistenceRequest() { liveRequests.fetch_add(1); }
  ~ExistenceRequest() { liveRequests.fetch_sub(1); }
  ExistenceRequest(const ExistenceRequest&) = delete;
  ExistenceRequest& operator=(const ExistenceRequest&) = delete;

  std::atomic<int> holders{2};
  std::atomic<int> done{0};
  char path[MAX_PATH] = {};
  int result = 0;
};

void Release(ExistenceRequest* request) {
  if (request->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) delete request;
}

DWORD WINAPI RunExistenceWorker(void* context) {
  auto* request = static_cast<ExistenceRequest*>(context);
  if (ExistenceSearchDelay delay = searchDelay.load()) delay(request->path);
  request->result = file_exist_actuala(request->path);
  request->done.store(1, std::memory_order_release);
  Release(request);
  return 0;
}

// A search for the name, closed at once: what every existence test asks.
template <typename Char, typename FindData>
bool SearchFinds(const Char* pattern, HANDLE (*findFirst)(const Char*, FindData*)) {
  FindData found;
  HANDLE search = findFirst(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  platform::FindClose(search);
  return true;
}

bool SearchFinds(const char* pattern) { return platform::SearchFindsA(pattern) != FALSE; }
bool SearchFinds(const WCHAR* pattern) { return SearchFinds(pattern, &platform::FindFirstFileW); }

template <typename Char>
int ExistsOnDisk(const Char* path) {
  if (path == nullptr || path[0] == 0) return 0;
  FileSystemPath<Char> name(path);
  return SearchFinds(name.get()) ? 1 : 0;
}

void StoreFileDate(const FILETIME& time, OVFILEDATE* record) {
  if (record == nullptr) return;
  SYSTEMTIME calendar = {};
  platform::FileTimeToSystemTime(&time, &calendar);
  *record = OVFILEDATE{calendar.wYear, calendar.wMonth, calendar.wDay, calendar.wHour, calendar.wMinute,
                       calendar.wSecond};
}

// The directory part of path, with a backslash, searched for anything in it:
// 0 when it cannot be searched, 1 when path named that directory, else 2.
// A path too long for the split has no directory this search could hold.
int ExistenceOfDirectoryPart(const char* path) {
  if (std::strlen(path) >= MAX_PATH) return 0;
  char pattern[MAX_PATH + 2];
  SplitPathA(path, pattern, nullptr, nullptr);
  if (pattern[0] == 0) return 2;
  size_t length = std::strlen(pattern);
  if (pattern[length - 1] != '\\') pattern[length++] = '\\';
  pattern[length] = 0;
  bool namesTheDirectory = std::strcmp(pattern, path) == 0;
  pattern[length] = '*';
  pattern[length + 1] = 0;
  if (!SearchFinds(pattern)) return 0;
  return namesTheDirectory ? 1 : 2;
}

template <typename Char>
HANDLE CreateWithLongPath(const Char* path, HANDLE (*create)(const Char*, DWORD, DWORD, void*, DWORD, DWORD, HANDLE),
                          DWORD access, DWORD shareMode, void* security, DWORD disposition, DWORD flags,
                          HANDLE templateFile) {
  if (path == nullptr) {
    platform::SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  FileSystemPath<Char> name(path);
  return create(name.get(), access, shareMode, security, disposition, flags, templateFile);
}

}  // namespace

bool HookVouchesFor(const char* path) {
  FileExistsFunction hook = hooks.fileExists.load(std::memory_order_relaxed);
  return hook != nullptr && hook(path) != 0;
}

void SetExistenceSearchDelayForTesting(ExistenceSearchDelay delay) { searchDelay.store(delay); }

int LiveExistenceRequests() { return liveRequests.load(); }

}  // namespace files

// ---- Hooks -------------------------------------------------------------------

extern "C" void OVPB_API SetFileExistsFunction(FileExistsFunction hook) { files::hooks.fileExists.store(hook); }

extern "C" void OVPB_API SetAlternatePathFunction(AlternatePathFunction hook) {
  files::hooks.alternatePath.store(hook);
}

extern "C" void OVPB_API SetStreamFromFileFunction(StreamFromFileFunction hook) {
  files::hooks.streamFromFile.store(hook);
}

extern "C" int OVPB_API stream_from_file(void* value1, void* value2) {
  StreamFromFileFunction hook = files::hooks.streamFromFile.load(std::memory_order_relaxed);
  return hook != nullptr && hook(value1, value2) != 0 ? 1 : 0;
}

extern "C" int OVPB_API alternate_path(const WCHAR* path, WCHAR* out) {
  AlternatePathFunction hook = files::hooks.alternatePath.load(std::memory_order_relaxed);
  if (hook != nullptr && hook(path, out) != 0) return 1;
  if (path != nullptr && out != nullptr) std::memmove(out, path, (WideLength(path) + 1) * sizeof(WCHAR));
  return 0;
}

// ---- Existence -----------------------------------------------------------------

extern "C" int OVPB_API file_exist_actuala(const char* path) { return files::ExistsOnDisk(path); }

extern "C" int OVPB_API file_exist_actualw(const WCHAR* path) { return files::ExistsOnDisk(path); }

extern "C" int OVPB_API file_exist(const char* path) {
  if (path == nullptr) return 0;
  return files::HookVouchesFor(path) ? 1 : file_exist_actuala(path);
}

// The hook takes narrow text: the path is converted as li_wcstombs converts,
// cut to what a path buffer holds.
extern "C" int OVPB_API file_existw(const WCHAR* path) {
  if (path == nullptr) return 0;
  if (files::hooks.fileExists.load(std::memory_order_relaxed) != nullptr) {
    char narrow[MAX_PATH] = {};
    li_wcstombs(narrow, path, MAX_PATH - 1);
    if (files::HookVouchesFor(narrow)) return 1;
  }
  return file_exist_actualw(path);
}

// The search runs on a worker of its own, since on an unreachable share it
// can block for minutes; a worker still searching at the time-out is left
// to finish on its own. The worker is the system's, not the C++ runtime's:
// under emulation a runtime thread sometimes never starts.
extern "C" int OVPB_API file_exist_actual_with_timeout(const char* path) {
  if (path == nullptr || path[0] == 0) return 0;
  auto* request = new (std::nothrow) files::ExistenceRequest;
  if (request == nullptr) return 0;
  std::strncpy(request->path, path, MAX_PATH - 1);
  if (!platform::QueueUserWorkItem(files::RunExistenceWorker, request, WT_EXECUTELONGFUNCTION)) {
    delete request;
    return 0;
  }
  const DWORD start = platform::GetTickCount();
  while (request->done.load(std::memory_order_acquire) == 0) {
    if (platform::GetTickCount() - start >= files::kExistenceTimeoutMs) break;
    platform::Sleep(files::kExistencePollMs);
  }
  const int result = request->done.load(std::memory_order_acquire) != 0 ? request->result : 0;
  files::Release(request);
  return result;
}

extern "C" int OVPB_API file_exist_with_timeout(const char* path) {
  if (path == nullptr) return 0;
  return files::HookVouchesFor(path) ? 1 : file_exist_actual_with_timeout(path);
}

extern "C" int OVPB_API file_test_exclusive(const char* path) {
  if (path == nullptr) return 0;
  if (!files::HookVouchesFor(path) && !file_exist_actuala(path)) return 0;
  HANDLE file = platform::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return static_cast<int>(platform::GetLastError());
  if (!platform::CloseHandle(file)) return static_cast<int>(platform::GetLastError());
  return 0;
}

extern "C" int OVPB_API file_date(const char* path, OVFILEDATE* created, OVFILEDATE* accessed,
                                  OVFILEDATE* written) {
  WIN32_FIND_DATAA found;
  HANDLE search = path != nullptr ? platform::FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
  if (search == INVALID_HANDLE_VALUE) {
    for (OVFILEDATE* record : {created, accessed, written}) {
      if (record != nullptr) *record = OVFILEDATE{};
    }
    return 0;
  }
  files::StoreFileDate(found.ftCreationTime, created);
  files::StoreFileDate(found.ftLastAccessTime, accessed);
  files::StoreFileDate(found.ftLastWriteTime, written);
  platform::FindClose(search);
  return 1;
}

extern "C" int OVPB_API OVFileExists(const char* path) {
  if (path == nullptr || path[0] == 0) return 2;
  return files::HookVouchesFor(path) || file_exist_actuala(path) ? 1 : 2;
}

extern "C" int OVPB_API OVFileDirectoryExists(const char* path) {
  if (path == nullptr || path[0] == 0) return 2;
  if (files::HookVouchesFor(path) || file_exist_actuala(path)) return 1;
  return files::ExistenceOfDirectoryPart(path);
}

extern "C" int OVPB_API NewFileExistsEx(const char* path) {
  int existence = OVFileDirectoryExists(path);
  if (existence != 1) return existence;
  DWORD attributes = platform::GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 3 : 1;
}

extern "C" HANDLE OVPB_API OVCreateFile(const char* path, DWORD access, DWORD share_mode, void* security,
                                        DWORD disposition, DWORD flags_and_attributes, HANDLE template_file) {
  return files::CreateWithLongPath(path, &platform::CreateFileA, access, share_mode, security, disposition,
                                   flags_and_attributes, template_file);
}

extern "C" HANDLE OVPB_API OVCreateFileW(const WCHAR* path, DWORD access, DWORD share_mode, void* security,
                                         DWORD disposition, DWORD flags_and_attributes, HANDLE template_file) {
  return files::CreateWithLongPath(path, &platform::CreateFileW, access, share_mode, security, disposition,
                                   flags_and_attributes, template_file);
}
