// The module frame: load and unload, the module-wide values made there, and
// the module directory with the configuration file in it.
#pragma once

#include "frame/recursive_lock.h"
#include "platform/codepage.h"
#include "platform/types.h"

namespace frame {

// The attach and detach steps; the entry points beside them call them.
void ProcessAttach(HMODULE instance);
void ProcessDetach();

HMODULE ModuleInstance();
DWORD MainThreadId();

// Nonzero when the system has a double-byte character set; selects the
// character-aware paths of the narrow string functions.
int DoubleByteFlag();

// The one module-wide lock, guarding the network names' one-entry caches.
RecursiveLock& ModuleLock();

// The LC_CTYPE locale of the system's ANSI code page, made before attach and
// released after detach; null if it could not be made.
platform::CtypeLocale* ConversionLocale();

// The directory of the library's own file, ending in a separator; empty if
// the file name could not be had.
const char* GetModuleDirectoryA();
const WCHAR* GetModuleDirectoryW();

// The configuration file "cv.ver" in the module directory.
const char* GetConfigFilePathA();
const WCHAR* GetConfigFilePathW();

// Test seam: pins the double-byte flag; returns the previous value.
int SetDoubleByteFlagForTesting(int flag);

}  // namespace frame
