// GUID and digest texts: every decoder takes any text without reading past
// its terminator; a GUID comes back through each of its texts.

#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto narrow = fuzzing::Terminated<char>(data, size);
  auto wide = fuzzing::Terminated<WCHAR>(data, size);
  GUID guid;
  BYTE digest[16];
  Base64toGUIDA(narrow.data(), &guid);
  Base64toGUIDW(wide.data(), &guid);
  Base64toMD5(narrow.data(), digest);
  Base32toGUID(narrow.data(), &guid);
  int valid85 = Base85toGUID(narrow.data(), &guid);
  FUZZ_CHECK(valid85 == 0 || valid85 == 1);
  FUZZ_CHECK(IsValidBase64(narrow.data()) <= 1 && IsValidBase32(narrow.data()) <= 1);

  GUID original{}, back{};
  std::memcpy(&original, data, size < sizeof original ? size : sizeof original);
  char text[27];
  GUIDtoBase64A(&original, text);
  Base64toGUIDA(text, &back);
  // The null GUID has the empty text.
  bool null = std::memcmp(&original, &back, sizeof back) == 0 && std::all_of(data, data + std::min<size_t>(size, 16), [](uint8_t b) { return b == 0; });
  FUZZ_CHECK(std::memcmp(&original, &back, sizeof back) == 0 && std::strlen(text) == (null ? 0u : 22u));
  GUIDtoBase32(&original, text);
  Base32toGUID(text, &back);
  FUZZ_CHECK(std::memcmp(&original, &back, sizeof back) == 0 && std::strlen(text) == 26);
  GUIDtoBase85(&original, text);
  FUZZ_CHECK(Base85toGUID(text, &back) == 1 && std::memcmp(&original, &back, sizeof back) == 0);
  return 0;
}
