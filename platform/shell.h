// Shell services: special folders.
#pragma once

#include "platform/types.h"

#ifdef _WIN32
#include <shlobj.h>  // the CSIDL folder numbers
#endif

namespace platform {

// The folder's path into `path` (room for MAX_PATH). Without `create`, a
// folder that does not exist fails.
BOOL SHGetSpecialFolderPathA(HWND owner, char* path, int folder, BOOL create);

}  // namespace platform
