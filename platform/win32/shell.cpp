#include "platform/shell.h"

#include <string>

namespace platform {
namespace {

const CLSID kQueryAssociationsClass = {0xa07034fd, 0x6caa, 0x4954, {0xac, 0x3f, 0x97, 0xa2, 0x72, 0x16, 0xf9, 0x8a}};
const IID kQueryAssociationsInterface = {0xc46ca590, 0x3c3f, 0x11d2, {0xbe, 0xe6, 0x00, 0x00, 0xf8, 0x05, 0xca, 0x57}};

std::wstring Widen(const char* text) {
  if (text == nullptr) return std::wstring();
  int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring wide(length > 0 ? length : 1, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
  wide.resize(wide.size() - 1);
  return wide;
}

const WCHAR* OrNull(const char* narrow, const std::wstring& wide) { return narrow == nullptr ? nullptr : wide.c_str(); }

}  // namespace

HINSTANCE ShellExecuteA(HWND window, const char* verb, const char* file, const char* parameters,
                        const char* directory, int show) {
  if (ShellSeam* seam = ActiveShellSeam().load()) {
    std::wstring v = Widen(verb), f = Widen(file), p = Widen(parameters), d = Widen(directory);
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
