// Keyless scrambling of short texts: each byte is mirrored within its range
// (32-94, 95-125, 127-255), and "~" ends the scrambled text.

#include <cstdint>
#include <cstring>

#include "ovpb32.h"

namespace {

constexpr char kEndMarker = '~';

// Control characters all become "^" and "~" becomes "0", so neither comes
// back exactly.
char Scramble(char c) {
  const int byte = static_cast<unsigned char>(c);
  if (byte < 32) return '^';
  if (byte <= 94) return static_cast<char>(126 - byte);
  if (byte <= 125) return static_cast<char>(220 - byte);
  if (byte == 126) return '0';
  return static_cast<char>(382 - byte);
}

// The terminator and the end marker both end the text.
char Unscramble(char c) {
  const int byte = static_cast<unsigned char>(c);
  if (byte == 0 || byte == 126) return 0;
  if (byte <= 94) return static_cast<char>(126 - byte);
  if (byte <= 125) return static_cast<char>(220 - byte);
  return static_cast<char>(382 - byte);
}

}  // namespace

extern "C" void OVPB_API Encrypt(const char* text, char* dest, int size) {
  if (dest == nullptr) return;
  const long long length = text != nullptr ? static_cast<long long>(std::strlen(text)) : 0;
  const long long whole = length + 2;  // the scrambled bytes, the end marker, the terminator
  long long room = size;
  if (room > whole) room = whole;
  if (text != nullptr && (room == -1 || room == whole)) {
    for (long long i = 0; i < length; ++i) dest[i] = Scramble(text[i]);
    dest[length] = kEndMarker;
    dest[length + 1] = 0;
  } else if (text != nullptr && room >= 1) {
    for (long long i = 0; i < room - 1; ++i) dest[i] = Scramble(text[i]);
    dest[room - 1] = 0;
  } else {
    dest[0] = 0;
  }
}

extern "C" void OVPB_API Encrypt2(const char* text, char* dest) { Encrypt(text, dest, -1); }

extern "C" void OVPB_API Decrypt(const char* scrambled, char* dest, int size) {
  if (dest == nullptr) return;
  if (size > 0) std::memset(dest, 0, static_cast<size_t>(size));
  if (scrambled == nullptr || size == 0 || size < -1) {
    dest[0] = 0;
    return;
  }
  const size_t limit = size == -1 ? SIZE_MAX : static_cast<size_t>(size - 1);
  size_t i = 0;
  for (; i < limit; ++i) {
    dest[i] = Unscramble(scrambled[i]);
    if (dest[i] == 0) return;
  }
  dest[i] = 0;
}

extern "C" void OVPB_API Decrypt2(const char* scrambled, char* dest) { Decrypt(scrambled, dest, -1); }
