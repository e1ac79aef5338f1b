// Base64 in the library's three forms: the eleven-digit form of a 64-bit
// value, the word-group encoding (six digits per little-endian word, least
// significant first), and MIME Base64 without line breaks.

#include <cstring>
#include <type_traits>

#include "encoding/encoding.h"
#include "ovpb32.h"

namespace encoding {

namespace {

constexpr std::array<uint8_t, 256> MakeDecodeTable() {
  std::array<uint8_t, 256> table{};
  for (auto& entry : table) entry = kStopMark;
  for (int i = 0; i < 26; ++i) {
    table['A' + i] = static_cast<uint8_t>(i);
    table['a' + i] = static_cast<uint8_t>(26 + i);
  }
  for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<uint8_t>(52 + i);
  table['+'] = table['_'] = 62;
  table['/'] = table['-'] = 63;
  table['='] = kSkipMark;
  return table;
}

}  // namespace

const std::array<uint8_t, 256> kDecodeTable = MakeDecodeTable();

namespace {

// The decoding table spread over the four places of a group of digits, so a
// whole group is four lookups and three ors; a non-digit sets bit 24.
struct GroupTables {
  uint32_t place[4][256];
};

constexpr GroupTables MakeGroupTables() {
  constexpr std::array<uint8_t, 256> decode = MakeDecodeTable();
  GroupTables tables{};
  for (int place = 0; place < 4; ++place) {
    for (int c = 0; c < 256; ++c) {
      const uint32_t digit = decode[c];
      tables.place[place][c] = digit >= kSkipMark ? 1u << 24 : digit << (18 - 6 * place);
    }
  }
  return tables;
}

constexpr GroupTables kGroupTables = MakeGroupTables();

// A group's 24 bits, with bit 24 set if any of its characters is not a digit;
// a wide unit counts by its low byte.
template <typename Char>
uint32_t GroupBits(const Char* text) {
  const auto byte = [text](int i) { return static_cast<unsigned>(text[i]) & 0xFF; };
  return kGroupTables.place[0][byte(0)] | kGroupTables.place[1][byte(1)] | kGroupTables.place[2][byte(2)] |
         kGroupTables.place[3][byte(3)];
}

// Two digits of the standard alphabet for every 12 bits, so that the narrow
// MIME encoder writes a group of four characters with two lookups.
struct DigitPairs {
  char pair[4096][2];
};

constexpr DigitPairs MakeDigitPairs() {
  DigitPairs pairs{};
  for (int bits = 0; bits < 4096; ++bits) {
    pairs.pair[bits][0] = kStandardAlphabet[bits >> 6];
    pairs.pair[bits][1] = kStandardAlphabet[bits & 63];
  }
  return pairs;
}

constexpr DigitPairs kDigitPairs = MakeDigitPairs();

// ---- Word groups ----------------------------------------------------------

void WriteWordDigits(uint32_t word, int digits, char* out) {
  for (int i = 0; i < digits; ++i) out[i] = kStandardAlphabet[(word >> (6 * i)) & 63];
}

// Digits of a final short group and the bytes they stand for: 2, 3 and 5
// digits give 1, 2 and 3 bytes; 1 or 4 digits give nothing.
int ShortGroupBytes(int digits) { return digits == 2 ? 1 : digits == 3 ? 2 : digits == 5 ? 3 : 0; }

// The digits of one group in text order; false at a stop or skip mark, which
// ends the decode before anything after it in the group is read.
bool ReadGroupDigits(const char* text, int count, uint8_t* digits) {
  for (int i = 0; i < count; ++i) {
    const uint8_t entry = DecodeEntry(text[i]);
    if (entry >= kSkipMark) return false;
    digits[i] = entry;
  }
  return true;
}

// ---- MIME ------------------------------------------------------------------

// Whole groups of three bytes, then a final one or two with "=" padding.
template <typename Char>
size_t EncodeMime(const uint8_t* source, size_t length, Char* out) {
  constexpr bool narrow = std::is_same<Char, char>::value;
  const Char* alphabet = nullptr;
  if constexpr (narrow) {
    alphabet = kStandardAlphabet;
  } else {
    alphabet = kStandardAlphabetW;
  }
  Char* o = out;
  const uint8_t* end = source + length - length % 3;
  for (; source != end; source += 3, o += 4) {
    const uint32_t group = static_cast<uint32_t>(source[0]) << 16 | static_cast<uint32_t>(source[1]) << 8 | source[2];
    if constexpr (narrow) {
      std::memcpy(o, kDigitPairs.pair[group >> 12], 2);
      std::memcpy(o + 2, kDigitPairs.pair[group & 4095], 2);
    } else {
      o[0] = alphabet[group >> 18];
      o[1] = alphabet[(group >> 12) & 63];
      o[2] = alphabet[(group >> 6) & 63];
      o[3] = alphabet[group & 63];
    }
  }
  switch (length % 3) {
    case 1:
      o[0] = alphabet[source[0] >> 2];
      o[1] = alphabet[(source[0] & 3) << 4];
      o[2] = o[3] = '=';
      o += 4;
      break;
    case 2:
      o[0] = alphabet[source[0] >> 2];
      o[1] = alphabet[(source[0] & 3) << 4 | source[1] >> 4];
      o[2] = alphabet[(source[1] & 15) << 2];
      o[3] = '=';
      o += 4;
      break;
  }
  return static_cast<size_t>(o - out);
}

void StoreGroup(uint32_t bits, uint8_t* out) {
  out[0] = static_cast<uint8_t>(bits >> 16);
  out[1] = static_cast<uint8_t>(bits >> 8);
  out[2] = static_cast<uint8_t>(bits);
}

// Digit by digit with a position in the group of four: a stop-marked
// character restarts the group, "=" is passed over. Runs of whole groups of
// digits take a short way, two groups at a time, which stores the same bytes.
template <typename Char>
int DecodeMime(const Char* source, int length, uint8_t* out) {
  const Char* end = source + length;
  size_t k = 0;
  int position = 0;
  while (source != end) {
    if (position == 0) {
      while (end - source >= 8) {
        const uint32_t first = GroupBits(source), second = GroupBits(source + 4);
        if ((first | second) >> 24) break;
        StoreGroup(first, out + k);
        StoreGroup(second, out + k + 3);
        k += 6;
        source += 8;
      }
      if (source == end) break;
    }
    const uint8_t entry = DecodeEntry(*source++);
    if (IsStop(entry)) {
      position = 0;
      continue;
    }
    if (IsSkip(entry)) continue;
    switch (position) {
      case 0:
        out[k] = static_cast<uint8_t>(entry << 2);
        break;
      case 1:
        out[k] |= (entry >> 4) & 3;
        out[++k] = static_cast<uint8_t>(entry << 4);
        break;
      case 2:
        out[k] |= (entry >> 2) & 15;
        out[++k] = static_cast<uint8_t>(entry << 6);
        break;
      case 3:
        out[k++] |= entry;
        break;
    }
    position = (position + 1) & 3;
  }
  return static_cast<int>(k);
}

}  // namespace
}  // namespace encoding

