// GUIDs from the kernel's random source, laid out as version-4 GUIDs.

#include "platform/guid.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cstdint>

namespace platform {
namespace {

// Reads until size bytes have come or the source fails for good.
template <typename Read>
bool ReadFully(uint8_t* buffer, size_t size, Read read) {
  size_t got = 0;
  while (got < size) {
    ssize_t n = read(buffer + got, size - got);
    if (n > 0) {
      got += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return false;
    }
  }
  return true;
}

// getrandom first; the device where the call is missing or filtered out.
bool KernelRandomBytes(uint8_t* buffer, size_t size) {
  if (ReadFully(buffer, size, [](uint8_t* p, size_t n) { return getrandom(p, n, 0); })) return true;
  int device = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (device < 0) return false;
  bool filled = ReadFully(buffer, size, [device](uint8_t* p, size_t n) { return read(device, p, n); });
  close(device);
  return filled;
}

}  // namespace

HRESULT CoCreateGuid(GUID* guid) {
  if (guid == nullptr) return E_INVALIDARG;
  uint8_t random[16];
  if (!KernelRandomBytes(random, sizeof random)) return HRESULT_FROM_WIN32(RPC_S_UUID_NO_ADDRESS);
  guid->Data1 = static_cast<uint32_t>(random[0]) | static_cast<uint32_t>(random[1]) << 8 |
                static_cast<uint32_t>(random[2]) << 16 | static_cast<uint32_t>(random[3]) << 24;
  guid->Data2 = static_cast<uint16_t>(random[4] | random[5] << 8);
  guid->Data3 = static_cast<uint16_t>(((random[6] | random[7] << 8) & 0x0FFF) | 0x4000);
  for (int i = 0; i < 8; ++i) guid->Data4[i] = random[8 + i];
  guid->Data4[0] = static_cast<uint8_t>((guid->Data4[0] & 0x3F) | 0x80);
  return S_OK;
}

}  // namespace platform
