// Internal parts of the encodings family shared between its files: the
// alphabets and decoding table of every Base64 form, the eleven-digit form of
// a 64-bit value, the raw bytes of a GUID, the GUID text that names files,
// and the family's module-wide state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/types.h"
#include "platform/wide.h"

namespace encoding {

// Digit values 0 to 63 in order. The file-name alphabet differs only in digit
// 63, "-" instead of "/", so that its texts can stand in file names.
inline constexpr char kStandardAlphabet[65] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
inline constexpr char kFileNameAlphabet[65] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-";
inline constexpr WCHAR kStandardAlphabetW[65] =
    OV_WIDE("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
inline constexpr WCHAR kFileNameAlphabetW[65] =
    OV_WIDE("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-");

// The one decoding table of every Base64 decoder, indexed by a byte: the
// digit value for a character of either alphabet (and 62 for "_"), the skip
// mark for "=", the stop mark for anything else, the terminator included.
// The stop mark has the skip bit too, so it is tested first.
constexpr uint8_t kStopMark = 0xFF;
constexpr uint8_t kSkipMark = 0x40;
extern const std::array<uint8_t, 256> kDecodeTable;

inline bool IsStop(uint8_t entry) { return (entry & 0x80) != 0; }
inline bool IsSkip(uint8_t entry) { return (entry & 0x40) != 0; }

// A wide unit is classified by its low byte alone.
inline uint8_t DecodeEntry(char c) { return kDecodeTable[static_cast<unsigned char>(c)]; }
inline uint8_t DecodeEntry(WCHAR c) { return kDecodeTable[static_cast<unsigned>(c) & 0xFF]; }

// Eleven digits, most significant first; the first carries only the top four
// bits of the value.
template <typename Char>
void WriteElevenDigits(uint64_t value, const Char* alphabet, Char* out) {
  for (int i = 0; i < 11; ++i) out[i] = alphabet[(value >> (6 * (10 - i))) & 63];
}

// Up to eleven digits, "=" passed over, ending at the first stop-marked
// character (the terminator is one, so nothing past it is read). The last
// digit read is the least significant; bits above 63 are lost.
template <typename Char>
uint64_t ReadElevenDigits(const Char* text) {
  uint64_t value = 0;
  for (int digits = 0; digits < 11; ++text) {
    const uint8_t entry = DecodeEntry(*text);
    if (IsStop(entry)) break;
    if (IsSkip(entry)) continue;
    value = value << 6 | entry;
    ++digits;
  }
  return value;
}

// The 16 bytes of a GUID as Windows keeps it in memory: Data1, Data2 and
// Data3 little-endian, then Data4.
using GuidBytes = std::array<uint8_t, 16>;
GuidBytes RawBytes(const GUID& guid);
GUID GuidFromRawBytes(const GuidBytes& raw);

// The 22-character text of a GUID over the file-name alphabet (no slash), or
// the empty text for the null GUID. The byte-level copy names its temporary
// files with it.
std::string GuidText(const GUID& guid);

// The Base85 alphabet, and its reverse table: digit value + 1 for each of its
// characters, 0 for every other byte. The table is made at its first use,
// once for the process, whichever thread comes first.
extern const char kBase85Alphabet[86];
const uint8_t* Base85ReverseTable();

// RandomKey's generator: 0 to 32767 from one state for the process, which
// threads advance atomically. The seed flag is true for the first call in the
// process only; RandomKey seeds the generator then.
bool TakeRandomSeedFlag();
void SeedKeyGenerator(uint32_t seed);
int NextKeyRandom();

}  // namespace encoding
