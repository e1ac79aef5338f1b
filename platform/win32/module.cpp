#include "platform/module.h"

namespace platform {

HMODULE ModuleFromAddress(const void* address) {
  MEMORY_BASIC_INFORMATION region;
  if (::VirtualQuery(address, &region, sizeof region) == 0) return nullptr;
  return static_cast<HMODULE>(region.AllocationBase);
}

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
  return ::GetModuleFileNameA(module, buffer, size);
}

DWORD GetModuleFileNameW(HMODULE module, WCHAR* buffer, DWORD size) {
  return ::GetModuleFileNameW(module, buffer, size);
}

}  // namespace platform
