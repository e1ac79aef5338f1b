// The word-group Base64 and the 64-bit value texts: any text decodes within
// the room the contract states (2/3 of its length); any bytes and any value
// come back through their texts.

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  auto text = fuzzing::Copy<char>(data, size);
  auto decoded = fuzzing::Exactly<BYTE>(size * 2 / 3 + 1);
  int count = DecodeAsBase64(text.data(), decoded.data(), static_cast<int>(size));
  FUZZ_CHECK(count >= 0 && static_cast<size_t>(count) <= decoded.size());

  auto encoded = fuzzing::Exactly<char>(size / 4 * 6 + 5);
  int written = EncodeAsBase64(data, encoded.data(), static_cast<DWORD>(size));
  FUZZ_CHECK(written >= 0 && static_cast<size_t>(written) <= encoded.size());
  auto back = fuzzing::Exactly<BYTE>(size + 1);
  count = DecodeAsBase64(encoded.data(), back.data(), written);
  FUZZ_CHECK(static_cast<size_t>(count) == size && std::memcmp(back.data(), data, size) == 0);

  auto narrow = fuzzing::Terminated<char>(data, size);
  auto wide = fuzzing::Terminated<WCHAR>(data, size);
  (void)DecodeBase64as64A(narrow.data());
  (void)DecodeBase64as64W(wide.data());
  ULONGLONG value = 0;
  std::memcpy(&value, data, size < sizeof value ? size : sizeof value);
  char digits[12];
  Encode64asBase64A(digits, value);
  FUZZ_CHECK(digits[11] == 0 && DecodeBase64as64A(digits) == value);
  return 0;
}