using namespace encoding;

extern "C" void OVPB_API Encode64asBase64A(char* out, ULONGLONG value) {
  if (out == nullptr) return;
  WriteElevenDigits<char>(value, kFileNameAlphabet, out);
  out[11] = 0;
}

extern "C" void OVPB_API Encode64asBase64W(WCHAR* out, ULONGLONG value) {
  if (out == nullptr) return;
  WriteElevenDigits<WCHAR>(value, kFileNameAlphabetW, out);
  out[11] = 0;
}

extern "C" ULONGLONG OVPB_API DecodeBase64as64A(const char* text) {
  return text != nullptr ? ReadElevenDigits(text) : 0;
}

extern "C" ULONGLONG OVPB_API DecodeBase64as64W(const WCHAR* text) {
  return text != nullptr ? ReadElevenDigits(text) : 0;
}

extern "C" int OVPB_API EncodeAsBase64(const BYTE* source, char* out, DWORD length) {
  if (length == 0 || source == nullptr || out == nullptr) return 0;
  size_t written = 0;
  const BYTE* end = source + (length & ~3u);
  for (; source != end; source += 4, written += 6) {
    const uint32_t word = static_cast<uint32_t>(source[0]) | static_cast<uint32_t>(source[1]) << 8 |
                          static_cast<uint32_t>(source[2]) << 16 | static_cast<uint32_t>(source[3]) << 24;
    WriteWordDigits(word, 6, out + written);
  }
  const int rest = static_cast<int>(length & 3);
  if (rest != 0) {
    uint32_t word = 0;
    for (int i = 0; i < rest; ++i) word |= static_cast<uint32_t>(source[i]) << (8 * i);
    const int digits = (3 * rest + 1) / 2;
    WriteWordDigits(word, digits, out + written);
    written += digits;
  }
  return static_cast<int>(written);
}

extern "C" int OVPB_API DecodeAsBase64(const char* source, BYTE* out, int length) {
  if (length < 1 || source == nullptr || out == nullptr) return 0;
  int written = 0;
  for (int start = 0; start < length; start += 6) {
    const int left = length - start;
    const int digitCount = left >= 6 ? 6 : left;
    const int byteCount = digitCount == 6 ? 4 : ShortGroupBytes(digitCount);
    uint8_t digits[6];
    if (byteCount == 0 || !ReadGroupDigits(source + start, digitCount, digits)) break;
    uint32_t word = 0;
    for (int i = digitCount - 1; i >= 0; --i) word = word * 64 + digits[i];
    for (int i = 0; i < byteCount; ++i) out[written++] = static_cast<BYTE>(word >> (8 * i));
  }
  return written;
}

extern "C" int OVPB_API EncodeAsMimeBase64A(const BYTE* source, char* out, int length) {
  if (length < 1 || source == nullptr || out == nullptr) return 0;
  return static_cast<int>(EncodeMime(source, static_cast<size_t>(length), out));
}

extern "C" int OVPB_API EncodeAsMimeBase64W(const BYTE* source, WCHAR* out, int length) {
  if (length < 1 || source == nullptr || out == nullptr) return 0;
  const size_t characters = EncodeMime(source, static_cast<size_t>(length), out);
  return static_cast<int>(characters * sizeof(WCHAR));
}

extern "C" int OVPB_API DecodeAsMimeBase64A(const char* source, BYTE* out, int length) {
  if (length < 1 || source == nullptr || out == nullptr) return 0;
  return DecodeMime(source, length, out);
}

extern "C" int OVPB_API DecodeAsMimeBase64W(const WCHAR* source, BYTE* out, int length) {
  if (length < 1 || source == nullptr || out == nullptr) return 0;
  return DecodeMime(source, length, out);
}

extern "C" int OVPB_API IsValidBase64(const char* text) {
  if (text == nullptr) return 0;
  for (int digits = 0; digits < 22; ++text) {
    const uint8_t entry = DecodeEntry(*text);
    if (IsStop(entry)) return 0;
    if (!IsSkip(entry)) ++digits;
  }
  return 1;
}
