#include "platform/library.h"

namespace platform {

HMODULE LoadLibraryA(const char* fileName) {
  LibrarySeam* seam = ActiveLibrarySeam().load();
  if (seam != nullptr && !seam->OnLoad(fileName)) {
    ::SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return ::LoadLibraryA(fileName);
}

HMODULE GetModuleHandleA(const char* moduleName) { return ::GetModuleHandleA(moduleName); }

ProcAddress GetProcAddress(HMODULE module, const char* procName) {
  auto found = reinterpret_cast<ProcAddress>(::GetProcAddress(module, procName));
  LibrarySeam* seam = ActiveLibrarySeam().load();
  if (seam == nullptr) return found;
  ProcAddress answer = seam->OnLookup(procName, found);
  if (answer == nullptr) ::SetLastError(ERROR_PROC_NOT_FOUND);
  return answer;
}

BOOL FreeLibrary(HMODULE module) {
  if (LibrarySeam* seam = ActiveLibrarySeam().load()) seam->OnFree(module);
  return ::FreeLibrary(module);
}

}  // namespace platform
