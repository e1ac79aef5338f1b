// Internals of the existence tests that other subsystems and the tests use.
#pragma once

#include "ovpb32.h"

namespace files {

// The installed file-exists hook's answer for path; false without a hook.
bool HookVouchesFor(const char* path);

// Test seam: each worker of file_exist_actual_with_timeout calls this with
// its path before it searches, so that a test can make the search block.
using ExistenceSearchDelay = void (*)(const char* path);
void SetExistenceSearchDelayForTesting(ExistenceSearchDelay delay);

// Existence requests still held by a caller or a worker: 0 once every late
// worker has finished and released its request.
int LiveExistenceRequests();

}  // namespace files
