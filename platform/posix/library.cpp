#include "platform/library.h"

#include <strings.h>

#include <cstring>
#include <string>

#include "platform/posix/system_libraries.h"
#include "platform/system.h"

namespace platform {
namespace {

using posix::SystemLibrary;

// Windows finds a library by its file's name: the folders of a path do not
// take part, and a name without an extension gets ".dll".
std::string LibraryFileName(const char* name) {
  const char* base = name;
  for (const char* at = name; *at != 0; ++at) {
    if (*at == '\\' || *at == '/') base = at + 1;
  }
  std::string fileName(base);
  if (fileName.find('.') == std::string::npos) fileName += ".dll";
  return fileName;
}

const SystemLibrary* FindLibrary(const char* name) {
  if (name == nullptr) return nullptr;
  std::string fileName = LibraryFileName(name);
  size_t count = 0;
  const SystemLibrary* libraries = posix::SystemLibraries(&count);
  for (size_t i = 0; i < count; ++i) {
    if (strcasecmp(libraries[i].fileName, fileName.c_str()) == 0) return &libraries[i];
  }
  return nullptr;
}

const SystemLibrary* LibraryOf(HMODULE module) {
  size_t count = 0;
  const SystemLibrary* libraries = posix::SystemLibraries(&count);
  for (size_t i = 0; i < count; ++i) {
    if (module == reinterpret_cast<HMODULE>(const_cast<SystemLibrary*>(&libraries[i]))) return &libraries[i];
  }
  return nullptr;
}

HMODULE ModuleHandleOf(const SystemLibrary* library) {
  if (library == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
  return reinterpret_cast<HMODULE>(const_cast<SystemLibrary*>(library));
}

}  // namespace

// The layer's libraries are part of it: always loaded, so no reference is
// counted and freeing one leaves it usable.
HMODULE LoadLibraryA(const char* fileName) {
  LibrarySeam* seam = ActiveLibrarySeam().load();
  if (seam != nullptr && !seam->OnLoad(fileName)) return ModuleHandleOf(nullptr);
  return ModuleHandleOf(FindLibrary(fileName));
}

HMODULE GetModuleHandleA(const char* moduleName) { return ModuleHandleOf(FindLibrary(moduleName)); }

ProcAddress GetProcAddress(HMODULE module, const char* procName) {
  const SystemLibrary* library = LibraryOf(module);
  if (library == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ProcAddress found = nullptr;
  for (size_t i = 0; procName != nullptr && i < library->procCount; ++i) {
    if (std::strcmp(library->procs[i].name, procName) == 0) found = library->procs[i].address;
  }
  if (LibrarySeam* seam = ActiveLibrarySeam().load()) found = seam->OnLookup(procName, found);
  if (found == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
  return found;
}

BOOL FreeLibrary(HMODULE module) {
  if (LibrarySeam* seam = ActiveLibrarySeam().load()) seam->OnFree(module);
  if (LibraryOf(module) != nullptr) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

}  // namespace platform
