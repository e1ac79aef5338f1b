// Network-safe names (a dotted server name as its IPv4 address) and
// persistable names (an address as its host name), while safe-name handling
// is on.

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "frame/module.h"
#include "net/name_text.h"
#include "net/net.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "platform/system.h"

namespace net {
namespace {

constexpr size_t kServerRoom = 256;
constexpr DWORD kScanInterval = 5000;

// ---- Whether handling is on -------------------------------------------------------

bool IsColligo(DWORD id) {
  HANDLE process = platform::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  if (process == nullptr) return false;
  HMODULE module = nullptr;
  DWORD needed = 0;
  char name[260];
  DWORD length = platform::EnumProcessModules(process, &module, sizeof module, &needed)
                     ? platform::GetModuleBaseNameA(process, module, name, sizeof name)
                     : 0;
  platform::CloseHandle(process);
  if (length == 0 || length >= sizeof name) return false;
  name[length] = 0;
  return CompareNoCase(name, "colligo.exe") == 0;
}

bool ColligoRunning() {
  std::vector<DWORD> ids(2048);
  DWORD needed = 0;
  if (!platform::EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &needed)) return false;
  for (size_t i = 0; i < needed / sizeof(DWORD); ++i) {
    if (IsColligo(ids[i])) return true;
  }
  return false;
}

bool HandlingOn() {
  NetState& state = State();
  unsigned mode = state.safe_name_mode.load();
  if (mode != 1) return mode >= 2;
  DWORD now = platform::GetTickCount();
  if (now - state.colligo_checked.load() <= kScanInterval) return state.colligo_running.load() != 0;
  state.colligo_running.store(0);
  state.colligo_checked.store(now);
  bool running = ColligoRunning();
  if (running) state.colligo_running.store(1);
  return running;
}

// ---- Text --------------------------------------------------------------------------

template <typename Char>
using Cache = ConversionCache<Char, sizeof(Char) == 1 ? 260 : 2052>;

// The server part as narrow text in `narrow` (kServerRoom bytes); false
// when it does not convert or takes more than 255 bytes.
bool NarrowServer(const char* server, size_t length, char* narrow) {
  if (length >= kServerRoom) return false;
  std::memcpy(narrow, server, length);
  narrow[length] = 0;
  return true;
}
bool NarrowServer(const WCHAR* server, size_t length, char* narrow) {
  if (length >= kServerRoom) return false;
  WCHAR wide[kServerRoom];
  std::copy(server, server + length, wide);
  wide[length] = 0;
  // A conversion cut at the buffer's end would name another server.
  size_t needed = li_wcstombs(nullptr, wide, 0);
  if (needed == static_cast<size_t>(-1) || needed >= kServerRoom) return false;
  size_t converted = li_wcstombs(narrow, wide, kServerRoom);
  if (converted != needed) return false;
  narrow[converted] = 0;
  return true;
}
Text<char> FromNarrow(char*, const std::string& text) { return text; }
Text<WCHAR> FromNarrow(WCHAR*, const std::string& text) {
  WCHAR buffer[kServerRoom + 1];
  size_t length = li_mbstowcs(buffer, text.c_str(), kServerRoom);
  if (length == static_cast<size_t>(-1)) return Text<WCHAR>();
  buffer[std::min(length, kServerRoom)] = 0;
  return buffer;
}

template <typename Char>
bool FromCache(Cache<Char>& cache, const Char* path, Char* out) {
  std::lock_guard<frame::RecursiveLock> lock(frame::ModuleLock());
  if (CompareNoCase(path, cache.input) != 0) return false;
  CopyCut(out, cache.output, sizeof cache.output / sizeof(Char));
  return true;
}

// Paths too long for the cache are not kept: a cut one could answer a
// shorter path. `out` was just written, so its length comes along rather
// than being measured again.
template <typename Char>
void Remember(Cache<Char>& cache, const Char* path, const Char* out, size_t out_length) {
  const size_t room = sizeof cache.input / sizeof(Char);
  size_t path_length = Length(path);
  if (path_length >= room || out_length >= room) return;
  std::lock_guard<frame::RecursiveLock> lock(frame::ModuleLock());
  std::copy_n(path, path_length + 1, cache.input);
  std::copy_n(out, out_length + 1, cache.output);
}

// No lead byte is ASCII, so up to the first byte that is not, each byte is
// a character of its own.
template <typename Char>
size_t Find(const Char* text, Char c) {
  size_t i = 0;
  for (; text[i] != 0 && (sizeof(Char) > 1 || static_cast<unsigned char>(text[i]) < 0x80); ++i) {
    if (text[i] == c) return i;
  }
  for (; text[i] != 0; i += Step(text + i)) {
    if (text[i] == c) return i;
  }
  return Text<Char>::npos;
}

// ---- The conversions ------------------------------------------------------------

// Written in place: the tail moves first (`out` may be `path`), then the
// address, which is ASCII and so the same in either width.
template <typename Char>
void SafeName(Cache<Char>& cache, const Char* path, Char* out) {
  const Char* server = path + 2;
  size_t dot = Find(server, Char('.'));
  size_t backslash = Find(server, Char('\\'));
  if (dot == Text<Char>::npos || backslash == Text<Char>::npos || dot > backslash) return;
  char narrow[kServerRoom];
  if (!NarrowServer(server, backslash, narrow)) return;
  char address[16];
  if (GetIPAddrTextFromHostName(narrow, address) != 0) return;
  size_t address_length = Length(address);
  const Char* tail = server + backslash;
  size_t tail_length = Length(tail);
  std::memmove(out + 2 + address_length, tail, (tail_length + 1) * sizeof(Char));
  std::copy(address, address + address_length, out + 2);
  Remember(cache, path, out, 2 + address_length + tail_length);
}

template <typename Char>
bool IsAddressCharacter(Char c) {
  return c == '.' || (c >= '0' && c <= '9');
}

template <typename Char>
void PersistableName(Cache<Char>& cache, const Char* path, Char* out) {
  const Char* server = path + 2;
  size_t length = 0;
  while (IsAddressCharacter(server[length])) ++length;
  if (length == 0 || (server[length] != 0 && server[length] != '\\')) return;
  char narrow[kServerRoom];
  if (!NarrowServer(server, length, narrow)) return;
  char host[256];
  if (GetHostNameFromIPAddrText(narrow, host) != 0) return;
  std::string name = host;
  if (name.find('.') == std::string::npos) name += '.';
  Text<Char> converted = FromNarrow(static_cast<Char*>(nullptr), name);
  Text<Char> name_path = Text<Char>(path, 2) + converted + Text<Char>(server + length);
  CopyText(out, name_path);
  Remember(cache, path, out, name_path.size());
}

template <typename Char, typename Conversion>
int Convert(Cache<Char>& cache, const Char* path, Char* out, Conversion convert) {
  if (path == nullptr || out == nullptr) return 1;
  std::copy_n(path, Length(path) + 1, out);
  if (!HandlingOn() || FromCache(cache, path, out)) return 1;
  if (StartsWithTwoBackslashes(path)) convert(cache, path, out);
  return 1;
}

}  // namespace
}  // namespace net

extern "C" void OVPB_API SetSafeNameHandling(int mode) { net::State().safe_name_mode.store(static_cast<unsigned>(mode)); }

extern "C" int OVPB_API GetNetworkSafeNameA(const char* path, char* out) {
  return net::Convert(net::State().safe_narrow, path, out, net::SafeName<char>);
}

extern "C" int OVPB_API GetNetworkSafeNameW(const WCHAR* path, WCHAR* out) {
  return net::Convert(net::State().safe_wide, path, out, net::SafeName<WCHAR>);
}

extern "C" int OVPB_API GetNetworkPersistableNameA(const char* path, char* out) {
  return net::Convert(net::State().persistable_narrow, path, out, net::PersistableName<char>);
}

extern "C" int OVPB_API GetNetworkPersistableNameW(const WCHAR* path, WCHAR* out) {
  return net::Convert(net::State().persistable_wide, path, out, net::PersistableName<WCHAR>);
}
