// Universal names: a drive-letter path as \\server\share\..., or this
// computer's name for a local one; in the mapping mode the other way round.

#include <algorithm>
#include <mutex>

#include "frame/module.h"
#include "net/name_text.h"
#include "net/net.h"
#include "ovpb32.h"
#include "platform/system.h"

namespace net {
namespace {

constexpr size_t kUniversalRootRoom = 2052;
constexpr size_t kUniversalFileRoom = 256;
constexpr size_t kRemoteRoom = 2052;

template <typename Char>
UniversalNameCache<Char>& CacheOf(NetState& state);
template <>
UniversalNameCache<char>& CacheOf<char>(NetState& state) { return state.universal_narrow; }
template <>
UniversalNameCache<WCHAR>& CacheOf<WCHAR>(NetState& state) { return state.universal_wide; }

// ---- The platform, narrow or wide --------------------------------------------

bool MapValue(char* value) {
  static const char kName[] = "OVPathResolution";
  DWORD length = platform::GetEnvironmentVariableA(kName, value, 2052);
  if (length == 0 && platform::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
  return length < 2052 && CompareNoCase(value, "Map") == 0;
}
bool MapValue(WCHAR* value) {
  DWORD length = platform::GetEnvironmentVariableW(OV_WIDE("OVPathResolution"), value, 2052);
  if (length == 0 && platform::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
  return length < 2052 && CompareNoCase(value, OV_WIDE("Map")) == 0;
}

UINT DriveType(const char* root) { return platform::GetDriveTypeA(root); }
UINT DriveType(const WCHAR* root) { return platform::GetDriveTypeW(root); }

BOOL ComputerName(char* out, DWORD* size) { return platform::GetComputerNameA(out, size); }
BOOL ComputerName(WCHAR* out, DWORD* size) { return platform::GetComputerNameW(out, size); }

// The platform's universal name of a root, in a zeroed buffer of 2048 bytes
// (narrow) or 4096 (wide).
bool PlatformUniversalName(const char* root, Text<char>* name) {
  alignas(void*) char buffer[2048] = {};
  DWORD size = sizeof buffer;
  if (platform::WNetGetUniversalNameA(root, UNIVERSAL_NAME_INFO_LEVEL, buffer, &size) != 0) return false;
  const char* text = reinterpret_cast<UNIVERSAL_NAME_INFOA*>(buffer)->lpUniversalName;
  *name = text != nullptr ? text : "";
  return true;
}
bool PlatformUniversalName(const WCHAR* root, Text<WCHAR>* name) {
  alignas(void*) char buffer[4096] = {};
  DWORD size = sizeof buffer;
  if (platform::WNetGetUniversalNameW(root, UNIVERSAL_NAME_INFO_LEVEL, buffer, &size) != 0) return false;
  const WCHAR* text = reinterpret_cast<UNIVERSAL_NAME_INFOW*>(buffer)->lpUniversalName;
  *name = text != nullptr ? text : OV_WIDE("");
  return true;
}

void AppendBackslash(Text<char>* text) {
  Text<char> with(*text);
  with.resize(with.size() + 2);
  needslsh(&with[0]);
  *text = with.c_str();
}
void AppendBackslash(Text<WCHAR>* text) {
  Text<WCHAR> with(*text);
  with.resize(with.size() + 2);
  needslshW(&with[0]);
  *text = with.c_str();
}

// ---- The steps ------------------------------------------------------------------

// Read once, by the first call of either form.
template <typename Char>
bool MappingMode() {
  NetState& state = State();
  int mode = state.mapping_mode.load();
  if (mode < 0) {
    Char value[2052] = {};
    mode = MapValue(value) ? 1 : 0;
    state.mapping_mode.store(mode);
  }
  return mode == 1;
}

template <typename Char>
void StoreComputerName(Char* out, DWORD size) {
  if (size == 0 || out == nullptr) return;
  DWORD length = size;
  if (!ComputerName(out, &length)) out[0] = 0;
}

template <typename Char>
void Clear(Char* out, DWORD size) {
  if (size != 0 && out != nullptr) out[0] = 0;
}

// The remembered connection of the root's drive letter, as
// \\SERVER\SHARE\DIRECTORY\ in upper case; false when there is none. The
// walk runs to its end either way.
template <typename Char>
bool RememberedName(const Text<Char>& root, Text<Char>* remote, bool* opened) {
  bool found = false;
  *opened = WalkConnections<Char>(RESOURCE_REMEMBERED, 0, [&](const typename Resource<Char>::Type& entry) {
    const Char* local = entry.lpLocalName;
    bool in_scope = entry.dwScope == RESOURCE_CONNECTED || entry.dwScope == RESOURCE_REMEMBERED;
    if (found || local == nullptr || !in_scope || entry.lpRemoteName == nullptr) return;
    if (local[0] == 0 || UpperAscii(local[0]) != UpperAscii(root[0]) || local[1] != ':') return;
    Text<Char> name(entry.lpRemoteName);
    AppendBackslash(&name);
    name = (name + root.substr(3)).substr(0, kRemoteRoom - 1);
    Upper(&name);
    *remote = name;
    found = true;
  });
  return found;
}

template <typename Char>
bool FromCache(const Char* path, Char* unc_out, Char* computer_out, DWORD computer_size) {
  UniversalNameCache<Char>& cache = CacheOf<Char>(State());
  std::lock_guard<frame::RecursiveLock> lock(frame::ModuleLock());
  if (CompareNoCase(path, cache.path) != 0) return false;
  std::copy_n(cache.unc, cache.unc_length + 1, unc_out);
  if (computer_out != nullptr) std::copy_n(cache.computer, cache.computer_length + 1, computer_out);
  return true;
}

template <typename Char>
void Remember(const Char* path, const Char* unc, const Char* computer, DWORD computer_size) {
  UniversalNameCache<Char>& cache = CacheOf<Char>(State());
  std::lock_guard<frame::RecursiveLock> lock(frame::ModuleLock());
  CopyCut(cache.path, path, sizeof cache.path / sizeof(Char));
  CopyCut(cache.unc, unc, sizeof cache.unc / sizeof(Char));
  const Char kEmpty[1] = {0};
  CopyCut(cache.computer, computer != nullptr && computer_size != 0 ? computer : kEmpty,
          sizeof cache.computer / sizeof(Char));
  cache.unc_length = Length(cache.unc);
  cache.computer_length = Length(cache.computer);
}

template <typename Char>
int Resolve(const Char* path, Char* unc_out, Char* computer_out, DWORD computer_size) {
  if (path == nullptr || unc_out == nullptr) return 0;
  if (computer_out == nullptr) computer_size = 0;
  bool mapping = MappingMode<Char>();
  if (FromCache(path, unc_out, computer_out, computer_size)) return 1;
  SplitName<Char> split = Split(path, kUniversalRootRoom, kUniversalFileRoom);
  CopyText(unc_out, Text<Char>(path));
  Clear(computer_out, computer_size);
  if (mapping) {
    if (!IsDriveRoot(split.root)) {
      Clear(computer_out, computer_size);
      MinimalDriveMapping(path, unc_out);
    } else if (DriveType(split.root.c_str()) != DRIVE_REMOTE) {
      StoreComputerName(computer_out, computer_size);
    }
    Remember(path, unc_out, computer_out, computer_size);
    return 1;
  }
  Text<Char> universal;
  if (PlatformUniversalName(split.root.c_str(), &universal)) {
    CopyText(unc_out, Joined(universal, split.file));
    Clear(computer_out, computer_size);
    Remember(path, unc_out, computer_out, computer_size);
    return 1;
  }
  bool is_universal = false;
  if (!IsDriveRoot(split.root)) {
    is_universal = StartsWithTwoBackslashes(path);
  } else {
    Text<Char> remote;
    bool opened = false;
    is_universal = RememberedName(split.root, &remote, &opened);
    if (!opened) return 0;
    if (is_universal) CopyText(unc_out, Joined(remote, split.file));
  }
  if (is_universal) {
    Clear(computer_out, computer_size);
  } else {
    StoreComputerName(computer_out, computer_size);
  }
  Remember(path, unc_out, computer_out, computer_size);
  return 1;
}

}  // namespace
}  // namespace net

extern "C" int OVPB_API GetUniversalNameA(const char* path, char* unc_out, char* computer_out, DWORD computer_size) {
  return net::Resolve(path, unc_out, computer_out, computer_size);
}

extern "C" int OVPB_API GetUniversalNameW(const WCHAR* path, WCHAR* unc_out, WCHAR* computer_out,
                                          DWORD computer_size) {
  return net::Resolve(path, unc_out, computer_out, computer_size);
}
