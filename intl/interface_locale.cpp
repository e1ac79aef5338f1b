// The interface locale: the user's own, or the system's under the
// "Applocale" switch of cv.ver.

#include <cstdint>
#include <cstdlib>

#include "frame/config.h"
#include "ovpb32.h"
#include "platform/locale.h"

// The switch is kept once read; a -1 in the file looks unread and is read
// again at every call.
extern "C" DWORD OVPB_API UseApplocaleMode(void) {
  return static_cast<DWORD>(frame::ConfigInteger(frame::ConfigKey::Applocale));
}

extern "C" LCID OVPB_API GetAppropriateLCID(void) {
  return UseApplocaleMode() != 0 ? LOCALE_SYSTEM_DEFAULT : platform::GetUserDefaultLCID();
}

extern "C" BYTE OVPB_API GetUserFontCharset(void) {
  char codePage[100] = {};
  platform::GetLocaleInfoA(GetAppropriateLCID(), LOCALE_IDEFAULTANSICODEPAGE, codePage, sizeof codePage);
  CHARSETINFO info = {};
  DWORD* source = reinterpret_cast<DWORD*>(static_cast<uintptr_t>(std::atol(codePage)));
  return platform::TranslateCharsetInfo(source, &info, TCI_SRCCODEPAGE) ? static_cast<BYTE>(info.ciCharset) : 0;
}
