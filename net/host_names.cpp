// Host names and IPv4 addresses, each look-up inside its own Winsock
// start-up and clean-up.

#include <cstring>

#include "net/net.h"
#include "ovpb32.h"

namespace net {
namespace {

// Winsock 1.1 for the length of one look-up.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    error_ = platform::WSAStartup(0x0101, &data);
  }
  ~WinsockSession() {
    if (error_ == 0) platform::WSACleanup();
  }
  int error() const { return error_; }

 private:
  int error_;
};

class AddressList {
 public:
  explicit AddressList(const char* host) {
    error_ = platform::getaddrinfo(host, nullptr, nullptr, &list_);
    if (error_ != 0) platform::WSASetLastError(error_);
  }
  ~AddressList() {
    if (list_ != nullptr) platform::freeaddrinfo(list_);
  }
  int error() const { return error_; }
  const ADDRINFOA* first() const { return error_ == 0 ? list_ : nullptr; }

 private:
  ADDRINFOA* list_ = nullptr;
  int error_;
};

IN_ADDR AddressOf(const ADDRINFOA* entry) {
  return reinterpret_cast<const SOCKADDR_IN*>(entry->ai_addr)->sin_addr;
}

}  // namespace

int GetIPAddrTextFromHostName(const char* host, char* text) {
  WinsockSession winsock;
  if (winsock.error() != 0) return winsock.error();
  AddressList list(host);
  if (list.error() != 0) return list.error();
  int pending = WSAHOST_NOT_FOUND;
  for (const ADDRINFOA* entry = list.first(); entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family != platform::kAfInet) continue;
    const char* dotted = platform::inet_ntoa(AddressOf(entry));
    if (dotted == nullptr) {
      pending = platform::WSAGetLastError();
      continue;
    }
    size_t length = 0;
    for (; length < 15 && dotted[length] != 0; ++length) text[length] = dotted[length];
    text[length] = 0;
    return 0;
  }
  return pending;
}

int GetHostNameFromIPAddrText(const char* text, char* host) {
  WinsockSession winsock;
  if (winsock.error() != 0) return winsock.error();
  ULONG address = text != nullptr ? platform::inet_addr(text) : INADDR_NONE;
  if (address == INADDR_NONE) return WSAEINVAL;
  SOCKADDR_IN socket_address;
  std::memset(&socket_address, 0, sizeof socket_address);
  socket_address.sin_family = platform::kAfInet;
  socket_address.sin_addr.s_addr = address;
  char name[256];
  int error = platform::getnameinfo(reinterpret_cast<const SOCKADDR*>(&socket_address), 16, name, sizeof name,
                                    nullptr, 0, platform::kNiNameReqd);
  if (error != 0) return error;
  std::memcpy(host, name, std::strlen(name) + 1);
  return 0;
}

}  // namespace net

// The last IPv4 address listed is the one left in `address`.
extern "C" int OVPB_API GetIPAddrFromHostName(const char* host, DWORD* address) {
  net::WinsockSession winsock;
  if (winsock.error() != 0) return winsock.error();
  net::AddressList list(host);
  if (list.error() != 0) return list.error();
  bool found = false;
  for (const ADDRINFOA* entry = list.first(); entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family != platform::kAfInet) continue;
    if (address != nullptr) *address = net::AddressOf(entry).s_addr;
    found = true;
  }
  return found ? 0 : WSAHOST_NOT_FOUND;
}
