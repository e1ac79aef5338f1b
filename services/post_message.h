// Test seam of the post-message pointer cache.
#pragma once

#include "platform/types.h"

namespace services {

typedef DWORD (*TickSource)();

// The clock the cache stamps and sweeps by; null restores GetTickCount.
void SetPostMessageTicksForTesting(TickSource ticks);

// The number of entries the cache has room for (0 while it is absent).
DWORD PostMessageCapacityForTesting();

}  // namespace services
