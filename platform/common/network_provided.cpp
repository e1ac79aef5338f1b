#include "platform/common/network_provided.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <utility>

#include "platform/common/ansi_text.h"
#include "platform/common/recycled_blocks.h"
#include "platform/system.h"

namespace platform {
namespace {

std::atomic<NetworkProvider*> test_provider{nullptr};

// The drive an "X:..." name starts with, 1 (A) to 26 (Z); 0 for none.
int DriveOf(const WideString& path) {
  if (path.size() < 2 || path[1] == 0 || path[1] != ':') return 0;
  WCHAR letter = path[0];
  if (letter >= 'a' && letter <= 'z') return letter - 'a' + 1;
  if (letter >= 'A' && letter <= 'Z') return letter - 'A' + 1;
  return 0;
}

// ---- Strings placed in the caller's buffer ----------------------------------

template <typename Char>
struct Packed {
  std::basic_string<Char> text;
  bool present;
};

template <typename Char>
std::basic_string<Char> Encoded(const WideString& text);
template <>
std::basic_string<char> Encoded<char>(const WideString& text) { return NarrowAnsi(text); }
template <>
WideString Encoded<WCHAR>(const WideString& text) { return text; }

// Room for a record and its strings, each with its terminator.
template <typename Char>
size_t RoomFor(size_t record, const std::vector<Packed<Char>>& strings) {
  size_t room = record;
  for (const auto& s : strings) room += s.present ? (s.text.size() + 1) * sizeof(Char) : 0;
  return room;
}

// Copies the strings to `place` onward; the pointers to them go to `targets`.
template <typename Char>
char* PlaceStrings(char* place, const std::vector<Packed<Char>>& strings, Char** targets[]) {
  for (size_t i = 0; i < strings.size(); ++i) {
    if (!strings[i].present) {
      *targets[i] = nullptr;
      continue;
    }
    size_t bytes = (strings[i].text.size() + 1) * sizeof(Char);
    std::memcpy(place, strings[i].text.c_str(), bytes);
    *targets[i] = reinterpret_cast<Char*>(place);
    place += bytes;
  }
  return place;
}

// ---- Universal names ----------------------------------------------------------

template <typename Char, typename Info>
DWORD UniversalName(NetworkProvider& provider, const WideString& path, DWORD level, void* buffer,
                    DWORD* size) {
  if (level != UNIVERSAL_NAME_INFO_LEVEL || size == nullptr) return ERROR_INVALID_PARAMETER;
  int drive = DriveOf(path);
  if (drive == 0) return ERROR_BAD_DEVICE;
  WideString share;
  DWORD error = provider.DriveShare(drive, &share);
  if (error != 0) return error;
  std::vector<Packed<Char>> strings{{Encoded<Char>(share + path.substr(2)), true}};
  size_t needed = RoomFor(sizeof(Info), strings);
  if (buffer == nullptr || *size < needed) {
    *size = static_cast<DWORD>(needed);
    return ERROR_MORE_DATA;
  }
  Info* info = static_cast<Info*>(buffer);
  Char** targets[] = {reinterpret_cast<Char**>(&info->lpUniversalName)};
  PlaceStrings(static_cast<char*>(buffer) + sizeof(Info), strings, targets);
  return 0;
}

// ---- Enumerations -----------------------------------------------------------

struct Enumeration {
  std::vector<NetConnection> entries;
  size_t next = 0;
  bool wide = false;
};

std::mutex enumerations_mutex;
std::set<Enumeration*>& OpenEnumerations() {
  static std::set<Enumeration*>* open = new std::set<Enumeration*>();
  return *open;
}

Enumeration* FindEnumeration(HANDLE handle) {
  std::lock_guard<std::mutex> lock(enumerations_mutex);
  auto found = OpenEnumerations().find(static_cast<Enumeration*>(handle));
  return found != OpenEnumerations().end() ? *found : nullptr;
}

template <typename Char, typename Resource>
std::vector<Packed<Char>> ResourceStrings(const NetConnection& entry) {
  return {{Encoded<Char>(entry.local), !entry.local.empty()},
          {Encoded<Char>(entry.remote), !entry.remote.empty()},
          {std::basic_string<Char>(), false},
          {Encoded<Char>(entry.provider), !entry.provider.empty()}};
}

// The records come first, their strings fill the buffer from the end down.
template <typename Char, typename Resource>
DWORD Enumerate(Enumeration& enumeration, DWORD* count, void* buffer, DWORD* size) {
  if (enumeration.next >= enumeration.entries.size()) return ERROR_NO_MORE_ITEMS;
  char* base = static_cast<char*>(buffer);
  size_t records = 0, strings_room = 0;
  while (enumeration.next + records < enumeration.entries.size() && records < *count) {
    auto strings = ResourceStrings<Char, Resource>(enumeration.entries[enumeration.next + records]);
    size_t string_bytes = RoomFor<Char>(0, strings);
    size_t total = (records + 1) * sizeof(Resource) + strings_room + string_bytes;
    if (buffer == nullptr || total > *size) {
      if (records == 0) {
        *size = static_cast<DWORD>(sizeof(Resource) + string_bytes);
        return ERROR_MORE_DATA;
      }
      break;
    }
    const NetConnection& entry = enumeration.entries[enumeration.next + records];
    Resource* record = reinterpret_cast<Resource*>(base) + records;
    *record = Resource{entry.scope, entry.type, RESOURCEDISPLAYTYPE_SHARE, entry.usage, nullptr,
                       nullptr, nullptr, nullptr};
    strings_room += string_bytes;
    Char** targets[] = {&record->lpLocalName, &record->lpRemoteName, &record->lpComment,
                        &record->lpProvider};
    PlaceStrings(base + *size - strings_room, strings, targets);
    ++records;
  }
  enumeration.next += records;
  *count = static_cast<DWORD>(records);
  return 0;
}

// ---- Address lists ------------------------------------------------------------

// A list is one block: a header, the entries, then their socket addresses.
// Where the system makes lists too, the headers chain the lists made here
// and not yet freed, newest first, so that freeaddrinfo tells them from the
// system's without touching memory it does not own and mostly finds its
// list first.
struct ListLink {
  ListLink* previous;
  ListLink* next;
  size_t room;  // entries the block holds
};

constexpr size_t kSocketAddressRoom = 32;  // a SOCKADDR_IN6 (28 bytes), kept aligned
// Most names have an address or two; a block of that room is kept per
// thread when freed, so that a look-up and its free allocate nothing.
constexpr size_t kKeptRoom = 2;

std::mutex address_lists_mutex;
ListLink live_lists{&live_lists, &live_lists, 0};

ListLink* LinkOf(ADDRINFOA* entry) { return reinterpret_cast<ListLink*>(entry) - 1; }
ADDRINFOA* EntryOf(ListLink* link) { return reinterpret_cast<ADDRINFOA*>(link + 1); }

size_t BlockSize(size_t room) { return sizeof(ListLink) + room * (sizeof(ADDRINFOA) + kSocketAddressRoom); }

thread_local ThreadKeptBlock kept_block;

ListLink* NewBlock(size_t count) {
  size_t room = std::max(count, kKeptRoom);
  ListLink* block = room == kKeptRoom ? static_cast<ListLink*>(kept_block.Take()) : nullptr;
  if (block == nullptr) block = static_cast<ListLink*>(::operator new(BlockSize(room), std::nothrow));
  if (block == nullptr) return nullptr;
  block->room = room;
  return block;
}

void FreeBlock(ListLink* block) {
  if (block->room != kKeptRoom || !kept_block.Keep(block)) ::operator delete(block);
}

void FillSocketAddress(const ResolvedAddress& address, char* socket_address) {
  std::memset(socket_address, 0, kSocketAddressRoom);
  WORD family = static_cast<WORD>(address.family);
  std::memcpy(socket_address, &family, sizeof family);
  if (address.family == kAfInet) {
    std::memcpy(socket_address + 4, &address.ipv4, 4);
  } else {
    std::memcpy(socket_address + 8, address.ipv6, 16);
  }
}

// The addresses of `family` (0: all) as one linked block; null for none or
// when memory runs out (*error says which).
ADDRINFOA* NewAddressList(const std::vector<ResolvedAddress>& addresses, int family, int* error) {
  static_assert(sizeof(ListLink) % alignof(ADDRINFOA) == 0, "the entries follow their header aligned");
  static_assert(sizeof(ADDRINFOA) % 8 == 0, "the socket addresses follow the entries aligned");
  size_t count = 0;
  for (const ResolvedAddress& address : addresses) count += family == 0 || address.family == family;
  *error = WSAHOST_NOT_FOUND;
  if (count == 0) return nullptr;
  ListLink* block = NewBlock(count);
  *error = WSA_NOT_ENOUGH_MEMORY;
  if (block == nullptr) return nullptr;
  ADDRINFOA* entries = EntryOf(block);
  char* socket_address = reinterpret_cast<char*>(entries + block->room);
  ADDRINFOA* entry = entries;
  for (const ResolvedAddress& address : addresses) {
    if (family != 0 && address.family != family) continue;
    FillSocketAddress(address, socket_address);
    *entry = ADDRINFOA{};
    entry->ai_family = address.family;
    entry->ai_addrlen = address.family == kAfInet ? 16 : 28;
    entry->ai_addr = reinterpret_cast<SOCKADDR*>(socket_address);
    entry->ai_next = entry + 1 < entries + count ? entry + 1 : nullptr;
    socket_address += kSocketAddressRoom;
    ++entry;
  }
  *error = 0;
  return entries;
}

// Whether `list` was made here; it is then no longer live.
bool TakeLiveList(ADDRINFOA* list) {
  std::lock_guard<std::mutex> lock(address_lists_mutex);
  for (ListLink* link = live_lists.next; link != &live_lists; link = link->next) {
    if (EntryOf(link) != list) continue;
    link->previous->next = link->next;
    link->next->previous = link->previous;
    return true;
  }
  return false;
}

}  // namespace

NetworkProvider* SetNetworkProviderForTesting(NetworkProvider* provider) {
  return test_provider.exchange(provider);
}

namespace provided {

NetworkProvider* TestProvider() { return test_provider.load(); }

UINT GetDriveType(NetworkProvider& provider, const char* root) {
  return root != nullptr ? GetDriveType(provider, WidenAnsi(root).c_str()) : DRIVE_NO_ROOT_DIR;
}

UINT GetDriveType(NetworkProvider& provider, const WCHAR* root) {
  if (root == nullptr) return DRIVE_NO_ROOT_DIR;
  WideString path(root);
  int drive = DriveOf(path);
  bool rooted = path.size() == 2 || path[2] == '\\' || path[2] == '/';
  return drive != 0 && rooted ? provider.DriveType(drive) : DRIVE_NO_ROOT_DIR;
}

DWORD WNetGetUniversalName(NetworkProvider& provider, const char* local_path, DWORD level, void* buffer,
                           DWORD* size) {
  if (local_path == nullptr) return ERROR_INVALID_PARAMETER;
  return UniversalName<char, UNIVERSAL_NAME_INFOA>(provider, WidenAnsi(local_path), level, buffer, size);
}

DWORD WNetGetUniversalName(NetworkProvider& provider, const WCHAR* local_path, DWORD level, void* buffer,
                           DWORD* size) {
  if (local_path == nullptr) return ERROR_INVALID_PARAMETER;
  return UniversalName<WCHAR, UNIVERSAL_NAME_INFOW>(provider, local_path, level, buffer, size);
}

DWORD WNetOpenEnum(NetworkProvider& provider, DWORD scope, DWORD type, bool wide, HANDLE* handle) {
  if (handle == nullptr) return ERROR_INVALID_PARAMETER;
  auto enumeration = std::make_unique<Enumeration>();
  enumeration->wide = wide;
  DWORD error = 0;
  if (!provider.Connections(scope, &enumeration->entries, &error)) return error != 0 ? error : ERROR_NO_NETWORK;
  auto& entries = enumeration->entries;
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [type](const NetConnection& e) { return type != RESOURCETYPE_ANY && e.type != type; }),
                entries.end());
  std::lock_guard<std::mutex> lock(enumerations_mutex);
  *handle = enumeration.get();
  OpenEnumerations().insert(enumeration.release());
  return 0;
}

