#include "platform/common/ansi_text.h"

#include "platform/codepage.h"

namespace platform {

WideString WidenAnsi(const char* text) {
  if (text == nullptr) return WideString();
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 0) return WideString();
  WideString wide(static_cast<size_t>(length), 0);
  MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length) - 1);
  return wide;
}

std::string NarrowAnsi(const WideString& text) {
  if (text.empty()) return std::string();
  const int units = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), units, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), units, &narrow[0], length, nullptr, nullptr);
  return narrow;
}

}  // namespace platform
