// Functions of the system's libraries looked up by name at run time, as
// programs do with LoadLibrary and GetProcAddress, so that a missing library
// or function is a result rather than a failure to load. Windows answers
// with its own libraries; the POSIX layer answers for the Windows libraries
// it stands in for with functions of its own, by their Windows names.
#pragma once

#include <atomic>

#include "platform/types.h"

namespace platform {

typedef void (*ProcAddress)();

// Null with ERROR_MOD_NOT_FOUND (126) when there is no such library.
HMODULE LoadLibraryA(const char* fileName);
// A library already loaded, without taking a reference; null as above.
HMODULE GetModuleHandleA(const char* moduleName);
// Null with ERROR_PROC_NOT_FOUND (127) when the library has no such function.
ProcAddress GetProcAddress(HMODULE module, const char* procName);
BOOL FreeLibrary(HMODULE module);

// The address of a function looked up by name, as the caller's own type.
template <typename Function>
Function GetProcAddressAs(HMODULE module, const char* procName) {
  return reinterpret_cast<Function>(platform::GetProcAddress(module, procName));
}

// A test seam over the look-ups, on both platforms: it sees every load, look-up
// and release, and may refuse a load, hide a function (answer null) or stand
// another in for it.
class LibrarySeam {
 public:
  virtual ~LibrarySeam() = default;
  // False makes the load fail as if the library did not exist.
  virtual bool OnLoad(const char* fileName) { return true; }
  // What the caller gets for `procName`; `found` is the real answer (may be null).
  virtual ProcAddress OnLookup(const char* procName, ProcAddress found) { return found; }
  virtual void OnFree(HMODULE module) {}
};

// The seam in force; null (the default) for none. Tests set it and reset it.
inline std::atomic<LibrarySeam*>& ActiveLibrarySeam() {
  static std::atomic<LibrarySeam*> seam{nullptr};
  return seam;
}

}  // namespace platform
