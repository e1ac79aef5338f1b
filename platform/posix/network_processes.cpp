// The process list of /proc, as psapi gives it.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cctype>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/network.h"
#include "platform/posix/network_processes.h"
#include "platform/system.h"

namespace platform {
namespace {

std::atomic<DWORD> process_listings{0};

// The one module a process is asked for: its executable, at Windows' usual
// image base.
HMODULE const kMainModule = reinterpret_cast<HMODULE>(0x400000);

std::string ProcFile(DWORD id, const char* name) { return "/proc/" + std::to_string(id) + "/" + name; }

// The kernel keeps 15 bytes of a name; a longer one is the executable's.
std::string BaseNameOf(DWORD id) {
  std::string name;
  std::ifstream comm(ProcFile(id, "comm"));
  if (!std::getline(comm, name)) return std::string();
  if (name.size() < 15) return name;
  char target[4096];
  ssize_t length = readlink(ProcFile(id, "exe").c_str(), target, sizeof target - 1);
  if (length <= 0) return name;
  std::string executable(target, static_cast<size_t>(length));
  executable = executable.substr(executable.rfind('/') + 1);
  return executable.compare(0, name.size(), name) == 0 ? executable : name;
}

}  // namespace

BOOL EnumProcesses(DWORD* ids, DWORD size, DWORD* needed) {
  ++process_listings;
  DIR* proc = opendir("/proc");
  if (proc == nullptr || needed == nullptr) {
    if (proc != nullptr) closedir(proc);
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD count = 0;
  while (dirent* entry = readdir(proc)) {
    if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) continue;
    if ((count + 1) * sizeof(DWORD) > size) break;
    ids[count++] = static_cast<DWORD>(std::strtoul(entry->d_name, nullptr, 10));
  }
  closedir(proc);
  *needed = count * static_cast<DWORD>(sizeof(DWORD));
  return TRUE;
}

DWORD ProcessListingsForTesting() { return process_listings.load(); }

// Without debug rights only the user's own processes open.
HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD id) {
  struct stat facts;
  if (id == 0 || stat(("/proc/" + std::to_string(id)).c_str(), &facts) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (facts.st_uid != geteuid()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return posix::AddHandle(std::make_shared<posix::ProcessObject>(id), access);
}

BOOL EnumProcessModules(HANDLE process, HMODULE* modules, DWORD size, DWORD* needed) {
  DWORD access = 0;
  auto object = posix::ObjectOf<posix::ProcessObject>(process, &access);
  if (!object) return FALSE;
  const DWORD kReading = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
  if ((access & kReading) != kReading || needed == nullptr) {
    SetLastError((access & kReading) != kReading ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (::access(ProcFile(object->id, "exe").c_str(), F_OK) != 0 && errno == ENOENT) {
    SetLastError(ERROR_PARTIAL_COPY);  // the process has ended
    return FALSE;
  }
  *needed = sizeof(HMODULE);
  if (modules != nullptr && size >= sizeof(HMODULE)) modules[0] = kMainModule;
  return TRUE;
}

DWORD GetModuleBaseNameA(HANDLE process, HMODULE module, char* name, DWORD size) {
  auto object = posix::ObjectOf<posix::ProcessObject>(process);
  if (!object || name == nullptr || size == 0) return 0;
  std::string base = BaseNameOf(object->id);
  if (base.empty()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  size_t length = std::min<size_t>(base.size(), size);
  std::memcpy(name, base.data(), length);
  if (length < size) name[length] = 0;
  return static_cast<DWORD>(length);
}

}  // namespace platform
