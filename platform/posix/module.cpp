#include "platform/module.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/posix/native_path.h"
#include "platform/system.h"
#include "platform/wide.h"

namespace platform {
namespace {

struct ModuleSearch {
  uintptr_t address;
  bool found;
  std::string name;
};

bool ObjectContains(const dl_phdr_info* info, uintptr_t address) {
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD) continue;
    uintptr_t start = info->dlpi_addr + segment.p_vaddr;
    if (address >= start && address < start + segment.p_memsz) return true;
  }
  return false;
}

int VisitObject(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<ModuleSearch*>(data);
  if (!ObjectContains(info, search->address)) return 0;
  search->found = true;
  search->name = info->dlpi_name != nullptr ? info->dlpi_name : "";
  return 1;
}

// The main program's file, kept as Windows keeps it for the process's life
// (the log asks for it at every entry).
const std::string& ProgramFilePath() {
  static const std::string path = [] {
    char resolved[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
    return length > 0 ? std::string(resolved, static_cast<size_t>(length)) : std::string();
  }();
  return path;
}

// The absolute file name of the loaded object holding `address` (null: the
// main program). The main program reports an empty name, so its file comes
// from /proc.
std::string ModuleFilePath(const void* address) {
  ModuleSearch search{reinterpret_cast<uintptr_t>(address), address == nullptr, std::string()};
  if (address != nullptr) dl_iterate_phdr(VisitObject, &search);
  if (!search.found) return std::string();
  if (search.name.empty()) return ProgramFilePath();
  char resolved[PATH_MAX];
  if (realpath(search.name.c_str(), resolved) == nullptr) return search.name;
  return resolved;
}

template <typename Char>
DWORD CopyTruncated(const std::basic_string<Char>& text, Char* buffer, DWORD size) {
  if (size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (text.size() >= size) {
    std::memcpy(buffer, text.data(), (size - 1) * sizeof(Char));
    buffer[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(buffer, text.data(), text.size() * sizeof(Char));
  buffer[text.size()] = 0;
  return static_cast<DWORD>(text.size());
}

}  // namespace

HMODULE ModuleFromAddress(const void* address) {
  Dl_info info;
  if (dladdr(address, &info) == 0) return nullptr;
  return static_cast<HMODULE>(info.dli_fbase);
}

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
  std::string path = ModuleFilePath(module);
  if (path.empty()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return CopyTruncated(posix::NarrowFromNative(path), buffer, size);
}

DWORD GetModuleFileNameW(HMODULE module, WCHAR* buffer, DWORD size) {
  std::string path = ModuleFilePath(module);
  if (path.empty()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return CopyTruncated(posix::WideFromNative(path), buffer, size);
}

}  // namespace platform
