// GUIDs and MD5 digests as short texts: two eleven-digit values in Base64,
// the raw bytes in Base32 and Base85. Also the XOR of two GUIDs and the
// two-byte hierarchy keys.

#include "encoding/encoding.h"
#include "ovpb32.h"
#include "platform/guid.h"

namespace encoding {

const char kBase85Alphabet[86] =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()[+-;<=>]@^_`{|}\\";

GuidBytes RawBytes(const GUID& guid) {
  GuidBytes raw{};
  for (int i = 0; i < 4; ++i) raw[i] = static_cast<uint8_t>(guid.Data1 >> (8 * i));
  raw[4] = static_cast<uint8_t>(guid.Data2);
  raw[5] = static_cast<uint8_t>(guid.Data2 >> 8);
  raw[6] = static_cast<uint8_t>(guid.Data3);
  raw[7] = static_cast<uint8_t>(guid.Data3 >> 8);
  for (int i = 0; i < 8; ++i) raw[8 + i] = guid.Data4[i];
  return raw;
}

GUID GuidFromRawBytes(const GuidBytes& raw) {
  GUID guid{};
  guid.Data1 = static_cast<uint32_t>(raw[0]) | static_cast<uint32_t>(raw[1]) << 8 |
               static_cast<uint32_t>(raw[2]) << 16 | static_cast<uint32_t>(raw[3]) << 24;
  guid.Data2 = static_cast<uint16_t>(raw[4] | raw[5] << 8);
  guid.Data3 = static_cast<uint16_t>(raw[6] | raw[7] << 8);
  for (int i = 0; i < 8; ++i) guid.Data4[i] = raw[8 + i];
  return guid;
}

namespace {

// ---- Base64: two 64-bit values ----------------------------------------------

struct TwoValues {
  uint64_t first;
  uint64_t second;
};

uint64_t LittleEndian64(const uint8_t* bytes) {
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

void StoreLittleEndian64(uint64_t value, uint8_t* bytes) {
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

TwoValues GuidValues(const GUID& guid) {
  const uint64_t first = static_cast<uint64_t>(guid.Data1) << 32 | static_cast<uint64_t>(guid.Data2) << 16 | guid.Data3;
  return {first, LittleEndian64(guid.Data4)};
}

void StoreGuidValues(const TwoValues& values, GUID* guid) {
  guid->Data1 = static_cast<uint32_t>(values.first >> 32);
  guid->Data2 = static_cast<uint16_t>(values.first >> 16);
  guid->Data3 = static_cast<uint16_t>(values.first);
  StoreLittleEndian64(values.second, guid->Data4);
}

// The null value pair is the empty text, so the null GUID reads back as itself.
template <typename Char>
void WriteValuesText(const TwoValues& values, const Char* alphabet, Char* out) {
  if (values.first == 0 && values.second == 0) {
    out[0] = 0;
    return;
  }
  WriteElevenDigits(values.first, alphabet, out);
  WriteElevenDigits(values.second, alphabet, out + 11);
  out[22] = 0;
}

// The second value starts at position 11, and only in a text of 12
// characters or more; its length is looked at no further than that.
template <typename Char>
TwoValues ReadValuesText(const Char* text) {
  size_t length = 0;
  while (length < 12 && text[length] != 0) ++length;
  return {ReadElevenDigits(text), length >= 12 ? ReadElevenDigits(text + 11) : 0};
}

// ---- Base32 -----------------------------------------------------------------

const char kBase32Alphabet[33] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";

constexpr std::array<int32_t, 128> MakeBase32Reverse() {
  std::array<int32_t, 128> reverse{};
  for (auto& entry : reverse) entry = -1;
  for (int i = 0; i < 26; ++i) reverse['A' + i] = i;
  for (int i = 0; i < 6; ++i) reverse['2' + i] = 26 + i;
  return reverse;
}

constexpr std::array<int32_t, 128> kBase32Reverse = MakeBase32Reverse();

// Outside the alphabet (bytes above 0x7F included) is -1.
int32_t Base32Value(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 128 ? kBase32Reverse[byte] : -1;
}

// ---- Base85 -----------------------------------------------------------------

// One group of five characters; false at a character outside the alphabet
// (the terminator included, so nothing past it is read) or above 2^32 - 1.
bool ReadBase85Group(const char* text, const uint8_t* reverse, uint32_t* group) {
  uint64_t value = 0;
  for (int i = 0; i < 5; ++i) {
    const uint8_t entry = reverse[static_cast<unsigned char>(text[i])];
    if (entry == 0) return false;
    const unsigned digit = entry - 1u;
    value = value * 85 + digit;  // at most 85^5 - 1, well inside 64 bits
    if (value > 0xFFFFFFFFu) return false;
  }
  *group = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

std::string GuidText(const GUID& guid) {
  char text[23];
  WriteValuesText(GuidValues(guid), kFileNameAlphabet, text);
  return text;
}

}  // namespace encoding

using namespace encoding;

extern "C" int OVPB_API UniqueIdentifier(char* out) {
  if (out == nullptr) return 0;
  GUID guid;
  if (FAILED(platform::CoCreateGuid(&guid))) {
    out[0] = 0;
    return 0;
  }
  WriteValuesText(GuidValues(guid), kFileNameAlphabet, out);
  return 1;
}

extern "C" void OVPB_API GUIDtoBase64A(const GUID* guid, char* out) {
  if (guid == nullptr || out == nullptr) return;
  WriteValuesText(GuidValues(*guid), kFileNameAlphabet, out);
}

extern "C" void OVPB_API GUIDtoBase64W(const GUID* guid, WCHAR* out) {
  if (guid == nullptr || out == nullptr) return;
  WriteValuesText(GuidValues(*guid), kFileNameAlphabetW, out);
}

extern "C" void OVPB_API Base64toGUIDA(const char* text, GUID* guid) {
  if (text == nullptr || guid == nullptr) return;
  StoreGuidValues(ReadValuesText(text), guid);
}

extern "C" void OVPB_API Base64toGUIDW(const WCHAR* text, GUID* guid) {
  if (text == nullptr || guid == nullptr) return;
  StoreGuidValues(ReadValuesText(text), guid);
}

extern "C" void OVPB_API MD5toBase64(const BYTE* digest, char* out) {
  if (digest == nullptr || out == nullptr) return;
  WriteValuesText(TwoValues{LittleEndian64(digest), LittleEndian64(digest + 8)}, kFileNameAlphabet, out);
}

extern "C" void OVPB_API Base64toMD5(const char* text, BYTE* digest) {
  if (text == nullptr || digest == nullptr) return;
  const TwoValues values = ReadValuesText(text);
  StoreLittleEndian64(values.first, digest);
  StoreLittleEndian64(values.second, digest + 8);
}

// Three 40-bit groups of eight characters, then the 16th byte as two.
extern "C" void OVPB_API GUIDtoBase32(const GUID* guid, char* out) {
  if (guid == nullptr || out == nullptr) return;
  const GuidBytes raw = RawBytes(*guid);
  for (int group = 0; group < 3; ++group) {
    uint64_t bits = 0;
    for (int i = 0; i < 5; ++i) bits = bits << 8 | raw[5 * group + i];
    for (int i = 0; i < 8; ++i) out[8 * group + i] = kBase32Alphabet[(bits >> (35 - 5 * i)) & 31];
  }
  out[24] = kBase32Alphabet[raw[15] >> 3];
  out[25] = kBase32Alphabet[(raw[15] & 7) << 2];
  out[26] = 0;
}

// Without validation: a character outside the alphabet is -1 and sets every
// bit it contributes. The terminator is one, and so is every position after
// it, which is never read.
extern "C" void OVPB_API Base32toGUID(const char* text, GUID* guid) {
  if (text == nullptr || guid == nullptr) return;
  int32_t values[26];
  bool ended = false;
  for (int i = 0; i < 26; ++i) {
    ended = ended || text[i] == 0;
    values[i] = ended ? -1 : Base32Value(text[i]);
  }
  GuidBytes raw{};
  for (int group = 0; group < 3; ++group) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = bits << 5 | static_cast<uint32_t>(values[8 * group + i] & 31);
    for (int i = 0; i < 5; ++i) raw[5 * group + i] = static_cast<uint8_t>(bits >> (32 - 8 * i));
  }
  raw[15] = static_cast<uint8_t>((values[24] & 31) << 3 | ((values[25] >> 2) & 7));
  *guid = GuidFromRawBytes(raw);
}

extern "C" int OVPB_API IsValidBase32(const char* text) {
  if (text == nullptr) return 0;
  for (int i = 0; i < 26; ++i) {
    if (Base32Value(text[i]) < 0) return 0;
  }
  return 1;
}

// Four big-endian 32-bit groups of five digits each, most significant first.
extern "C" void OVPB_API GUIDtoBase85(const GUID* guid, char* out) {
  if (guid == nullptr || out == nullptr) return;
  const GuidBytes raw = RawBytes(*guid);
  for (int group = 0; group < 4; ++group) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | raw[4 * group + i];
    for (int i = 4; i >= 0; --i) {
      out[5 * group + i] = kBase85Alphabet[value % 85];
      value /= 85;
    }
  }
  out[20] = 0;
}

// Groups read before a failure stay in the output; the rest keep what was there.
extern "C" int OVPB_API Base85toGUID(const char* text, GUID* guid) {
  if (text == nullptr || guid == nullptr) return 0;
  const uint8_t* reverse = Base85ReverseTable();
  GuidBytes raw = RawBytes(*guid);
  int result = 1;
  for (int group = 0; group < 4; ++group) {
    uint32_t value;
    if (!ReadBase85Group(text + 5 * group, reverse, &value)) {
      result = 0;
      break;
    }
    for (int i = 0; i < 4; ++i) raw[4 * group + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
  }
  *guid = GuidFromRawBytes(raw);
  return result;
}

extern "C" void OVPB_API XorGuids(const GUID* a, const GUID* b, GUID* out) {
  if (a == nullptr || b == nullptr || out == nullptr) return;
  const GuidBytes left = RawBytes(*a), right = RawBytes(*b);
  GuidBytes mixed;
  for (size_t i = 0; i < mixed.size(); ++i) mixed[i] = left[i] ^ right[i];
  *out = GuidFromRawBytes(mixed);
}

extern "C" void OVPB_API IndexToHierarchy(char* out, WORD index) {
  if (out == nullptr) return;
  out[0] = static_cast<char>(33 + index / 223);
  out[1] = static_cast<char>(33 + index % 223);
}

// The second byte is not read when the first is below 33 (it may be the
// terminator).
extern "C" int OVPB_API HierarchyToIndex(const char* text) {
  if (text == nullptr) return -1;
  const int first = static_cast<unsigned char>(text[0]);
  if (first < 33) return -1;
  const int second = static_cast<unsigned char>(text[1]);
  if (second < 33) return -1;
  return (first - 33) * 223 + (second - 33);
}
