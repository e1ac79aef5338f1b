// Name-based GUIDs: the MD5 digest of a name, marked as a version-3 GUID.

#include <cstring>

#include "encoding/encoding.h"
#include "encoding/md5.h"
#include "ovpb32.h"
#include "platform/wide.h"

namespace encoding {
namespace {

// Version 3 in raw byte 6 and variant 10 in raw byte 8, counted in raw byte
// order; so the version sits in the low byte of Data3.
GUID NameBasedGuid(const uint8_t* name, uint32_t length) {
  MD5 digest;
  digest.update(name, length);
  digest.finalize();
  GuidBytes raw;
  std::memcpy(raw.data(), digest.raw_digest(), raw.size());
  raw[6] = static_cast<uint8_t>((raw[6] & 0x0F) | 0x30);
  raw[8] = static_cast<uint8_t>((raw[8] & 0x0F) | 0x80);
  return GuidFromRawBytes(raw);
}

}  // namespace
}  // namespace encoding

extern "C" int OVPB_API GenerateNameBasedGuidA(const char* name, GUID* guid) {
  if (name == nullptr || guid == nullptr) return 0;
  const auto bytes = static_cast<uint32_t>(std::strlen(name));
  *guid = encoding::NameBasedGuid(reinterpret_cast<const uint8_t*>(name), bytes);
  return 1;
}

// UTF-16 units lie in memory as little-endian byte pairs on every target, so
// the name is hashed straight from the caller's string.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "name-based GUIDs hash UTF-16LE from memory");

extern "C" int OVPB_API GenerateNameBasedGuidW(const WCHAR* name, GUID* guid) {
  if (name == nullptr || guid == nullptr) return 0;
  const auto bytes = static_cast<uint32_t>(WideLength(name) * sizeof(WCHAR));
  *guid = encoding::NameBasedGuid(reinterpret_cast<const uint8_t*>(name), bytes);
  return 1;
}
