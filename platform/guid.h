// New GUIDs from the system.
#pragma once

#include "platform/types.h"

namespace platform {

// Fills *guid with a fresh random GUID (version 4, variant 10) and returns
// S_OK. Fails as COM fails, leaving *guid untouched: E_INVALIDARG for a null
// pointer, HRESULT_FROM_WIN32(RPC_S_UUID_NO_ADDRESS) when the system has no
// randomness to give. On POSIX the bytes come from the kernel's random source.
HRESULT CoCreateGuid(GUID* guid);

}  // namespace platform
