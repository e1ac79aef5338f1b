// The DLL's entry point: the loader hands the frame the module's handle and
// the moments of attach and detach.

#include "frame/module.h"
#include "platform/types.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH: frame::ProcessAttach(instance); break;
    case DLL_PROCESS_DETACH: frame::ProcessDetach(); break;
    default: break;  // thread attach and detach change nothing
  }
  return TRUE;
}
