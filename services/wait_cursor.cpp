// The wait cursor: nested WaitOn and WaitOff calls of the main thread show
// the system's wait cursor and bring back the one from before.

#include <atomic>

#include "frame/module.h"
#include "ovpb32.h"
#include "platform/system.h"
#include "platform/user.h"

namespace services {
namespace {

struct WaitState {
  std::atomic<int> depth{0};
  std::atomic<HCURSOR> saved{nullptr};
};
WaitState wait;

bool OnMainThread() { return platform::GetCurrentThreadId() == frame::MainThreadId(); }

void ShowWaitCursor() {
  HCURSOR waitCursor = platform::LoadCursorA(nullptr, IDC_WAIT);
  HCURSOR before = platform::SetCursor(waitCursor);
  if (before != waitCursor) wait.saved.store(before);
}

// The saved cursor back, and the pointer set where it is, so that the window
// under it is asked again which cursor it wants.
void RestoreCursor() {
  wait.depth.store(0);
  platform::SetCursor(wait.saved.load());
  POINT at;
  if (platform::GetCursorPos(&at)) platform::SetCursorPos(at.x, at.y);
}

}  // namespace
}  // namespace services

using services::wait;

extern "C" void OVPB_API WaitOn() {
  if (!services::OnMainThread()) return;
  if (wait.depth.fetch_add(1) == 0) {
    HCURSOR current = platform::SetCursor(nullptr);
    platform::SetCursor(current);
    wait.saved.store(current);
  }
  services::ShowWaitCursor();
}

extern "C" void OVPB_API WaitOff() {
  if (!services::OnMainThread()) return;
  if (wait.depth.fetch_sub(1) - 1 > 0) return;
  services::RestoreCursor();
}

extern "C" void OVPB_API WaitCleanup() {
  if (!services::OnMainThread() || wait.depth.load() <= 0) return;
  services::RestoreCursor();
}

extern "C" BOOL OVPB_API WaitFunction() {
  services::ShowWaitCursor();
  return 1;
}

extern "C" int OVPB_API IsWaitOn() { return wait.depth.load(); }

extern "C" void OVPB_API WriteRcfg() {}
