// Shell services: special folders, starting documents and programs, and
// asking which command opens a type of file.
#pragma once

#include <atomic>

#include "platform/types.h"

#ifdef _WIN32
#include <shlobj.h>  // the CSIDL folder numbers
#include <shlwapi.h>  // IQueryAssociations
#else
typedef DWORD ASSOCF;
typedef int ASSOCSTR;

// The association query object, as the shell declares it.
struct IQueryAssociations : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Init(ASSOCF flags, const WCHAR* association, void* programKey, HWND window) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetString(ASSOCF flags, ASSOCSTR what, const WCHAR* extra, WCHAR* out,
                                              DWORD* outSize) = 0;
};
#endif

namespace platform {

// The folder's path into `path` (room for MAX_PATH). Without `create`, a
// folder that does not exist fails.
BOOL SHGetSpecialFolderPathA(HWND owner, char* path, int folder, BOOL create);

// Above 32 when started; otherwise an error code (2 file, 3 path, 5 access,
// 31 no application for the type).
HINSTANCE ShellExecuteA(HWND window, const char* verb, const char* file, const char* parameters,
                        const char* directory, int show);
HINSTANCE ShellExecuteW(HWND window, const WCHAR* verb, const WCHAR* file, const WCHAR* parameters,
                        const WCHAR* directory, int show);

// The association query object (CLSID_QueryAssociations, IID_IQueryAssociations).
HRESULT AssocCreate(const CLSID& classId, const IID& interfaceId, void** object);
const CLSID& QueryAssociationsClass();
const IID& QueryAssociationsInterface();

// The extension's period in `path`'s last component, or its terminator.
WCHAR* PathFindExtensionW(const WCHAR* path);

// A test seam over ShellExecute, on both platforms: it sees every call in
// wide text (the narrow form converted) and may keep it from starting
// anything, in which case the call answers 42.
class ShellSeam {
 public:
  virtual ~ShellSeam() = default;
  virtual bool OnExecute(const WCHAR* verb, const WCHAR* file, const WCHAR* parameters, const WCHAR* directory) {
    return true;
  }
};

inline std::atomic<ShellSeam*>& ActiveShellSeam() {
  static std::atomic<ShellSeam*> seam{nullptr};
  return seam;
}

}  // namespace platform
