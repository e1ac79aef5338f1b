#include "platform/dialog.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<MessageBoxObserver> observer{nullptr};
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style) {
  if (MessageBoxObserver notify = observer.load()) {
    notify(caption != nullptr ? caption : "Error", text != nullptr ? text : "", style);
    return IDOK;
  }
  return ::MessageBoxA(owner, text, caption, style);
}

void SetMessageBoxObserver(MessageBoxObserver newObserver) { observer.store(newObserver); }

}  // namespace platform
