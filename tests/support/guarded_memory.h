// Memory that ends flush against an inaccessible page, so that reading or
// writing even one element past the end faults in every build, not only
// under AddressSanitizer.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace testing_support {

class GuardedBytes {
 public:
  explicit GuardedBytes(size_t size);
  ~GuardedBytes();
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  unsigned char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void* mapping_;
  size_t mappingSize_;
  unsigned char* data_;
  size_t size_;
};

// A copy of text (terminator included when the string holds one) whose last
// element is the last one before the guard page. Given a room: `room`
// elements holding the text, its terminator and filler bytes (0x7E).
template <typename Char>
class GuardedText {
 public:
  explicit GuardedText(const std::basic_string<Char>& text) : GuardedText(text, text.size()) {}
  GuardedText(const std::basic_string<Char>& text, size_t room) : bytes_(room * sizeof(Char)) {
    std::basic_string<Char> filled = text;
    if (filled.size() < room) filled.push_back(0);
    filled.resize(room, static_cast<Char>(0x7E));
    if (room > 0) std::memcpy(bytes_.data(), filled.data(), room * sizeof(Char));
  }
  Char* get() const { return reinterpret_cast<Char*>(bytes_.data()); }
  std::basic_string<Char> text() const { return get(); }

 private:
  GuardedBytes bytes_;
};

}  // namespace testing_support
