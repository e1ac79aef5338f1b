// Network names, name look-ups, the process list and case-blind text: the
// operations of kernel32, mpr, ws2_32 and psapi the network names rely on,
// with Windows' names, arguments and error codes.
//
// A test can put a NetworkProvider in place of the system
// (SetNetworkProviderForTesting): drive types, universal names, connection
// lists, host look-ups and the process list then come from it, on both
// builds.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "platform/types.h"
#include "platform/wide.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <winnetwk.h>
#else
#include "platform/posix/network_types.h"
#endif

namespace platform {

// Windows' values, whatever the C library's are.
constexpr int kAfInet = 2;
constexpr int kAfInet6 = 23;
constexpr int kNiNameReqd = 4;

// ---- Environment and drives -------------------------------------------------

// The variable's value (cut to size-1); the length without the terminator,
// or the room needed with it when it does not fit; 0 when it is not set
// (ERROR_ENVVAR_NOT_FOUND, 203).
DWORD GetEnvironmentVariableA(const char* name, char* buffer, DWORD size);
DWORD GetEnvironmentVariableW(const WCHAR* name, WCHAR* buffer, DWORD size);

// DRIVE_REMOTE, DRIVE_FIXED, ... of the drive an "X:\..." root names.
UINT GetDriveTypeA(const char* root);
UINT GetDriveTypeW(const WCHAR* root);

// ---- Connections (mpr) --------------------------------------------------------

// UNIVERSAL_NAME_INFO_LEVEL only: a UNIVERSAL_NAME_INFO at the start of the
// buffer, its string after it. ERROR_MORE_DATA with *size the room needed.
DWORD WNetGetUniversalNameA(const char* local_path, DWORD level, void* buffer, DWORD* size);
DWORD WNetGetUniversalNameW(const WCHAR* local_path, DWORD level, void* buffer, DWORD* size);

// An enumeration hands out NETRESOURCE entries with their strings in the
// caller's buffer, as many as fit (at most *count), resuming where the last
// call stopped: ERROR_MORE_DATA with *size the room for the next entry,
// ERROR_NO_MORE_ITEMS at the end.
DWORD WNetOpenEnumA(DWORD scope, DWORD type, DWORD usage, NETRESOURCEA* container, HANDLE* handle);
DWORD WNetOpenEnumW(DWORD scope, DWORD type, DWORD usage, NETRESOURCEW* container, HANDLE* handle);
DWORD WNetEnumResourceA(HANDLE handle, DWORD* count, void* buffer, DWORD* size);
DWORD WNetEnumResourceW(HANDLE handle, DWORD* count, void* buffer, DWORD* size);
DWORD WNetCloseEnum(HANDLE handle);

// ---- Winsock ----------------------------------------------------------------

// Reference-counted: each successful WSAStartup needs its WSACleanup, and a
// WSACleanup without one fails with WSANOTINITIALISED.
int WSAStartup(WORD version, WSADATA* data);
int WSACleanup();
// The calling thread's last Winsock error.
int WSAGetLastError();
void WSASetLastError(int error);

// Windows' forms: error codes are WSAHOST_NOT_FOUND and its kin, the list
// has Windows' layout, and no hints means no filtering at all.
int getaddrinfo(const char* node, const char* service, const ADDRINFOA* hints, ADDRINFOA** result);
void freeaddrinfo(ADDRINFOA* list);
// Dotted text in a buffer of the calling thread's.
char* inet_ntoa(IN_ADDR address);
// Dotted text in Windows' forms ("10.1" is 10.0.0.1, "010" octal, "0x" hex)
// to an address in network byte order; INADDR_NONE when it is no address.
ULONG inet_addr(const char* text);
// kNiNameReqd and the other flags with Windows' values; IPv4 only on POSIX.
int getnameinfo(const SOCKADDR* address, int address_length, char* host, DWORD host_size,
                char* service, DWORD service_size, int flags);

// ---- Processes (psapi) --------------------------------------------------------

// Sizes in bytes, as psapi counts them.
BOOL EnumProcesses(DWORD* ids, DWORD size, DWORD* needed);
// How many times EnumProcesses has listed the processes (a test's count).
DWORD ProcessListingsForTesting();
// Null with the last error set when the process cannot be opened;
// CloseHandle closes the handle.
HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD id);
BOOL EnumProcessModules(HANDLE process, HMODULE* modules, DWORD size, DWORD* needed);
// The base name of the process's executable; its length. A name of `size`
// characters or more is cut to `size`, without a terminator.
DWORD GetModuleBaseNameA(HANDLE process, HMODULE module, char* name, DWORD size);

// ---- Case-blind text ----------------------------------------------------------

// Narrow text in the ANSI code page, a character at a time (a trail byte is
// never taken for a letter).
int _mbsicmp(const unsigned char* a, const unsigned char* b);
int _mbsnbicmp(const unsigned char* a, const unsigned char* b, size_t bytes);
unsigned char* _mbsupr(unsigned char* text);
// UTF-16 by Unicode simple case mapping.
int _wcsicmp(const WCHAR* a, const WCHAR* b);
int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t count);
WCHAR* _wcsupr(WCHAR* text);

// ---- Test seam --------------------------------------------------------------

struct NetConnection {
  DWORD scope;  // RESOURCE_CONNECTED or RESOURCE_REMEMBERED
  DWORD type;
  DWORD usage;
  WideString local;  // "Z:", empty for a connection without a drive
  WideString remote;
  WideString provider;
};

struct ResolvedAddress {
  int family;          // kAfInet or kAfInet6
  uint32_t ipv4;       // network byte order
  uint8_t ipv6[16];
};

// What the network names ask of the system, in the system's own terms.
class NetworkProvider {
 public:
  virtual ~NetworkProvider() = default;
  // drive: 1 (A) to 26 (Z).
  virtual UINT DriveType(int drive) = 0;
  // The share a drive is connected to; ERROR_NOT_CONNECTED for a local
  // drive, ERROR_CONNECTION_UNAVAIL for one only remembered.
  virtual DWORD DriveShare(int drive, WideString* share) = 0;
  // The connections an enumeration of `scope` lists; false when it cannot
  // be opened (the error in *error).
  virtual bool Connections(DWORD scope, std::vector<NetConnection>* list, DWORD* error) = 0;
  // 0 or a Winsock error code.
  virtual int ResolveHost(const std::string& host, std::vector<ResolvedAddress>* addresses) = 0;
  virtual int HostOfAddress(uint32_t address, std::string* host) = 0;
};

// Returns the provider in place before; null puts the system back.
NetworkProvider* SetNetworkProviderForTesting(NetworkProvider* provider);

}  // namespace platform
