// Short hashes for small tables keyed by name, and random printable keys.

#include <cstdint>

#include "encoding/encoding.h"
#include "ovpb32.h"
#include "platform/system.h"

// Fibonacci weights from 3 (the one before counting as 2), each byte signed,
// everything kept in 16 bits.
extern "C" WORD OVPB_API ovhash(const char* text) {
  if (text == nullptr) return 0;
  uint16_t sum = 0, previousWeight = 2, weight = 3;
  for (; *text != 0; ++text) {
    sum = static_cast<uint16_t>(sum + static_cast<int8_t>(*text) * weight);
    const uint16_t nextWeight = static_cast<uint16_t>(weight + previousWeight);
    previousWeight = weight;
    weight = nextWeight;
  }
  return static_cast<WORD>(sum % 407);
}

// Seeded once per process from the low 16 bits of the tick count; each
// character is one of the 94 from "!" to "~", all equally likely.
extern "C" void OVPB_API RandomKey(char* out, int count) {
  if (out == nullptr) return;
  if (encoding::TakeRandomSeedFlag()) encoding::SeedKeyGenerator(platform::GetTickCount() & 0xFFFF);
  int i = 0;
  for (; i < count; ++i) out[i] = static_cast<char>(33 + (encoding::NextKeyRandom() * 94) / 32768);
  out[i] = 0;
}
