#include <cstring>
#include <mutex>

#include "frame/module.h"
#include "net/net.h"

namespace net {

// Zero-initialised: empty caches, handling off.
NetState& State() {
  static NetState state;
  return state;
}

void ResetStateForTesting() {
  NetState& state = State();
  std::lock_guard<frame::RecursiveLock> lock(frame::ModuleLock());
  state.mapping_mode = -1;
  std::memset(&state.universal_narrow, 0, sizeof state.universal_narrow);
  std::memset(&state.universal_wide, 0, sizeof state.universal_wide);
  std::memset(&state.safe_narrow, 0, sizeof state.safe_narrow);
  std::memset(&state.safe_wide, 0, sizeof state.safe_wide);
  std::memset(&state.persistable_narrow, 0, sizeof state.persistable_narrow);
  std::memset(&state.persistable_wide, 0, sizeof state.persistable_wide);
  state.safe_name_mode = 0;
  state.colligo_running = 0;
  state.colligo_checked = 0;
}

}  // namespace net
