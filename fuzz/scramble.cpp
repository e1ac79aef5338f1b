// Scrambling: any text scrambles within the room given and unscrambles to
// itself, control characters aside (they come back as blanks, "~" as "N").

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto text = fuzzing::Terminated<char>(data, size);
  size_t length = text.size() - 1;
  auto scrambled = fuzzing::Exactly<char>(length + 2);
  Encrypt(text.data(), scrambled.data(), static_cast<int>(scrambled.size()));
  auto plain = fuzzing::Exactly<char>(length + 1);
  Decrypt(scrambled.data(), plain.data(), static_cast<int>(plain.size()));
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    char expected = c < 0x20 ? ' ' : c == '~' ? 'N' : static_cast<char>(c);
    FUZZ_CHECK(plain[i] == expected);
  }
  FUZZ_CHECK(plain[length] == 0);
  // A text of unknown origin unscrambles within its room too.
  auto room = fuzzing::Exactly<char>(length + 1);
  Decrypt(text.data(), room.data(), static_cast<int>(room.size()));
  return 0;
}
