#include "platform/user.h"

#include "platform/mbcs.h"

namespace platform {

char* CharUpperA(char* text) {
  if (text == nullptr) return nullptr;
  auto* at = reinterpret_cast<unsigned char*>(text);
  while (*at != 0) {
    const size_t width = _mbclen(at);
    const unsigned code = _mbsnextc(at);
    const unsigned upper = _mbctoupper(code);
    if (upper != code && (upper > 0xFF ? 2u : 1u) == width) {
      if (width == 2) {
        at[0] = static_cast<unsigned char>(upper >> 8);
        at[1] = static_cast<unsigned char>(upper);
      } else {
        at[0] = static_cast<unsigned char>(upper);
      }
    }
    at = _mbsinc(at);
  }
  return text;
}

}  // namespace platform
