// Without a screen the box is a line on standard error; the caller
// continues at once, as if the user had pressed OK.

#include "platform/dialog.h"

#include <atomic>
#include <cstdio>

namespace platform {
namespace {
std::atomic<MessageBoxObserver> observer{nullptr};
}

int MessageBoxA(HWND, const char* text, const char* caption, UINT style) {
  const char* shownCaption = caption != nullptr ? caption : "Error";
  const char* shownText = text != nullptr ? text : "";
  std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
  std::fflush(stderr);
  if (MessageBoxObserver notify = observer.load()) notify(shownCaption, shownText, style);
  return IDOK;
}

void SetMessageBoxObserver(MessageBoxObserver newObserver) { observer.store(newObserver); }

}  // namespace platform
