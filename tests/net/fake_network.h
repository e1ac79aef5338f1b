// A network of the test's own in place of the system's: drives, their
// connections, host names and addresses. Look-ups are counted, and those of
// one host can be held until the test lets them go.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "net/net.h"
#include "platform/network.h"
#include "platform/wide.h"
#include "support/test_support.h"

namespace net_test {

class FakeNetwork : public platform::NetworkProvider {
 public:
  FakeNetwork();
  ~FakeNetwork() override;

  // Drives by upper-case letter: connected to a share, remembered only, local.
  void Connect(char letter, const std::string& remote) { drives_[letter] = {DRIVE_REMOTE, remote, true}; }
  void Remember(char letter, const std::string& remote) { drives_[letter] = {DRIVE_REMOTE, remote, false}; }
  void Local(char letter) { drives_[letter] = {DRIVE_FIXED, "", false}; }
  // A connection listed after the drives', whatever they are.
  void List(DWORD scope, const std::string& local, const std::string& remote) {
    listed_.push_back({scope, RESOURCETYPE_DISK, 1, WidenAscii(local.c_str()), WidenAscii(remote.c_str()), {}});
  }
  void ClearConnections() { listed_.clear(), drives_.clear(); }
  void AddHost(const std::string& name, const std::vector<std::string>& ipv4, int ipv6 = 0);
  void AddName(const std::string& dotted, const std::string& name);

  bool refuse_enumeration = false;
  int Lookups();
  // Look-ups of `host` wait while it is held; Hold("") lets them go.
  void Hold(const std::string& host);
  void WaitUntilHeld();

  UINT DriveType(int drive) override;
  DWORD DriveShare(int drive, WideString* share) override;
  bool Connections(DWORD scope, std::vector<platform::NetConnection>* list, DWORD* error) override;
  int ResolveHost(const std::string& host, std::vector<platform::ResolvedAddress>* addresses) override;
  int HostOfAddress(uint32_t address, std::string* host) override;

 private:
  struct Drive { UINT type; std::string remote; bool connected; };
  void Count(const std::string& host);

  platform::NetworkProvider* previous_;
  std::map<char, Drive> drives_;
  std::vector<platform::NetConnection> listed_;
  std::map<std::string, std::vector<platform::ResolvedAddress>> hosts_;
  std::map<uint32_t, std::string> names_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int lookups_ = 0;
  std::string held_;
  bool holding_ = false;
};

// An enumeration's entries as "scope local remote", asked for with `room`
// bytes (grown as asked); *first_needed gets the first room asked for.
std::vector<std::string> ListedA(DWORD scope, DWORD room, DWORD* first_needed = nullptr);

// A conversion's answer, which must come with the result 1.
template <typename Convert>
std::string Narrow(Convert convert, const std::string& path) {
  char out[800];
  EXPECT_EQ(convert(path.c_str(), out), 1);
  return out;
}
template <typename Convert>
std::string Wide(Convert convert, const WideString& path) {
  WCHAR out[800];
  EXPECT_EQ(convert(path.c_str(), out), 1);
  return testing_support::ToUtf8(out);
}
// The narrow answer, which the wide form must give too.
template <typename NarrowConvert, typename WideConvert>
std::string Both(NarrowConvert narrow, WideConvert wide, const std::string& path) {
  std::string answer = Narrow(narrow, path);
  EXPECT_EQ(Wide(wide, WidenAscii(path.c_str())), answer) << path;
  return answer;
}

}  // namespace net_test
