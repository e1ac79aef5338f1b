// The Windows network, Winsock and process-status types and constants the
// library uses, with Windows' layouts and values, for the POSIX build. The
// structure names are Windows' typedef names only, so they never meet the C
// library's own (addrinfo, sockaddr_in, in_addr).
#pragma once

#include "ovpb32_wintypes.h"

#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4

#define RESOURCE_CONNECTED 0x00000001
#define RESOURCE_GLOBALNET 0x00000002
#define RESOURCE_REMEMBERED 0x00000003
#define RESOURCE_CONTEXT 0x00000005
#define RESOURCETYPE_ANY 0x00000000
#define RESOURCETYPE_DISK 0x00000001
#define RESOURCEUSAGE_CONNECTABLE 0x00000001
#define RESOURCEUSAGE_CONTAINER 0x00000002
#define RESOURCEUSAGE_ATTACHED 0x00000010
#define RESOURCEDISPLAYTYPE_SHARE 0x00000003
#define UNIVERSAL_NAME_INFO_LEVEL 0x00000001

#define ERROR_ENVVAR_NOT_FOUND 203L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_PARTIAL_COPY 299L
#define ERROR_BAD_DEVICE 1200L
#define ERROR_CONNECTION_UNAVAIL 1201L
#define ERROR_NO_NETWORK 1222L
#define ERROR_NOT_CONNECTED 2250L

#define WSA_NOT_ENOUGH_MEMORY 8
#define WSAEFAULT 10014
#define WSAEINVAL 10022
#define WSAEAFNOSUPPORT 10047
#define WSAVERNOTSUPPORTED 10092
#define WSANOTINITIALISED 10093
#define WSAHOST_NOT_FOUND 11001
#define WSATRY_AGAIN 11002
#define WSANO_RECOVERY 11003
#ifndef INADDR_NONE
#define INADDR_NONE 0xFFFFFFFFu
#endif

#define PROCESS_QUERY_INFORMATION 0x0400
#define PROCESS_VM_READ 0x0010

typedef struct _NETRESOURCEA {
  DWORD dwScope;
  DWORD dwType;
  DWORD dwDisplayType;
  DWORD dwUsage;
  LPSTR lpLocalName;
  LPSTR lpRemoteName;
  LPSTR lpComment;
  LPSTR lpProvider;
} NETRESOURCEA;

typedef struct _NETRESOURCEW {
  DWORD dwScope;
  DWORD dwType;
  DWORD dwDisplayType;
  DWORD dwUsage;
  LPWSTR lpLocalName;
  LPWSTR lpRemoteName;
  LPWSTR lpComment;
  LPWSTR lpProvider;
} NETRESOURCEW;

typedef struct _UNIVERSAL_NAME_INFOA {
  LPSTR lpUniversalName;
} UNIVERSAL_NAME_INFOA;

typedef struct _UNIVERSAL_NAME_INFOW {
  LPWSTR lpUniversalName;
} UNIVERSAL_NAME_INFOW;

typedef struct IN_ADDR {
  ULONG s_addr;  // network byte order
} IN_ADDR;

typedef struct SOCKADDR {
  WORD sa_family;
  char sa_data[14];
} SOCKADDR;

typedef struct SOCKADDR_IN {
  short sin_family;
  WORD sin_port;
  IN_ADDR sin_addr;
  char sin_zero[8];
} SOCKADDR_IN;

typedef struct ADDRINFOA {
  int ai_flags;
  int ai_family;
  int ai_socktype;
  int ai_protocol;
  size_t ai_addrlen;
  char* ai_canonname;
  SOCKADDR* ai_addr;
  struct ADDRINFOA* ai_next;
} ADDRINFOA;

typedef struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  unsigned short iMaxSockets;
  unsigned short iMaxUdpDg;
  char* lpVendorInfo;
  char szDescription[257];
  char szSystemStatus[129];
} WSADATA;
