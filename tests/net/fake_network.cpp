#include "fake_network.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace net_test {

uint32_t Ipv4(const std::string& dotted) {
  uint32_t address = 0;
  unsigned char* bytes = reinterpret_cast<unsigned char*>(&address);
  const char* p = dotted.c_str();
  for (int i = 0; i < 4; ++i) {
    char* end = nullptr;
    bytes[i] = static_cast<unsigned char>(std::strtoul(p, &end, 10));
    p = *end == '.' ? end + 1 : end;
  }
  return address;
}

FakeNetwork::FakeNetwork() {
  previous_ = platform::SetNetworkProviderForTesting(this);
  net::ResetStateForTesting();
}

FakeNetwork::~FakeNetwork() {
  platform::SetNetworkProviderForTesting(previous_);
  net::ResetStateForTesting();
}

void FakeNetwork::List(DWORD scope, const std::string& local, const std::string& remote) {
  listed_.push_back({scope, RESOURCETYPE_DISK, RESOURCEUSAGE_CONNECTABLE, WidenAscii(local.c_str()),
                     WidenAscii(remote.c_str()), WideString()});
}

void FakeNetwork::ClearConnections() {
  listed_.clear();
  drives_.clear();
}

void FakeNetwork::AddHost(const std::string& name, const std::vector<std::string>& ipv4, int ipv6) {
  std::vector<platform::ResolvedAddress> addresses;
  for (int i = 0; i < ipv6; ++i) addresses.push_back({platform::kAfInet6, 0, {0xfd, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}});
  for (const std::string& dotted : ipv4) addresses.push_back({platform::kAfInet, Ipv4(dotted), {}});
  hosts_[name] = addresses;
}

int FakeNetwork::Lookups() {
  std::lock_guard<std::mutex> lock(mutex_);
  return lookups_;
}

void FakeNetwork::Hold(const std::string& host) {
  std::lock_guard<std::mutex> lock(mutex_);
  held_ = host;
}

void FakeNetwork::WaitUntilHeld() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return holding_; });
}

void FakeNetwork::Release() {
  std::lock_guard<std::mutex> lock(mutex_);
  held_.clear();
  changed_.notify_all();
}

void FakeNetwork::Count(const std::string& host) {
  std::unique_lock<std::mutex> lock(mutex_);
  ++lookups_;
  if (host != held_) return;
  holding_ = true;
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
  if (refuse_enumeration) {
    *error = ERROR_NO_NETWORK;
    return false;
  }
  for (const auto& drive : drives_) {
    if (drive.second.type != DRIVE_REMOTE || (scope != RESOURCE_REMEMBERED && !drive.second.connected)) continue;
    const char local[3] = {drive.first, ':', 0};
    DWORD listed_scope = scope == RESOURCE_REMEMBERED ? RESOURCE_REMEMBERED : RESOURCE_CONNECTED;
    list->push_back({listed_scope, RESOURCETYPE_DISK, RESOURCEUSAGE_CONNECTABLE, WidenAscii(local),
                     WidenAscii(drive.second.remote.c_str()), WideString()});
  }
  list->insert(list->end(), listed_.begin(), listed_.end());
  return true;
}

int FakeNetwork::ResolveHost(const std::string& host, std::vector<platform::ResolvedAddress>* addresses) {
  Count(host);
  auto found = hosts_.find(host);
  if (found == hosts_.end()) return WSAHOST_NOT_FOUND;
  *addresses = found->second;
  return 0;
}

int FakeNetwork::HostOfAddress(uint32_t address, std::string* host) {
  Count(std::to_string(address));
  auto found = names_.find(address);
  if (found == names_.end()) return WSAHOST_NOT_FOUND;
  *host = found->second;
  return 0;
}

// Every entry of an enumeration, asked for with a buffer of `room` bytes.
std::vector<std::string> ListedA(DWORD scope, DWORD room, DWORD* first_needed) {
  HANDLE handle = nullptr;
  std::vector<std::string> listed;
  if (platform::WNetOpenEnumA(scope, RESOURCETYPE_DISK, 0, nullptr, &handle) != 0) return {"(not opened)"};
  std::vector<NETRESOURCEA> buffer(8192 / sizeof(NETRESOURCEA));
  for (DWORD result = 0;;) {
    DWORD count = 0xFFFFFFFF, size = room;
    result = platform::WNetEnumResourceA(handle, &count, buffer.data(), &size);
    if (result == ERROR_MORE_DATA && first_needed != nullptr && *first_needed == 0) *first_needed = size;
    if (result == ERROR_MORE_DATA) room = size;
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != 0 && result != ERROR_MORE_DATA) return {"(error " + std::to_string(result) + ")"};
    for (DWORD i = 0; result == 0 && i < count; ++i) {
      const NETRESOURCEA& entry = buffer[i];
      listed.push_back(std::to_string(entry.dwScope) + " " + (entry.lpLocalName ? entry.lpLocalName : "-") + " " +
                       entry.lpRemoteName);
    }
  }
  EXPECT_EQ(platform::WNetCloseEnum(handle), 0u);
  return listed;
}

}  // namespace net_test
