// The MD5 digest of RFC 1321, one object per digest, kept on the caller's
// stack: update with input in pieces of any length, finalize once, then read
// the 16 bytes. Misuse is reported on standard error and otherwise ignored.
#pragma once

#include <cstdint>

namespace encoding {

class MD5 {
 public:
  MD5();

  void update(const uint8_t* input, uint32_t length);
  void finalize();

  // The 16 digest bytes, or null before finalize.
  const uint8_t* raw_digest() const;

 private:
  uint32_t state_[4];
  uint32_t bitCount_[2];  // low word first, modulo 2^64
  uint8_t block_[64];
  uint8_t digest_[16];
  bool finalized_;
};

}  // namespace encoding
