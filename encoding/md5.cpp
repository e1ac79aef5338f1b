// MD5 (RFC 1321).

#include "encoding/md5.h"

#include <cstdio>
#include <cstring>


namespace encoding {
namespace {

inline uint32_t RotateLeft(uint32_t x, int n) { return x << n | x >> (32 - n); }

inline uint32_t LoadWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

inline void StoreWord(uint32_t word, uint8_t* p) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(word >> (8 * i));
}

// The round functions in forms with a short dependency on b, the word made
// by the step before: F selects bits, H is parity, I mixes in the complement
// of d. G's two halves never share a bit, so they are added rather than
// or-ed, and the half without b is ready early.
#define MD5_F(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define MD5_G(b, c, d) (((c) & ~(d)) + ((b) & (d)))
#define MD5_H(b, c, d) ((b) ^ (c) ^ (d))
#define MD5_I(b, c, d) ((c) ^ ((b) | ~(d)))

// One step: the message word and constant are added before the round function
// is ready, so only the function, the rotation and one addition wait on b.
#define MD5_STEP(f, a, b, c, d, word, constant, shift) \
  (a) += (word) + (constant);                          \
  (a) += f((b), (c), (d));                             \
  (a) = RotateLeft((a), (shift)) + (b)

// Transforms count consecutive 64-byte blocks, the chaining words held in
// registers throughout.
void Compress(uint32_t state[4], const uint8_t* blocks, size_t count) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; count != 0; --count, blocks += 64) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadWord(blocks + 4 * i);
    const uint32_t aa = a, bb = b, cc = c, dd = d;

    MD5_STEP(MD5_F, a, b, c, d, x[0], 0xd76aa478, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[2], 0x242070db, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22);
    MD5_STEP(MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[5], 0x4787c62a, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[6], 0xa8304613, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[7], 0xfd469501, 22);
    MD5_STEP(MD5_F, a, b, c, d, x[8], 0x698098d8, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[11], 0x895cd7be, 22);
    MD5_STEP(MD5_F, a, b, c, d, x[12], 0x6b901122, 7);
    MD5_STEP(MD5_F, d, a, b, c, x[13], 0xfd987193, 12);
    MD5_STEP(MD5_F, c, d, a, b, x[14], 0xa679438e, 17);
    MD5_STEP(MD5_F, b, c, d, a, x[15], 0x49b40821, 22);

    MD5_STEP(MD5_G, a, b, c, d, x[1], 0xf61e2562, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[6], 0xc040b340, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[11], 0x265e5a51, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[0], 0xe9b6c7aa, 20);
    MD5_STEP(MD5_G, a, b, c, d, x[5], 0xd62f105d, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[10], 0x02441453, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[15], 0xd8a1e681, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[4], 0xe7d3fbc8, 20);
    MD5_STEP(MD5_G, a, b, c, d, x[9], 0x21e1cde6, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[14], 0xc33707d6, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[3], 0xf4d50d87, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[8], 0x455a14ed, 20);
    MD5_STEP(MD5_G, a, b, c, d, x[13], 0xa9e3e905, 5);
    MD5_STEP(MD5_G, d, a, b, c, x[2], 0xfcefa3f8, 9);
    MD5_STEP(MD5_G, c, d, a, b, x[7], 0x676f02d9, 14);
    MD5_STEP(MD5_G, b, c, d, a, x[12], 0x8d2a4c8a, 20);

    MD5_STEP(MD5_H, a, b, c, d, x[5], 0xfffa3942, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[8], 0x8771f681, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[14], 0xfde5380c, 23);
    MD5_STEP(MD5_H, a, b, c, d, x[1], 0xa4beea44, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23);
    MD5_STEP(MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[6], 0x04881d05, 23);
    MD5_STEP(MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4);
    MD5_STEP(MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11);
    MD5_STEP(MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16);
    MD5_STEP(MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23);

    MD5_STEP(MD5_I, a, b, c, d, x[0], 0xf4292244, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[7], 0x432aff97, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[14], 0xab9423a7, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[5], 0xfc93a039, 21);
    MD5_STEP(MD5_I, a, b, c, d, x[12], 0x655b59c3, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[10], 0xffeff47d, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[1], 0x85845dd1, 21);
    MD5_STEP(MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[6], 0xa3014314, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21);
    MD5_STEP(MD5_I, a, b, c, d, x[4], 0xf7537e82, 6);
    MD5_STEP(MD5_I, d, a, b, c, x[11], 0xbd3af235, 10);
    MD5_STEP(MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15);
    MD5_STEP(MD5_I, b, c, d, a, x[9], 0xeb86d391, 21);

    a += aa;
    b += bb;
    c += cc;
    d += dd;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
}

#undef MD5_STEP
#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I

void ReportMisuse(const char* message) {
  std::fputs(message, stderr);
  std::fputs("\n", stderr);
}

}  // namespace

MD5::MD5()
    : state_{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476}, bitCount_{0, 0}, block_{}, digest_{},
      finalized_(false) {}

void MD5::update(const uint8_t* input, uint32_t length) {
  if (finalized_) {
    ReportMisuse("MD5::update:  Can't update a finalized digest!");
    return;
  }
  if (length == 0) return;
  const uint32_t filled = (bitCount_[0] >> 3) & 63;
  const uint32_t lowBits = length << 3;
  bitCount_[0] += lowBits;
  bitCount_[1] += (length >> 29) + (bitCount_[0] < lowBits ? 1 : 0);

  uint32_t taken = 0;
  if (filled != 0) {
    const uint32_t room = 64 - filled;
    if (length < room) {
      std::memcpy(block_ + filled, input, length);
      return;
    }
    std::memcpy(block_ + filled, input, room);
    Compress(state_, block_, 1);
    taken = room;
  }
  const uint32_t wholeBlocks = (length - taken) / 64;
  Compress(state_, input + taken, wholeBlocks);
  taken += wholeBlocks * 64;
  std::memcpy(block_, input + taken, length - taken);
}

void MD5::finalize() {
  if (finalized_) {
    ReportMisuse("MD5::finalize:  Already finalized this digest!");
    return;
  }
  uint8_t lengthBytes[8];
  StoreWord(bitCount_[0], lengthBytes);
  StoreWord(bitCount_[1], lengthBytes + 4);
  // One 0x80 byte, then zeros up to 56 bytes modulo 64, then the bit count.
  static const uint8_t padding[64] = {0x80};
  const uint32_t filled = (bitCount_[0] >> 3) & 63;
  update(padding, filled < 56 ? 56 - filled : 120 - filled);
  update(lengthBytes, 8);
  for (int i = 0; i < 4; ++i) StoreWord(state_[i], digest_ + 4 * i);
  finalized_ = true;
}

const uint8_t* MD5::raw_digest() const {
  if (!finalized_) {
    ReportMisuse("MD5::raw_digest:  Can't get digest if you haven't finalized the digest!");
    return nullptr;
  }
  return digest_;
}

}  // namespace encoding
