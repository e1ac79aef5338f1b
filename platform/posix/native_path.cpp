#include "platform/posix/native_path.h"

#include <cstring>

#include "platform/codepage.h"

namespace platform {
namespace posix {
namespace {

std::string Utf8FromWide(const WideString& text) {
  if (text.empty()) return std::string();
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], length, nullptr,
                      nullptr);
  return out;
}

WideString WideFromCodePage(UINT codePage, const char* text, size_t size) {
  if (size == 0) return WideString();
  int length = MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), nullptr, 0);
  WideString out(static_cast<size_t>(length), 0);
  MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), &out[0], length);
  return out;
}

std::string WithSlashes(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

}  // namespace

WideString WideFromNarrow(const char* text) { return WideFromCodePage(CP_ACP, text, std::strlen(text)); }

std::string NarrowFromWide(const WideString& text) {
  if (text.empty()) return std::string();
  int length =
      WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], length, nullptr, nullptr);
  return out;
}

std::string NativePathFromWide(const WCHAR* path) { return WithSlashes(Utf8FromWide(WideString(path))); }

std::string NativePathFromNarrow(const char* path) {
  if (GetACP() == CP_UTF8) return WithSlashes(path);
  return WithSlashes(Utf8FromWide(WideFromNarrow(path)));
}

WideString WideFromNative(const std::string& native) {
  return WideFromCodePage(CP_UTF8, native.data(), native.size());
}

std::string NarrowFromNative(const std::string& native) {
  if (GetACP() == CP_UTF8) return native;
  return NarrowFromWide(WideFromNative(native));
}

}  // namespace posix
}  // namespace platform
