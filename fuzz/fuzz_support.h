// What the fuzz targets share: the input as text in a buffer of exactly its
// size (so AddressSanitizer sees a read past the terminator), and checks of
// invariants that stop the run with the reason.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#define FUZZ_CHECK(condition)                                                        \
  do {                                                                               \
    if (!(condition)) {                                                              \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

namespace fuzzing {

// The input up to its first zero byte, terminated.
template <typename Char>
std::vector<Char> Terminated(const uint8_t* data, size_t size) {
  size_t units = size / sizeof(Char);
  std::vector<Char> text(units + 1, Char());
  std::memcpy(text.data(), data, units * sizeof(Char));
  text.resize(std::char_traits<Char>::length(text.data()) + 1);
  text.shrink_to_fit();
  return text;
}

// A buffer of exactly `size` bytes on the heap, so that a write past it is
// an overflow AddressSanitizer reports.
template <typename T>
std::vector<T> Exactly(size_t count) {
  std::vector<T> buffer(count);
  buffer.shrink_to_fit();
  return buffer;
}

// The input's bytes as units of T (a last odd byte dropped), unterminated,
// in a buffer of exactly that size.
template <typename T>
std::vector<T> Copy(const uint8_t* data, size_t size) {
  std::vector<T> units = Exactly<T>(size / sizeof(T));
  if (!units.empty()) std::memcpy(units.data(), data, units.size() * sizeof(T));
  return units;
}

}  // namespace fuzzing
