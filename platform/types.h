// The Windows types and constants every subsystem speaks in. On Windows they
// come from <windows.h>; elsewhere from the library's own definitions.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>
#include <direct.h>
#include <io.h>
#else
#include "ovpb32_wintypes.h"
#include "platform/posix/windefs.h"
#endif
