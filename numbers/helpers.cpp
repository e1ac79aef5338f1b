// Older helpers for money held as doubles, and small buffer utilities.

#include <cstdint>
#include <cstring>

#include "ovpb32.h"

namespace {

// Amounts closer than this are the same amount.
constexpr double kMoneyTolerance = 0.000001;

int CompareWithTolerance(double difference) {
  if (difference > -kMoneyTolerance && difference < kMoneyTolerance) return 0;
  return difference > 0 ? 1 : -1;  // NaN compares false: -1
}

}  // namespace

extern "C" int OVPB_API dcmp(const double* first, const double* second) {
  const double a = first != nullptr ? *first : 0.0;
  const double b = second != nullptr ? *second : 0.0;
  return CompareWithTolerance(a - b);
}

extern "C" int OVPB_API money_test(const double* value) { return CompareWithTolerance(*value); }

// Outside the 32-bit range (and for NaN) the result is the platform's
// integer-indefinite value, as the x86 conversion gives, without relying
// on the conversion itself (undefined in C++ there).
extern "C" int OVPB_API dint(const double* value) {
  const double v = *value;
  if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
  return static_cast<int>(v);
}

// The sign bit alone, so 0.0 becomes -0.0 and a NaN keeps its payload.
extern "C" void OVPB_API dneg(double* value) {
  uint64_t bits;
  std::memcpy(&bits, value, sizeof bits);
  bits ^= UINT64_C(1) << 63;
  std::memcpy(value, &bits, sizeof bits);
}

extern "C" void OVPB_API money_sub(double* first, const double* second) { *first -= *second; }

// Byte 0: sign in bit 7, count of significant magnitude bytes in bits 0-2;
// bytes 1-5: cents, 40 bits little-endian.
extern "C" void OVPB_API money_accpac(unsigned char* field, double* amount) {
  const int significant = field[0] & 0x07;
  if (significant > 5) {
    *amount = 0.0;
    return;
  }
  for (int i = significant + 1; i <= 5; ++i) field[i] = 0;
  const uint32_t low = static_cast<uint32_t>(field[1]) | static_cast<uint32_t>(field[2]) << 8 |
                       static_cast<uint32_t>(field[3]) << 16 | static_cast<uint32_t>(field[4]) << 24;
  const double cents = field[5] * 4294967296.0 + low;
  const double units = cents * 0.01;
  *amount = (field[0] & 0x80) != 0 ? -units : units;
}

extern "C" void OVPB_API money_bedford(LONG cents, double* amount) { *amount = cents * 0.01; }

extern "C" int OVPB_API ismoney(void) { return 1; }

extern "C" int OVPB_API islong(const char* text) {
  while (*text == ' ' || *text == '-') ++text;
  int digits = 0;
  for (; *text >= '0' && *text <= '9'; ++text) ++digits;
  if (*text != ' ' && *text != 0) return 0;
  return digits <= 10 ? 1 : 0;
}

extern "C" void OVPB_API getbuf(const char* source, char* dest) {
  if (source == nullptr) source = "";
  std::memmove(dest, source, std::strlen(source) + 1);
}

extern "C" void OVPB_API mov_buf(const void* source, int count, void* dest) {
  if (count > 0) std::memmove(dest, source, static_cast<size_t>(count));
}

extern "C" void OVPB_API xchg_word(WORD* first, WORD* second) {
  const WORD kept = *first;
  *first = *second;
  *second = kept;
}

// The 1-based position of the first 0x01 among the first 257 bytes.
extern "C" int OVPB_API scanlnth(const char* buffer) {
  for (int position = 1; position <= 257; ++position)
    if (buffer[position - 1] == 0x01) return position;
  return 0;
}
