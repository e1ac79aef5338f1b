#include <algorithm>
#include <cctype>
#include <mutex>
#include <string_view>

#include "platform/posix/drives.h"
#include "platform/posix/network_system.h"
#include "platform/posix/system_calls.h"

namespace platform {
namespace posix {
namespace {

std::mutex mount_files_mutex;
std::string mountinfo_file = "/proc/self/mountinfo";
std::string fstab_file = "/etc/fstab";

bool IsNetworkType(const std::string& type) {
  static const char* const kTypes[] = {"cifs", "smb3", "nfs", "nfs4", "fuse.sshfs"};
  return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

// Mount tables write a blank, tab, newline and backslash as three octal digits.
std::string Unescaped(std::string_view field) {
  std::string text;
  text.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    bool octal = field[i] == '\\' && i + 3 < field.size() + 1 &&
                 std::all_of(field.begin() + i + 1, field.begin() + i + 4, [](char c) { return c >= '0' && c <= '7'; });
    if (octal) {
      text.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
      i += 3;
    } else {
      text.push_back(field[i]);
    }
  }
  return text;
}

// The blank-separated words of a line, as views into it.
void SplitWords(std::string_view line, std::vector<std::string_view>* words) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
  words->clear();
  for (size_t i = 0; i < line.size();) {
    while (i < line.size() && blank(line[i])) ++i;
    size_t start = i;
    while (i < line.size() && !blank(line[i])) ++i;
    if (i > start) words->push_back(line.substr(start, i - start));
  }
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string Backslashed(std::string text) {
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Whether `folder` is `mount_point` or lies below it.
bool Below(const std::string& folder, const std::string& mount_point) {
  if (mount_point == "/") return !folder.empty() && folder[0] == '/';
  return folder.compare(0, mount_point.size(), mount_point) == 0 &&
         (folder.size() == mount_point.size() || folder[mount_point.size()] == '/');
}

NetworkMount MountOf(std::string_view mount_point, std::string_view type, std::string_view source) {
  std::string type_text(type);
  std::string remote = RemoteNameOf(type_text, Unescaped(source));
  return NetworkMount{WithoutTrailingSlash(Unescaped(mount_point)), std::move(type_text), std::move(remote)};
}

std::pair<std::string, std::string> MountFiles() {
  std::lock_guard<std::mutex> lock(mount_files_mutex);
  return {mountinfo_file, fstab_file};
}

struct DriveState {
  UINT type = DRIVE_NO_ROOT_DIR;
  bool connected = false;
  std::string remote;  // of a network drive
};

bool Mounted(const std::vector<NetworkMount>& mounts, const std::string& remote) {
  return std::any_of(mounts.begin(), mounts.end(),
                     [&](const NetworkMount& m) { return !m.remote.empty() && SameText(m.remote, remote); });
}

// The network file system `folder` lies on: the deepest mount holding it.
const NetworkMount* DeepestMount(const std::vector<NetworkMount>& mounts, const std::string& folder) {
  const NetworkMount* deepest = nullptr;
  for (const NetworkMount& mount : mounts) {
    if (Below(folder, mount.mount_point) &&
        (deepest == nullptr || mount.mount_point.size() >= deepest->mount_point.size())) {
      deepest = &mount;
    }
  }
  return deepest;
}

DriveState StateOf(int drive, const std::vector<NetworkMount>& mounts, const std::vector<NetworkMount>& fstab) {
  DriveTable& table = DriveTable::Instance();
  DriveState state;
  std::string remembered = table.RememberedShare(drive);
  if (!remembered.empty()) {
    state.type = DRIVE_REMOTE;
    state.remote = remembered;
    state.connected = !table.Root(drive).empty() || Mounted(mounts, remembered);
    return state;
  }
  std::string folder = table.Root(drive);
  if (folder.empty()) return state;
  state.type = DRIVE_FIXED;
  const NetworkMount* mount = DeepestMount(mounts, folder);
  if (mount != nullptr && !mount->remote.empty()) {
    state.type = DRIVE_REMOTE;
    state.connected = true;
    std::string below = folder.size() > mount->mount_point.size() && mount->mount_point != "/"
                            ? folder.substr(mount->mount_point.size())
                            : std::string();
    state.remote = mount->remote + Backslashed(below);
    return state;
  }
  for (const NetworkMount& line : fstab) {
    if (!line.remote.empty() && line.mount_point == folder) {
      state.type = DRIVE_REMOTE;
      state.remote = line.remote;
      return state;
    }
  }
  return state;
}

WideString WidenAsciiText(const std::string& text) { return WidenAscii(text.c_str()); }

class SystemNetworkDrives {
 public:
  // fstab's lines count only for folders not on a network mount: a mounted
  // one is found among the mounts first. They only ever make a drive
  // remembered, so a list of connected drives does without them.
  std::vector<DriveState> States(bool with_fstab) {
    auto files = MountFiles();
    std::vector<NetworkMount> mounts = ReadMounts(files.first, false);
    std::vector<NetworkMount> fstab = with_fstab ? ReadMounts(files.second, true) : std::vector<NetworkMount>();
    std::vector<DriveState> states(27);
    for (int drive = 1; drive <= 26; ++drive) states[drive] = StateOf(drive, mounts, fstab);
    return states;
  }
  DriveState State(int drive) {
    auto files = MountFiles();
    return StateOf(drive, ReadMounts(files.first, false), ReadMounts(files.second, true));
  }
};

}  // namespace

std::string RemoteNameOf(const std::string& type, const std::string& source) {
  if (!IsNetworkType(type)) return std::string();
  std::string remote;
  if (source.size() > 2 && (source[0] == '/' || source[0] == '\\') && (source[1] == '/' || source[1] == '\\')) {
    remote = Backslashed(source);
  } else {
    size_t colon = source.find(':');
    if (colon == std::string::npos || colon == 0) return std::string();
    std::string host = source.substr(0, colon);
    size_t at = host.rfind('@');
    if (at != std::string::npos) host = host.substr(at + 1);
    std::string path = source.substr(colon + 1);
    while (!path.empty() && path[0] == '/') path.erase(0, 1);
    if (host.empty() || path.empty()) return std::string();
    remote = "\\\\" + host + "\\" + Backslashed(path);
  }
  while (remote.size() > 2 && remote.back() == '\\') remote.pop_back();
  return remote;
}

std::vector<NetworkMount> ReadMounts(const std::string& file, bool fstab) {
  std::vector<NetworkMount> mounts;
  std::string text;
  sys::ReadWholeFile(file, &text);
  std::vector<std::string_view> words;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = std::min(text.find('\n', start), text.size());
    SplitWords(std::string_view(text).substr(start, end - start), &words);
    if (fstab) {
      if (words.size() >= 3 && words[0][0] != '#') mounts.push_back(MountOf(words[1], words[2], words[0]));
      continue;
    }
    // id parent device root mount-point options [optional...] - type source ...
    auto dash = std::find(words.begin(), words.end(), "-");
    if (words.size() < 5 || dash == words.end() || words.end() - dash < 3) continue;
    mounts.push_back(MountOf(words[4], *(dash + 1), *(dash + 2)));
  }
  return mounts;
}

void SetMountFilesForTesting(const std::string& mountinfo, const std::string& fstab) {
  std::lock_guard<std::mutex> lock(mount_files_mutex);
  mountinfo_file = mountinfo.empty() ? "/proc/self/mountinfo" : mountinfo;
  fstab_file = fstab.empty() ? "/etc/fstab" : fstab;
}

namespace {

class SystemNetworkProvider : public NetworkProvider {
 public:
  UINT DriveType(int drive) override { return drives_.State(drive).type; }

