#include "fake_network.h"

#include <gtest/gtest.h>

namespace net_test {

FakeNetwork::FakeNetwork() {
  previous_ = platform::SetNetworkProviderForTesting(this);
  net::ResetStateForTesting();
}

FakeNetwork::~FakeNetwork() {
  platform::SetNetworkProviderForTesting(previous_);
  net::ResetStateForTesting();
}

void FakeNetwork::AddHost(const std::string& name, const std::vector<std::string>& ipv4, int ipv6) {
  std::vector<platform::ResolvedAddress>& addresses = hosts_[name];
  addresses.assign(ipv6, {platform::kAfInet6, 0, {0xfd, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}});
  for (const std::string& dotted : ipv4) {
    addresses.push_back({platform::kAfInet, platform::inet_addr(dotted.c_str()), {}});
  }
}

void FakeNetwork::AddName(const std::string& dotted, const std::string& name) {
  names_[platform::inet_addr(dotted.c_str())] = name;
}

int FakeNetwork::Lookups() {
  std::lock_guard<std::mutex> lock(mutex_);
  return lookups_;
}

void FakeNetwork::Hold(const std::string& host) {
  std::lock_guard<std::mutex> lock(mutex_);
  held_ = host;
  changed_.notify_all();
}

void FakeNetwork::WaitUntilHeld() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return holding_; });
}

void FakeNetwork::Count(const std::string& host) {
  std::unique_lock<std::mutex> lock(mutex_);
  ++lookups_;
  holding_ = host == held_;
  changed_.notify_all();
  changed_.wait(lock, [&] { return held_ != host; });
  holding_ = false;
}

UINT FakeNetwork::DriveType(int drive) {
  auto found = drives_.find(char('A' + drive - 1));
  return found != drives_.end() ? found->second.type : DRIVE_NO_ROOT_DIR;
}

DWORD FakeNetwork::DriveShare(int drive, WideString* share) {
  auto found = drives_.find(char('A' + drive - 1));
  if (found == drives_.end() || found->second.type != DRIVE_REMOTE) return ERROR_NOT_CONNECTED;
  if (!found->second.connected) return ERROR_CONNECTION_UNAVAIL;
  *share = WidenAscii(found->second.remote.c_str());
  return 0;
}

bool FakeNetwork::Connections(DWORD scope, std::vector<platform::NetConnection>* list, DWORD* error) {
  *error = ERROR_NO_NETWORK;
  if (refuse_enumeration) return false;
  DWORD listed_scope = scope == RESOURCE_REMEMBERED ? RESOURCE_REMEMBERED : RESOURCE_CONNECTED;
  for (const auto& drive : drives_) {
    if (drive.second.type != DRIVE_REMOTE || (scope != RESOURCE_REMEMBERED && !drive.second.connected)) continue;
    const char local[3] = {drive.first, ':', 0};
    list->push_back({listed_scope, RESOURCETYPE_DISK, 1, WidenAscii(local), WidenAscii(drive.second.remote.c_str()), {}});
  }
  list->insert(list->end(), listed_.begin(), listed_.end());
  return true;
}

template <typename Key, typename Value>
int Found(const std::map<Key, Value>& map, const Key& key, Value* value) {
  auto found = map.find(key);
  if (found == map.end()) return WSAHOST_NOT_FOUND;
  *value = found->second;
  return 0;
}

int FakeNetwork::ResolveHost(const std::string& host, std::vector<platform::ResolvedAddress>* addresses) {
  Count(host);
  return Found(hosts_, host, addresses);
}

int FakeNetwork::HostOfAddress(uint32_t address, std::string* host) {
  Count(std::to_string(address));
  return Found(names_, address, host);
}

std::vector<std::string> ListedA(DWORD scope, DWORD room, DWORD* first_needed) {
  HANDLE handle = nullptr;
  if (platform::WNetOpenEnumA(scope, RESOURCETYPE_DISK, 0, nullptr, &handle) != 0) return {"(not opened)"};
  std::vector<std::string> listed;
  std::vector<NETRESOURCEA> buffer(8192 / sizeof(NETRESOURCEA));
  for (DWORD result = 0; result != ERROR_NO_MORE_ITEMS;) {
    DWORD count = 0xFFFFFFFF, size = room;
    result = platform::WNetEnumResourceA(handle, &count, buffer.data(), &size);
    if (result == ERROR_MORE_DATA && first_needed != nullptr && *first_needed == 0) *first_needed = size;
    if (result == ERROR_MORE_DATA) room = size;
    for (DWORD i = 0; result == 0 && i < count; ++i) {
      const char* local = buffer[i].lpLocalName != nullptr ? buffer[i].lpLocalName : "-";
      listed.push_back(std::to_string(buffer[i].dwScope) + " " + local + " " + buffer[i].lpRemoteName);
    }
  }
  EXPECT_EQ(platform::WNetCloseEnum(handle), 0u);
  return listed;
}

}  // namespace net_test
