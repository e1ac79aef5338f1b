// The network names' internals: the module-wide state, the walk over the
// platform's connections, and the name look-ups the safe names use.
#pragma once

#include <atomic>
#include <string>

#include "platform/network.h"
#include "platform/types.h"

namespace net {

// ---- State, in one place --------------------------------------------------------

template <typename Char>
struct UniversalNameCache {
  Char path[260];
  Char unc[260];
  Char computer[32];
  size_t unc_length;  // kept so that a hit copies without measuring
  size_t computer_length;
};

template <typename Char, size_t Capacity>
struct ConversionCache {
  Char input[Capacity];
  Char output[Capacity];
};

// The caches are read and written under the frame's module lock; the modes
// are atomics read without it.
struct NetState {
  std::atomic<int> mapping_mode{-1};  // -1 until the first universal-name call
  UniversalNameCache<char> universal_narrow;
  UniversalNameCache<WCHAR> universal_wide;
  ConversionCache<char, 260> safe_narrow;
  ConversionCache<WCHAR, 2052> safe_wide;
  ConversionCache<char, 260> persistable_narrow;
  ConversionCache<WCHAR, 2052> persistable_wide;
  std::atomic<unsigned> safe_name_mode{0};
  std::atomic<int> colligo_running{0};
  std::atomic<DWORD> colligo_checked{0};  // tick count of the last process scan
};

NetState& State();

// Test seam: empty caches and modes, as a new process starts.
void ResetStateForTesting();

// ---- Connections ----------------------------------------------------------------

template <typename Char>
struct Resource;
template <>
struct Resource<char> {
  using Type = NETRESOURCEA;
};
template <>
struct Resource<WCHAR> {
  using Type = NETRESOURCEW;
};

// Calls visit(entry) for each connection an enumeration of `scope` lists,
// in the platform's order. False when the enumeration cannot be opened.
template <typename Char, typename Visit>
bool WalkConnections(DWORD scope, DWORD usage, Visit visit);

// ---- Look-ups -------------------------------------------------------------------

// 0 with the first IPv4 address's dotted text in `text` (16 bytes), else a
// Winsock error code and `text` untouched.
int GetIPAddrTextFromHostName(const char* host, char* text);
// 0 with the registered name of a dotted address in `host` (256 bytes),
// else non-zero and `host` untouched.
int GetHostNameFromIPAddrText(const char* text, char* host);

// The minimal drive mapping (exported as GetMinimalDriveMappingA/W).
int MinimalDriveMapping(const char* path, char* out);
int MinimalDriveMapping(const WCHAR* path, WCHAR* out);

}  // namespace net

#include "net/walk.inl"
