// The module-wide state of the encodings family, all of it.

#include <atomic>

#include "encoding/encoding.h"

namespace encoding {

const uint8_t* Base85ReverseTable() {
  // Made by the first caller; any others wait for it rather than race.
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> reverse{};
    for (int digit = 0; digit < 85; ++digit) {
      reverse[static_cast<unsigned char>(kBase85Alphabet[digit])] = static_cast<uint8_t>(digit + 1);
    }
    return reverse;
  }();
  return table.data();
}

namespace {
// Set while the library is loaded and RandomKey has not yet run.
std::atomic<int> randomSeedFlag{1};
std::atomic<uint32_t> keyGeneratorState{1};
}  // namespace

bool TakeRandomSeedFlag() { return randomSeedFlag.exchange(0) != 0; }

void SeedKeyGenerator(uint32_t seed) { keyGeneratorState.store(seed, std::memory_order_relaxed); }

// The linear congruence of the Windows runtime's rand, so a seed gives the
// same sequence on both builds.
int NextKeyRandom() {
  uint32_t current = keyGeneratorState.load(std::memory_order_relaxed);
  uint32_t next;
  do {
    next = current * 214013u + 2531011u;
  } while (!keyGeneratorState.compare_exchange_weak(current, next, std::memory_order_relaxed));
  return static_cast<int>((next >> 16) & 0x7FFF);
}

}  // namespace encoding
