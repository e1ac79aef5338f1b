// MIME Base64: decoding any text writes at most 3 bytes per 4 characters of
// its length, rounded up, in both widths; encoding any bytes decodes back.

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  int length = static_cast<int>(size);
  auto narrow = fuzzing::Copy<char>(data, size);
  auto decoded = fuzzing::Exactly<BYTE>((size + 3) / 4 * 3);
  int count = DecodeAsMimeBase64A(narrow.data(), decoded.data(), length);
  FUZZ_CHECK(count >= 0 && static_cast<size_t>(count) <= decoded.size());

  auto wide = fuzzing::Copy<WCHAR>(data, size);
  auto wideDecoded = fuzzing::Exactly<BYTE>((wide.size() + 3) / 4 * 3);
  count = DecodeAsMimeBase64W(wide.data(), wideDecoded.data(), static_cast<int>(wide.size()));
  FUZZ_CHECK(count >= 0 && static_cast<size_t>(count) <= wideDecoded.size());

  auto encoded = fuzzing::Exactly<char>((size + 2) / 3 * 4);
  int written = EncodeAsMimeBase64A(data, encoded.data(), length);
  FUZZ_CHECK(static_cast<size_t>(written) == encoded.size());
  auto back = fuzzing::Exactly<BYTE>(encoded.size() / 4 * 3);
  count = DecodeAsMimeBase64A(encoded.data(), back.data(), written);
  FUZZ_CHECK(static_cast<size_t>(count) == size && std::memcmp(back.data(), data, size) == 0);
  return 0;
}
