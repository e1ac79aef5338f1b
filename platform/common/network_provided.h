// The network operations answered from a NetworkProvider: the POSIX layer's
// own implementation, and on Windows the test seam's. Entries, strings and
// address lists are laid out as Windows lays them out.
#pragma once

#include "platform/network.h"

namespace platform {
namespace provided {

// The provider a test put in place, or null.
NetworkProvider* TestProvider();

UINT GetDriveType(NetworkProvider& provider, const char* root);
UINT GetDriveType(NetworkProvider& provider, const WCHAR* root);

DWORD WNetGetUniversalName(NetworkProvider& provider, const char* local_path, DWORD level,
                           void* buffer, DWORD* size);
DWORD WNetGetUniversalName(NetworkProvider& provider, const WCHAR* local_path, DWORD level,
                           void* buffer, DWORD* size);

DWORD WNetOpenEnum(NetworkProvider& provider, DWORD scope, DWORD type, bool wide, HANDLE* handle);
// Whether `handle` is an enumeration opened here (the rest are the system's).
bool IsEnumeration(HANDLE handle);
DWORD WNetEnumResource(HANDLE handle, DWORD* count, void* buffer, DWORD* size);
DWORD WNetCloseEnum(HANDLE handle);

// Address lists made here, freed by FreeAddressList. Where the system makes
// lists too, each one made here is tracked, and FreeTrackedAddressList
// frees a list if it is one of them (and says whether it was).
int getaddrinfo(NetworkProvider& provider, const char* node, const ADDRINFOA* hints, ADDRINFOA** result);
void FreeAddressList(ADDRINFOA* list);
void TrackAddressList(ADDRINFOA* list);
bool FreeTrackedAddressList(ADDRINFOA* list);
int getnameinfo(NetworkProvider& provider, const SOCKADDR* address, int address_length, char* host,
                DWORD host_size, int flags);

}  // namespace provided
}  // namespace platform