  DWORD DriveShare(int drive, WideString* share) override {
    DriveState state = drives_.State(drive);
    if (state.type != DRIVE_REMOTE) return ERROR_NOT_CONNECTED;
    if (!state.connected) return ERROR_CONNECTION_UNAVAIL;
    *share = WidenAsciiText(state.remote);
    return 0;
  }

  bool Connections(DWORD scope, std::vector<NetConnection>* list, DWORD* error) override {
    if (scope != RESOURCE_CONNECTED && scope != RESOURCE_CONTEXT && scope != RESOURCE_REMEMBERED) {
      *error = ERROR_NOT_SUPPORTED;
      return false;
    }
    std::vector<DriveState> states = drives_.States(scope == RESOURCE_REMEMBERED);
    for (int drive = 1; drive <= 26; ++drive) {
      const DriveState& state = states[drive];
      if (state.type != DRIVE_REMOTE || (scope != RESOURCE_REMEMBERED && !state.connected)) continue;
      const char local[3] = {static_cast<char>('A' + drive - 1), ':', 0};
      list->push_back(NetConnection{scope == RESOURCE_REMEMBERED ? DWORD(RESOURCE_REMEMBERED) : DWORD(RESOURCE_CONNECTED),
                                    RESOURCETYPE_DISK, RESOURCEUSAGE_CONNECTABLE, WidenAscii(local),
                                    WidenAsciiText(state.remote), WideString()});
    }
    return true;
  }

  int ResolveHost(const std::string& host, std::vector<ResolvedAddress>* addresses) override {
    return ResolveWithLibrary(host, addresses);
  }
  int HostOfAddress(uint32_t address, std::string* host) override { return NameWithLibrary(address, host); }

 private:
  SystemNetworkDrives drives_;
};

}  // namespace

NetworkProvider& SystemNetwork() {
  static SystemNetworkProvider* system = new SystemNetworkProvider();
  return *system;
}

}  // namespace posix
}  // namespace platform
