// Winsock on the C library's resolver.

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <charconv>
#include <cstring>

#include "platform/common/network_provided.h"
#include "platform/posix/network_system.h"

namespace platform {
namespace posix {
namespace {

int WinsockError(int resolver_error) {
  switch (resolver_error) {
    case 0: return 0;
    case EAI_NONAME:
    case EAI_NODATA:
    case EAI_ADDRFAMILY: return WSAHOST_NOT_FOUND;
    case EAI_AGAIN: return WSATRY_AGAIN;
    case EAI_MEMORY: return WSA_NOT_ENOUGH_MEMORY;
    case EAI_FAMILY: return WSAEAFNOSUPPORT;
    default: return WSANO_RECOVERY;
  }
}

bool SameAddress(const ResolvedAddress& a, const ResolvedAddress& b) {
  return a.family == b.family && a.ipv4 == b.ipv4 && std::memcmp(a.ipv6, b.ipv6, sizeof a.ipv6) == 0;
}

// Four decimal parts, each 0 to 255 without a leading zero: the one form
// every reader of addresses takes alike.
bool FourDecimalParts(const char* text, uint32_t* address) {
  uint32_t parts = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0 && *text++ != '.') return false;
    const char* start = text;
    unsigned value = 0;
    for (; *text >= '0' && *text <= '9' && text - start < 4; ++text) value = value * 10 + (*text - '0');
    size_t digits = static_cast<size_t>(text - start);
    if (digits == 0 || value > 255 || (digits > 1 && *start == '0')) return false;
    parts = parts << 8 | value;
  }
  if (*text != 0) return false;
  *address = htonl(parts);
  return true;
}

}  // namespace

// Zero hints: every family, no address-configuration filter (the C
// library's default for null hints), as Windows looks names up. The C
// library lists an address once per socket type; Windows once.
int ResolveWithLibrary(const std::string& host, std::vector<ResolvedAddress>* addresses) {
  // Four decimal parts name their own address: the C library would answer
  // it the same without a look-up, after building an entry per socket type.
  uint32_t numeric;
  if (FourDecimalParts(host.c_str(), &numeric)) {
    // Made in place: a copy of one made aside waits for its parts' stores.
    addresses->emplace_back();
    addresses->back().family = kAfInet;
    addresses->back().ipv4 = numeric;
    return 0;
  }
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  addrinfo* list = nullptr;
  int error = WinsockError(::getaddrinfo(host.c_str(), nullptr, &hints, &list));
  if (error != 0) return error;
  for (const addrinfo* entry = list; entry != nullptr; entry = entry->ai_next) {
    ResolvedAddress address{};
    if (entry->ai_family == AF_INET) {
      address.family = kAfInet;
      address.ipv4 = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
    } else if (entry->ai_family == AF_INET6) {
      address.family = kAfInet6;
      std::memcpy(address.ipv6, &reinterpret_cast<const sockaddr_in6*>(entry->ai_addr)->sin6_addr, 16);
    } else {
      continue;
    }
    if (addresses->empty() || !SameAddress(addresses->back(), address)) addresses->push_back(address);
  }
  ::freeaddrinfo(list);
  return 0;
}

int NameWithLibrary(uint32_t address, std::string* host) {
  sockaddr_in socket_address;
  std::memset(&socket_address, 0, sizeof socket_address);
  socket_address.sin_family = AF_INET;
  socket_address.sin_addr.s_addr = address;
  char name[NI_MAXHOST];
  int error = ::getnameinfo(reinterpret_cast<const sockaddr*>(&socket_address), sizeof socket_address, name,
                            sizeof name, nullptr, 0, NI_NAMEREQD);
  if (error != 0) return WinsockError(error);
  *host = name;
  return 0;
}

}  // namespace posix

namespace {

std::atomic<int> winsock_users{0};
thread_local int last_winsock_error = 0;

// Windows fails every call made before WSAStartup.
bool WinsockStarted() {
  if (winsock_users.load() > 0) return true;
  WSASetLastError(WSANOTINITIALISED);
  return false;
}

int Failed(int error) {
  WSASetLastError(error);
  return error;
}

}  // namespace

int WSAStartup(WORD version, WSADATA* data) {
  if ((version & 0xFF) == 0) return WSAVERNOTSUPPORTED;
  if (data != nullptr) {
    data->wVersion = (version & 0xFF) >= 2 ? 0x0202 : version;
    data->wHighVersion = 0x0202;
    data->iMaxSockets = 0;
    data->iMaxUdpDg = 0;
    data->lpVendorInfo = nullptr;
    std::strcpy(data->szDescription, "WinSock 2.0");
    std::strcpy(data->szSystemStatus, "Running");
  }
  ++winsock_users;
  return 0;
}

int WSACleanup() {
  int users = winsock_users.load();
  while (users > 0 && !winsock_users.compare_exchange_weak(users, users - 1)) {
  }
  if (users > 0) return 0;
  WSASetLastError(WSANOTINITIALISED);
  return -1;
}

int WSAGetLastError() { return last_winsock_error; }
void WSASetLastError(int error) { last_winsock_error = error; }

int getaddrinfo(const char* node, const char* service, const ADDRINFOA* hints, ADDRINFOA** result) {
  if (!WinsockStarted()) return WSANOTINITIALISED;
  if (service != nullptr) return Failed(WSAEINVAL);  // the library never asks for a service
  int error = provided::getaddrinfo(posix::CurrentNetwork(), node, hints, result);
  return error != 0 ? Failed(error) : 0;
}

// Every list here is the layer's own: the C library's never leave it.
void freeaddrinfo(ADDRINFOA* list) { provided::FreeAddressList(list); }

char* inet_ntoa(IN_ADDR address) {
  thread_local char text[16];
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&address.s_addr);
  char* end = text;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) *end++ = '.';
    end = std::to_chars(end, text + sizeof text, bytes[i]).ptr;
  }
  *end = 0;
  return text;
}

// inet_aton takes the same forms Windows does: one to four parts, each
// decimal, octal (0...) or hexadecimal (0x...), the last filling the rest.
ULONG inet_addr(const char* text) {
  in_addr address;
  if (text == nullptr || ::inet_aton(text, &address) == 0) return INADDR_NONE;
  return address.s_addr;
}

int getnameinfo(const SOCKADDR* address, int address_length, char* host, DWORD host_size, char* service,
                DWORD service_size, int flags) {
  if (!WinsockStarted()) return WSANOTINITIALISED;
  int error = provided::getnameinfo(posix::CurrentNetwork(), address, address_length, host, host_size, flags);
  return error != 0 ? Failed(error) : 0;
}

}  // namespace platform
