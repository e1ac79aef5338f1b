// The minimal drive mapping: a UNC path through the drive letter whose
// connection covers the most of it.

#include "net/name_text.h"
#include "net/net.h"
#include "ovpb32.h"

namespace net {
namespace {

// Room of the working buffers: drive and directory, file name, local name.
template <typename Char>
constexpr size_t kMappingRootRoom = sizeof(Char) == 1 ? 2052 : 260;
constexpr size_t kMappingFileRoom = 256;
constexpr size_t kLocalRoom = 32;

// A remote name covers the path up to a backslash of it or its end, so a
// connection to \\srv\data never maps \\srv\database.
template <typename Char>
bool Covers(const Char* path, const Char* remote, size_t length) {
  if (length == 0 || CompareNoCase(path, remote, length) != 0) return false;
  return path[length] == 0 || path[length] == '\\' || remote[length - 1] == '\\';
}

template <typename Char>
int Map(const Char* path, Char* out) {
  if (path == nullptr || out == nullptr) return 0;
  SplitName<Char> split = Split(path, kMappingRootRoom<Char>, kMappingFileRoom);
  if (split.root.size() < 2 || !StartsWithTwoBackslashes(split.root.c_str())) {
    CopyText(out, Text<Char>(path));
    return 1;
  }
  size_t best = 0;
  Char local[kLocalRoom] = {};
  bool opened = WalkConnections<Char>(RESOURCE_CONTEXT, 0x13, [&](const typename Resource<Char>::Type& entry) {
    bool in_scope = entry.dwScope == RESOURCE_CONNECTED || entry.dwScope == RESOURCE_REMEMBERED;
    if (!in_scope || entry.lpLocalName == nullptr || entry.lpRemoteName == nullptr) return;
    size_t length = Length(entry.lpRemoteName);
    if (length > best && Covers(path, entry.lpRemoteName, length)) {
      best = length;
      CopyCut(local, entry.lpLocalName, kLocalRoom);
    }
  });
  if (!opened) return 0;
  Text<Char> answer(path);
  if (best > 0) {
    Text<Char> drive(local);
    Upper(&drive);
    answer = drive + answer.substr(best);
  }
  CopyText(out, answer);
  return 1;
}

}  // namespace

int MinimalDriveMapping(const char* path, char* out) { return Map(path, out); }
int MinimalDriveMapping(const WCHAR* path, WCHAR* out) { return Map(path, out); }

}  // namespace net

extern "C" int OVPB_API GetMinimalDriveMappingA(const char* path, char* out) {
  return net::MinimalDriveMapping(path, out);
}

extern "C" int OVPB_API GetMinimalDriveMappingW(const WCHAR* path, WCHAR* out) {
  return net::MinimalDriveMapping(path, out);
}
