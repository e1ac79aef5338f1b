#include "platform/shell.h"

#include "platform/common/ansi_text.h"

namespace platform {
namespace {

const CLSID kQueryAssociationsClass = {0xa07034fd, 0x6caa, 0x4954, {0xac, 0x3f, 0x97, 0xa2, 0x72, 0x16, 0xf9, 0x8a}};
const IID kQueryAssociationsInterface = {0xc46ca590, 0x3c3f, 0x11d2, {0xbe, 0xe6, 0x00, 0x00, 0xf8, 0x05, 0xca, 0x57}};

const WCHAR* OrNull(const char* narrow, const WideString& wide) { return narrow == nullptr ? nullptr : wide.c_str(); }

}  // namespace

HINSTANCE ShellExecuteA(HWND window, const char* verb, const char* file, const char* parameters,
                        const char* directory, int show) {
  if (ShellSeam* seam = ActiveShellSeam().load()) {
    WideString v = WidenAnsi(verb), f = WidenAnsi(file), p = WidenAnsi(parameters), d = WidenAnsi(directory);
    if (!seam->OnExecute(OrNull(verb, v), OrNull(file, f), OrNull(parameters, p), OrNull(directory, d))) {
      return reinterpret_cast<HINSTANCE>(42);
    }
  }
  return ::ShellExecuteA(window, verb, file, parameters, directory, show);
}

HINSTANCE ShellExecuteW(HWND window, const WCHAR* verb, const WCHAR* file, const WCHAR* parameters,
                        const WCHAR* directory, int show) {
  ShellSeam* seam = ActiveShellSeam().load();
  if (seam != nullptr && !seam->OnExecute(verb, file, parameters, directory)) return reinterpret_cast<HINSTANCE>(42);
  return ::ShellExecuteW(window, verb, file, parameters, directory, show);
}

HRESULT AssocCreate(const CLSID& classId, const IID& interfaceId, void** object) {
  return ::AssocCreate(classId, interfaceId, object);
}

const CLSID& QueryAssociationsClass() { return kQueryAssociationsClass; }
const IID& QueryAssociationsInterface() { return kQueryAssociationsInterface; }

WCHAR* PathFindExtensionW(const WCHAR* path) { return ::PathFindExtensionW(path); }

}  // namespace platform
