// Wildcard matching: any pattern against any text answers without a fault
// or a hang; "*" matches everything and a text without wildcards matches
// itself.

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The pattern is the input up to its first zero byte, the text what follows.
  const uint8_t* split = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  size_t patternLength = split == nullptr ? size : static_cast<size_t>(split - data);
  auto pattern = fuzzing::Terminated<char>(data, patternLength);
  auto text = split == nullptr ? fuzzing::Terminated<char>(data, 0)
                               : fuzzing::Terminated<char>(split + 1, size - patternLength - 1);
  (void)wcstrcmp(pattern.data(), text.data());
  FUZZ_CHECK(wcstrcmp("*", text.data()) == 0);
  if (std::strpbrk(text.data(), "*?") == nullptr) FUZZ_CHECK(wcstrcmp(text.data(), text.data()) == 0);
  return 0;
}
