// Network names of any content, narrow and wide, over a network of the
// target's own (no look-up waits on a name server). Invariants: answers stay
// inside the room their contract states (buffers of exactly that size); with
// handling off a name comes back as it was; a safe name turned persistable
// again is the name it was made from; a drive mapping names a drive whose
// connection, followed by the rest of the answer, is the path.
//
// Input: byte 0 the switches, then a line with the remote name of drive X,
// then the path.

#include <algorithm>
#include <map>
#include <string>

#include "fuzz/fuzz_support.h"
#include "net/net.h"
#include "ovpb32.h"
#include "platform/network.h"

namespace {

constexpr size_t kHostRoom = 256;

// Each byte as the character of that number.
std::basic_string<WCHAR> Widened(const std::string& text) {
  std::basic_string<WCHAR> wide;
  for (char c : text) wide += static_cast<unsigned char>(c);
  return wide;
}

template <typename Char>
bool SameIgnoringAsciiCase(const std::basic_string<Char>& a, const std::basic_string<Char>& b) {
  auto lower = [](Char c) { return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// Hosts get addresses 10.0.x.y in the order they are first asked for; an
// address of no host has a name of its own length (0 to 255, some without
// a dot), or none.
class OwnNetwork : public platform::NetworkProvider {
 public:
  std::map<char, std::string> remotes{{'Z', "\\\\srv\\data"}, {'Y', "\\\\srv\\data\\deep\\"}};

  void Forget() { hosts_.clear(), names_.clear(); }

  UINT DriveType(int drive) override {
    char letter = static_cast<char>('A' + drive - 1);
    return remotes.count(letter) != 0 ? DRIVE_REMOTE : letter == 'C' ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
  }
  DWORD DriveShare(int drive, WideString* share) override {
    char letter = static_cast<char>('A' + drive - 1);
    if (remotes.count(letter) == 0) return ERROR_NOT_CONNECTED;
    if (letter == 'Y') return ERROR_CONNECTION_UNAVAIL;
    *share = Widened(remotes[letter]);
    return 0;
  }
  bool Connections(DWORD scope, std::vector<platform::NetConnection>* list, DWORD*) override {
    for (const auto& drive : remotes) {
      const char local[3] = {drive.first, ':', 0};
      DWORD listed = drive.first == 'Y' ? RESOURCE_REMEMBERED : RESOURCE_CONNECTED;
      if (scope != RESOURCE_REMEMBERED && listed == RESOURCE_REMEMBERED) continue;
      list->push_back({listed, RESOURCETYPE_DISK, 1, Widened(local), Widened(drive.second), {}});
    }
    return true;
  }
  int ResolveHost(const std::string& host, std::vector<platform::ResolvedAddress>* addresses) override {
    std::string key = Lower(host);
    if (key.find('x') != std::string::npos) return WSAHOST_NOT_FOUND;
    auto found = hosts_.find(key);
    if (found == hosts_.end()) {
      uint32_t n = static_cast<uint32_t>(hosts_.size() + 1);
      const uint8_t bytes[4] = {10, 0, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
      uint32_t address;
      std::memcpy(&address, bytes, 4);
      found = hosts_.emplace(key, address).first;
      names_.emplace(address, host);
    }
    addresses->push_back({platform::kAfInet, found->second, {}});
    return 0;
  }
  int HostOfAddress(uint32_t address, std::string* host) override {
    auto found = names_.find(address);
    if (found != names_.end()) {
      *host = found->second;
      return 0;
    }
    if (address % 3 == 0) return WSAHOST_NOT_FOUND;
    *host = std::string(address % kHostRoom, 'h');
    if (address % 5 == 0 && !host->empty()) (*host)[host->size() / 2] = '.';
    return 0;
  }

 private:
  static std::string Lower(std::string text) {
    for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
  }
  std::map<std::string, uint32_t> hosts_;
  std::map<uint32_t, std::string> names_;
};

OwnNetwork& Network() {
  static OwnNetwork* network = [] {
    auto* own = new OwnNetwork();
    platform::SetNetworkProviderForTesting(own);
    return own;
  }();
  return *network;
}

template <typename Char, typename Convert>
std::basic_string<Char> Converted(Convert convert, const std::basic_string<Char>& path) {
  auto out = fuzzing::Exactly<Char>(path.size() + 1 + kHostRoom);
  FUZZ_CHECK(convert(path.c_str(), out.data()) == 1);
  return out.data();
}

template <typename Char, typename Safe, typename Persistable>
void CheckSafeNames(const std::basic_string<Char>& path, bool handling, Safe safe, Persistable persistable) {
  std::basic_string<Char> safeName = Converted<Char>(safe, path);
  std::basic_string<Char> persistableName = Converted<Char>(persistable, path);
  if (!handling) {
    FUZZ_CHECK(safeName == path && persistableName == path);
    return;
  }
  if (safeName != path) FUZZ_CHECK(SameIgnoringAsciiCase(Converted<Char>(persistable, safeName), path));
}

template <typename Char, typename Map>
void CheckDriveMapping(const std::basic_string<Char>& path, Map map) {
  auto out = fuzzing::Exactly<Char>(path.size() + 1);
  FUZZ_CHECK(map(path.c_str(), out.data()) == 1);
  std::basic_string<Char> answer = out.data();
  if (answer == path) return;
  FUZZ_CHECK(answer.size() >= 2 && answer[1] == ':' && Network().remotes.count(static_cast<char>(answer[0])) != 0);
  const std::string& narrow = Network().remotes[static_cast<char>(answer[0])];
  std::basic_string<Char> remote(narrow.begin(), narrow.end());
  FUZZ_CHECK(SameIgnoringAsciiCase(remote + answer.substr(2), path));
}

template <typename Char, typename Resolve>
void CheckUniversalName(const std::basic_string<Char>& path, DWORD computerSize, Resolve resolve) {
  size_t longestRemote = 0;
  for (const auto& drive : Network().remotes) longestRemote = std::max(longestRemote, drive.second.size());
  // The platform answers in its own spelling: a narrow byte it cannot read
  // comes back as the replacement character, 3 bytes in UTF-8.
  size_t unread = sizeof(Char) == 1 ? std::count_if(path.begin(), path.end(), [](Char c) { return (c & 0x80) != 0; }) : 0;
  auto unc = fuzzing::Exactly<Char>(path.size() + 2 * unread + longestRemote + 2);
  auto computer = fuzzing::Exactly<Char>(computerSize);
  FUZZ_CHECK(resolve(path.c_str(), unc.data(), computerSize > 0 ? computer.data() : nullptr, computerSize) == 1);
  FUZZ_CHECK(std::char_traits<Char>::length(unc.data()) < unc.size());
  if (computerSize > 0) FUZZ_CHECK(std::find(computer.begin(), computer.end(), Char(0)) != computer.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  auto text = fuzzing::Terminated<char>(data + 1, size - 1);
  std::string remoteAndPath(text.data());
  size_t line = remoteAndPath.find('\n');
  std::string remote = line == std::string::npos ? "" : remoteAndPath.substr(0, line);
  std::string path = line == std::string::npos ? remoteAndPath : remoteAndPath.substr(line + 1);

  OwnNetwork& network = Network();
  network.Forget();
  network.remotes.erase('X');
  // ASCII only, so that the narrow form sees the same bytes.
  bool ascii = std::all_of(remote.begin(), remote.end(), [](char c) { return (c & 0x80) == 0; });
  if (ascii && remote.size() >= 2 && remote[0] == '\\' && remote[1] == '\\') network.remotes['X'] = remote;
  const bool handling = (data[0] & 1) != 0;
  if ((data[0] & 2) != 0) {
    setenv("OVPathResolution", "map", 1);
  } else {
    unsetenv("OVPathResolution");
  }
  net::ResetStateForTesting();
  SetSafeNameHandling(handling ? 2 : 0);

  std::basic_string<WCHAR> wide = Widened(path);
  CheckSafeNames(path, handling, GetNetworkSafeNameA, GetNetworkPersistableNameA);
  CheckSafeNames(wide, handling, GetNetworkSafeNameW, GetNetworkPersistableNameW);
  CheckDriveMapping(path, GetMinimalDriveMappingA);
  CheckDriveMapping(wide, GetMinimalDriveMappingW);
  const DWORD computerSize = data[0] >> 2;
  CheckUniversalName(path, computerSize, GetUniversalNameA);
  CheckUniversalName(wide, computerSize, GetUniversalNameW);
  return 0;
}