bool IsEnumeration(HANDLE handle) { return FindEnumeration(handle) != nullptr; }

DWORD WNetEnumResource(HANDLE handle, DWORD* count, void* buffer, DWORD* size) {
  Enumeration* enumeration = FindEnumeration(handle);
  if (enumeration == nullptr) return ERROR_INVALID_HANDLE;
  if (count == nullptr || size == nullptr) return ERROR_INVALID_PARAMETER;
  return enumeration->wide ? Enumerate<WCHAR, NETRESOURCEW>(*enumeration, count, buffer, size)
                           : Enumerate<char, NETRESOURCEA>(*enumeration, count, buffer, size);
}

DWORD WNetCloseEnum(HANDLE handle) {
  std::lock_guard<std::mutex> lock(enumerations_mutex);
  auto found = OpenEnumerations().find(static_cast<Enumeration*>(handle));
  if (found == OpenEnumerations().end()) return ERROR_INVALID_HANDLE;
  delete *found;
  OpenEnumerations().erase(found);
  return 0;
}

int getaddrinfo(NetworkProvider& provider, const char* node, const ADDRINFOA* hints, ADDRINFOA** result) {
  if (node == nullptr || result == nullptr) return WSAHOST_NOT_FOUND;
  // Kept per thread: a look-up allocates nothing but its list.
  thread_local std::vector<ResolvedAddress> addresses;
  addresses.clear();
  int error = provider.ResolveHost(node, &addresses);
  if (error != 0) return error;
  int family = hints != nullptr ? hints->ai_family : 0;
  ADDRINFOA* head = NewAddressList(addresses, family, &error);
  if (head == nullptr) return error;
  *result = head;
  return 0;
}

