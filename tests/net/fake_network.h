// A network of the test's own in place of the system's: drives, their
// connections, host names and addresses. Look-ups are counted, and one host
// can be held until the test lets it go.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "net/net.h"
#include "platform/network.h"
#include "platform/wide.h"

namespace net_test {

uint32_t Ipv4(const std::string& dotted);

class FakeNetwork : public platform::NetworkProvider {
 public:
  FakeNetwork();
  ~FakeNetwork() override;

  // A drive connected to a share, one remembered only, a local one.
  void Connect(char letter, const std::string& remote) { drives_[Upper(letter)] = {DRIVE_REMOTE, remote, true}; }
  void Remember(char letter, const std::string& remote) { drives_[Upper(letter)] = {DRIVE_REMOTE, remote, false}; }
  void Local(char letter) { drives_[Upper(letter)] = {DRIVE_FIXED, "", false}; }
  // A connection as listed, whatever the drives say.
  void List(DWORD scope, const std::string& local, const std::string& remote);
  void ClearConnections();

  void AddHost(const std::string& name, const std::vector<std::string>& ipv4, int ipv6 = 0);
  void AddName(const std::string& dotted, const std::string& name) { names_[Ipv4(dotted)] = name; }

  bool refuse_enumeration = false;
  int Lookups();
  // Look-ups of `host` wait in the provider until Release().
  void Hold(const std::string& host);
  void WaitUntilHeld();
  void Release();

  UINT DriveType(int drive) override;
  DWORD DriveShare(int drive, WideString* share) override;
  bool Connections(DWORD scope, std::vector<platform::NetConnection>* list, DWORD* error) override;
  int ResolveHost(const std::string& host, std::vector<platform::ResolvedAddress>* addresses) override;
  int HostOfAddress(uint32_t address, std::string* host) override;

 private:
  struct Drive {
    UINT type;
    std::string remote;
    bool connected;
  };
  static char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; }
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

// Every entry of an enumeration as "scope local remote", asked for with a
// buffer of `room` bytes (grown as asked); *first_needed gets the first room
// asked for.
std::vector<std::string> ListedA(DWORD scope, DWORD room, DWORD* first_needed = nullptr);

// A buffer with canary bytes after `size` units.
template <typename Char>
struct Guarded {
  explicit Guarded(size_t size) : size(size), data(size + 64, Char(0x5A)) {}
  bool Intact() const {
    for (size_t i = size; i < data.size(); ++i) {
      if (data[i] != Char(0x5A)) return false;
    }
    return true;
  }
  Char* get() { return data.data(); }
  size_t size;
  std::vector<Char> data;
};

}  // namespace net_test
