// Assertions: a failed check shows a box only when "OVAssert" is on.

#include <cstdarg>
#include <cstdio>

#include "frame/config.h"
#include "ovpb32.h"
#include "platform/dialog.h"

extern "C" int OVPB_API OVAssertOn(void) {
  return frame::ConfigInteger(frame::ConfigKey::OVAssert) > 0 ? 1 : 0;
}

extern "C" void OVPB_API OVAssert_(int condition, const char* format, ...) {
  if (condition != 0) return;
  if (!OVAssertOn()) return;
  char message[1024];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof message, format != nullptr ? format : "", arguments);
  va_end(arguments);
  platform::MessageBoxA(nullptr, message, "OV Error", MB_OK | MB_ICONEXCLAMATION);
}