void FreeAddressList(ADDRINFOA* list) {
  if (list != nullptr) FreeBlock(LinkOf(list));
}

void TrackAddressList(ADDRINFOA* list) {
  ListLink* link = LinkOf(list);
  std::lock_guard<std::mutex> lock(address_lists_mutex);
  link->previous = &live_lists;
  link->next = live_lists.next;
  live_lists.next->previous = link;
  live_lists.next = link;
}

bool FreeTrackedAddressList(ADDRINFOA* list) {
  if (list == nullptr || !TakeLiveList(list)) return false;
  FreeAddressList(list);
  return true;
}

int getnameinfo(NetworkProvider& provider, const SOCKADDR* address, int address_length, char* host,
                DWORD host_size, int flags) {
  if (address == nullptr || address_length < 16 || address->sa_family != kAfInet) return WSAEAFNOSUPPORT;
  uint32_t ipv4;
  std::memcpy(&ipv4, reinterpret_cast<const char*>(address) + 4, 4);
  std::string name;
  int error = provider.HostOfAddress(ipv4, &name);
  if (error != 0 && (flags & kNiNameReqd) != 0) return error;
  if (error != 0) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&ipv4);
    name = std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) + "." +
           std::to_string(bytes[3]);
  }
  if (host == nullptr || name.size() + 1 > host_size) return WSAEFAULT;
  std::memcpy(host, name.c_str(), name.size() + 1);
  return 0;
}

}  // namespace provided
}  // namespace platform
