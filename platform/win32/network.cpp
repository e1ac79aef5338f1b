// Connections, Winsock and the process list through mpr, ws2_32 and psapi,
// each loaded at its first use; a test's NetworkProvider answers in their
// place when one is set.

#include <mbstring.h>

#include <atomic>

#include "platform/common/network_provided.h"
#include "platform/library.h"
#include "platform/network.h"

namespace platform {
namespace {

// A function of a system library, found once.
template <typename Function>
Function Load(const char* library, const char* name) {
  HMODULE module = LoadLibraryA(library);
  return module != nullptr ? GetProcAddressAs<Function>(module, name) : nullptr;
}

#define OV_SYSTEM_FUNCTION(library, name, type) \
  static const auto name = Load<type>(library, #name)

using OpenEnumAFunction = DWORD(WINAPI*)(DWORD, DWORD, DWORD, NETRESOURCEA*, HANDLE*);
using OpenEnumWFunction = DWORD(WINAPI*)(DWORD, DWORD, DWORD, NETRESOURCEW*, HANDLE*);
using EnumResourceFunction = DWORD(WINAPI*)(HANDLE, DWORD*, void*, DWORD*);
using CloseEnumFunction = DWORD(WINAPI*)(HANDLE);
using UniversalNameAFunction = DWORD(WINAPI*)(const char*, DWORD, void*, DWORD*);
using UniversalNameWFunction = DWORD(WINAPI*)(const WCHAR*, DWORD, void*, DWORD*);
using StartupFunction = int(WINAPI*)(WORD, WSADATA*);
using NoArgumentsFunction = int(WINAPI*)();
using SetErrorFunction = void(WINAPI*)(int);
using AddrInfoFunction = int(WINAPI*)(const char*, const char*, const ADDRINFOA*, ADDRINFOA**);
using FreeAddrInfoFunction = void(WINAPI*)(ADDRINFOA*);
using NameInfoFunction = int(WINAPI*)(const SOCKADDR*, int, char*, DWORD, char*, DWORD, int);
using NumberToTextFunction = char*(WINAPI*)(IN_ADDR);
using TextToNumberFunction = ULONG(WINAPI*)(const char*);
using ListProcessesFunction = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using ListModulesFunction = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using ModuleNameFunction = DWORD(WINAPI*)(HANDLE, HMODULE, char*, DWORD);

const char kMpr[] = "mpr.dll";
const char kWinsock[] = "ws2_32.dll";
const char kPsapi[] = "psapi.dll";

std::atomic<DWORD> process_listings{0};

}  // namespace

DWORD GetEnvironmentVariableA(const char* name, char* buffer, DWORD size) {
  return ::GetEnvironmentVariableA(name, buffer, size);
}

DWORD GetEnvironmentVariableW(const WCHAR* name, WCHAR* buffer, DWORD size) {
  return ::GetEnvironmentVariableW(name, buffer, size);
}

UINT GetDriveTypeA(const char* root) {
  NetworkProvider* test = provided::TestProvider();
  return test != nullptr ? provided::GetDriveType(*test, root) : ::GetDriveTypeA(root);
}

UINT GetDriveTypeW(const WCHAR* root) {
  NetworkProvider* test = provided::TestProvider();
  return test != nullptr ? provided::GetDriveType(*test, root) : ::GetDriveTypeW(root);
}

DWORD WNetGetUniversalNameA(const char* local_path, DWORD level, void* buffer, DWORD* size) {
  if (NetworkProvider* test = provided::TestProvider()) {
    return provided::WNetGetUniversalName(*test, local_path, level, buffer, size);
  }
  OV_SYSTEM_FUNCTION(kMpr, WNetGetUniversalNameA, UniversalNameAFunction);
  return WNetGetUniversalNameA != nullptr ? WNetGetUniversalNameA(local_path, level, buffer, size) : ERROR_NO_NETWORK;
}

DWORD WNetGetUniversalNameW(const WCHAR* local_path, DWORD level, void* buffer, DWORD* size) {
  if (NetworkProvider* test = provided::TestProvider()) {
    return provided::WNetGetUniversalName(*test, local_path, level, buffer, size);
  }
  OV_SYSTEM_FUNCTION(kMpr, WNetGetUniversalNameW, UniversalNameWFunction);
  return WNetGetUniversalNameW != nullptr ? WNetGetUniversalNameW(local_path, level, buffer, size) : ERROR_NO_NETWORK;
}

DWORD WNetOpenEnumA(DWORD scope, DWORD type, DWORD usage, NETRESOURCEA* container, HANDLE* handle) {
  if (NetworkProvider* test = provided::TestProvider()) return provided::WNetOpenEnum(*test, scope, type, false, handle);
  OV_SYSTEM_FUNCTION(kMpr, WNetOpenEnumA, OpenEnumAFunction);
  return WNetOpenEnumA != nullptr ? WNetOpenEnumA(scope, type, usage, container, handle) : ERROR_NO_NETWORK;
}

DWORD WNetOpenEnumW(DWORD scope, DWORD type, DWORD usage, NETRESOURCEW* container, HANDLE* handle) {
  if (NetworkProvider* test = provided::TestProvider()) return provided::WNetOpenEnum(*test, scope, type, true, handle);
  OV_SYSTEM_FUNCTION(kMpr, WNetOpenEnumW, OpenEnumWFunction);
  return WNetOpenEnumW != nullptr ? WNetOpenEnumW(scope, type, usage, container, handle) : ERROR_NO_NETWORK;
}

DWORD WNetEnumResourceA(HANDLE handle, DWORD* count, void* buffer, DWORD* size) {
  if (provided::IsEnumeration(handle)) return provided::WNetEnumResource(handle, count, buffer, size);
  OV_SYSTEM_FUNCTION(kMpr, WNetEnumResourceA, EnumResourceFunction);
  return WNetEnumResourceA != nullptr ? WNetEnumResourceA(handle, count, buffer, size) : ERROR_INVALID_HANDLE;
}

DWORD WNetEnumResourceW(HANDLE handle, DWORD* count, void* buffer, DWORD* size) {
  if (provided::IsEnumeration(handle)) return provided::WNetEnumResource(handle, count, buffer, size);
  OV_SYSTEM_FUNCTION(kMpr, WNetEnumResourceW, EnumResourceFunction);
  return WNetEnumResourceW != nullptr ? WNetEnumResourceW(handle, count, buffer, size) : ERROR_INVALID_HANDLE;
}

DWORD WNetCloseEnum(HANDLE handle) {
  if (provided::IsEnumeration(handle)) return provided::WNetCloseEnum(handle);
  OV_SYSTEM_FUNCTION(kMpr, WNetCloseEnum, CloseEnumFunction);
  return WNetCloseEnum != nullptr ? WNetCloseEnum(handle) : ERROR_INVALID_HANDLE;
}

int WSAStartup(WORD version, WSADATA* data) {
  OV_SYSTEM_FUNCTION(kWinsock, WSAStartup, StartupFunction);
  return WSAStartup != nullptr ? WSAStartup(version, data) : WSASYSNOTREADY;
}

int WSACleanup() {
  OV_SYSTEM_FUNCTION(kWinsock, WSACleanup, NoArgumentsFunction);
  return WSACleanup != nullptr ? WSACleanup() : SOCKET_ERROR;
}

int WSAGetLastError() {
  OV_SYSTEM_FUNCTION(kWinsock, WSAGetLastError, NoArgumentsFunction);
  return WSAGetLastError != nullptr ? WSAGetLastError() : WSASYSNOTREADY;
}

void WSASetLastError(int error) {
  OV_SYSTEM_FUNCTION(kWinsock, WSASetLastError, SetErrorFunction);
  if (WSASetLastError != nullptr) WSASetLastError(error);
}

int getaddrinfo(const char* node, const char* service, const ADDRINFOA* hints, ADDRINFOA** result) {
  if (NetworkProvider* test = provided::TestProvider()) {
    int error = provided::getaddrinfo(*test, node, hints, result);
    if (error == 0) provided::TrackAddressList(*result);
    return error;
  }
  OV_SYSTEM_FUNCTION(kWinsock, getaddrinfo, AddrInfoFunction);
  return getaddrinfo != nullptr ? getaddrinfo(node, service, hints, result) : WSASYSNOTREADY;
}

void freeaddrinfo(ADDRINFOA* list) {
  if (provided::FreeTrackedAddressList(list)) return;
  OV_SYSTEM_FUNCTION(kWinsock, freeaddrinfo, FreeAddrInfoFunction);
  if (freeaddrinfo != nullptr) freeaddrinfo(list);
}

char* inet_ntoa(IN_ADDR address) {
  OV_SYSTEM_FUNCTION(kWinsock, inet_ntoa, NumberToTextFunction);
  return inet_ntoa != nullptr ? inet_ntoa(address) : nullptr;
}

ULONG inet_addr(const char* text) {
  OV_SYSTEM_FUNCTION(kWinsock, inet_addr, TextToNumberFunction);
  return inet_addr != nullptr ? inet_addr(text) : INADDR_NONE;
}

int getnameinfo(const SOCKADDR* address, int address_length, char* host, DWORD host_size, char* service,
                DWORD service_size, int flags) {
  if (NetworkProvider* test = provided::TestProvider()) {
    return provided::getnameinfo(*test, address, address_length, host, host_size, flags);
  }
  OV_SYSTEM_FUNCTION(kWinsock, getnameinfo, NameInfoFunction);
  return getnameinfo != nullptr ? getnameinfo(address, address_length, host, host_size, service, service_size, flags)
                                : WSASYSNOTREADY;
}

BOOL EnumProcesses(DWORD* ids, DWORD size, DWORD* needed) {
  ++process_listings;
  OV_SYSTEM_FUNCTION(kPsapi, EnumProcesses, ListProcessesFunction);
  return EnumProcesses != nullptr && EnumProcesses(ids, size, needed);
}

DWORD ProcessListingsForTesting() { return process_listings.load(); }

HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD id) { return ::OpenProcess(access, inherit, id); }

BOOL EnumProcessModules(HANDLE process, HMODULE* modules, DWORD size, DWORD* needed) {
  OV_SYSTEM_FUNCTION(kPsapi, EnumProcessModules, ListModulesFunction);
  return EnumProcessModules != nullptr && EnumProcessModules(process, modules, size, needed);
}

DWORD GetModuleBaseNameA(HANDLE process, HMODULE module, char* name, DWORD size) {
  OV_SYSTEM_FUNCTION(kPsapi, GetModuleBaseNameA, ModuleNameFunction);
  return GetModuleBaseNameA != nullptr ? GetModuleBaseNameA(process, module, name, size) : 0;
}

int _mbsicmp(const unsigned char* a, const unsigned char* b) { return ::_mbsicmp(a, b); }

int _mbsnbicmp(const unsigned char* a, const unsigned char* b, size_t bytes) { return ::_mbsnbicmp(a, b, bytes); }

unsigned char* _mbsupr(unsigned char* text) { return ::_mbsupr(text); }

// The system's ordinal comparison folds by Unicode's simple mapping; the
// runtime's own only folds ASCII.
int _wcsicmp(const WCHAR* a, const WCHAR* b) { return ::CompareStringOrdinal(a, -1, b, -1, TRUE) - CSTR_EQUAL; }

int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t count) {
  int length_a = 0, length_b = 0;
  while (static_cast<size_t>(length_a) < count && a[length_a] != 0) ++length_a;
  while (static_cast<size_t>(length_b) < count && b[length_b] != 0) ++length_b;
  return ::CompareStringOrdinal(a, length_a, b, length_b, TRUE) - CSTR_EQUAL;
}

WCHAR* _wcsupr(WCHAR* text) {
  ::CharUpperBuffW(text, static_cast<DWORD>(WideLength(text)));
  return text;
}

}  // namespace platform
