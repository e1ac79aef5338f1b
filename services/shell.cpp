// Starting a document through the shell, with "open" passed on only when
// the file's type has an open command (else the type's default verb).

#include <cstring>
#include <memory>
#include <new>

#include "frame/module.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "platform/shell.h"
#include "platform/wide.h"

namespace services {
namespace {

const WCHAR kOpen[] = OV_WIDE("open");

// 1 when the shell should be given "open", 0 when the default verb.
int HasOpenCommand(const WCHAR* file) {
  if (file == nullptr) return 1;
  const WCHAR* extension = platform::PathFindExtensionW(file);
  IQueryAssociations* query = nullptr;
  if (FAILED(platform::AssocCreate(platform::QueryAssociationsClass(), platform::QueryAssociationsInterface(),
                                   reinterpret_cast<void**>(&query))) ||
      query == nullptr) {
    return 0;
  }
  int hasCommand = 1;
  if (SUCCEEDED(query->Init(static_cast<ASSOCF>(0), extension, nullptr, nullptr))) {
    hasCommand = 0;
    DWORD length = 0;
    const ASSOCSTR command = static_cast<ASSOCSTR>(ASSOCSTR_COMMAND);
    if (query->GetString(static_cast<ASSOCF>(0), command, kOpen, nullptr, &length) == S_FALSE && length != 0) {
      std::unique_ptr<WCHAR[]> buffer(new (std::nothrow) WCHAR[length]);
      hasCommand = buffer != nullptr &&
                   query->GetString(static_cast<ASSOCF>(0), command, kOpen, buffer.get(), &length) == S_OK;
    }
  }
  query->Release();
  return hasCommand;
}

bool IsExactlyOpen(const char* verb) { return verb != nullptr && std::strcmp(verb, "open") == 0; }

bool IsExactlyOpen(const WCHAR* verb) {
  size_t i = 0;
  while (verb != nullptr && kOpen[i] != 0 && verb[i] == kOpen[i]) ++i;
  return verb != nullptr && kOpen[i] == 0 && verb[i] == 0;
}

// The narrow name in wide text through the conversion locale; null when it
// cannot be converted.
std::unique_ptr<WCHAR[]> WideFileName(const char* file) {
  if (file == nullptr) return nullptr;
  const size_t length = std::strlen(file);
  std::unique_ptr<WCHAR[]> wide(new (std::nothrow) WCHAR[length + 1]);
  if (wide == nullptr) return nullptr;
  if (platform::MbsToWcsL(wide.get(), file, length + 1, frame::ConversionLocale()) == static_cast<size_t>(-1)) {
    return nullptr;
  }
  wide[length] = 0;
  return wide;
}

}  // namespace
}  // namespace services

extern "C" HINSTANCE OVPB_API OVShellExecuteA(HWND window, const char* verb, const char* file, const char* parameters,
                                              const char* directory, int show) {
  if (services::IsExactlyOpen(verb)) {
    std::unique_ptr<WCHAR[]> wide = services::WideFileName(file);
    if (file != nullptr && wide == nullptr) return platform::ShellExecuteA(window, verb, file, parameters, directory, show);
    if (!services::HasOpenCommand(wide.get())) verb = nullptr;
  }
  return platform::ShellExecuteA(window, verb, file, parameters, directory, show);
}

extern "C" HINSTANCE OVPB_API OVShellExecuteW(HWND window, const WCHAR* verb, const WCHAR* file,
                                              const WCHAR* parameters, const WCHAR* directory, int show) {
  if (services::IsExactlyOpen(verb) && !services::HasOpenCommand(file)) verb = nullptr;
  return platform::ShellExecuteW(window, verb, file, parameters, directory, show);
}
