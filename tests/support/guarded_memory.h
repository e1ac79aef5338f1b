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
// element is the last one before the guard page.
template <typename Char>
class GuardedText {
 public:
  explicit GuardedText(const std::basic_string<Char>& text) : bytes_(text.size() * sizeof(Char)) {
    if (!text.empty()) std::memcpy(bytes_.data(), text.data(), text.size() * sizeof(Char));
  }
  const Char* get() const { return reinterpret_cast<const Char*>(bytes_.data()); }

 private:
  GuardedBytes bytes_;
};

}  // namespace testing_support
