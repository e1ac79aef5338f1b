// Text scrambling: known texts, what comes back for every byte value, and
// how far each size lets the functions write.

#include <gtest/gtest.h>

#include <string>

#include "ovpb32.h"

namespace {

std::string Scrambled(const std::string& text) {
  char out[300];
  Encrypt2(text.c_str(), out);
  return out;
}

std::string Unscrambled(const std::string& text) {
  char out[300];
  Decrypt2(text.c_str(), out);
  return out;
}

TEST(Scrambling, KnownTextsAndEveryByteComesBackExceptControlsAndTheMarker) {
  const std::pair<const char*, const char*> known[] = {{"abc", "{zy~"}, {"", "~"}, {"a~b", "{0z~"}, {" ^0N", "^ N0~"}};
  for (const auto& [plain, scrambled] : known) EXPECT_EQ(Scrambled(plain), scrambled);
  EXPECT_EQ(Unscrambled("{0z~"), "aNb");
  EXPECT_EQ(Unscrambled("{zy~ignored"), "abc");
  EXPECT_EQ(Unscrambled("{zy"), "abc");
  for (int c = 1; c < 256; ++c) {
    const std::string text(1, static_cast<char>(c)), scrambled = Scrambled(text);
    ASSERT_EQ(scrambled.size(), 2u) << c;
    ASSERT_GE(static_cast<unsigned char>(scrambled[0]), 32) << c;
    ASSERT_EQ(Unscrambled(scrambled), c < 32 ? " " : c == '~' ? "N" : text) << c;
  }
}

// Runs a function on a buffer of 16 filler bytes and returns it whole, so
// that what was written and how far shows.
template <typename Function>
std::string Written(Function function) {
  std::string buffer(16, '#');
  function(&buffer[0]);
  return buffer;
}

TEST(Scrambling, EncryptAndDecryptWriteNoMoreThanTheSizeAllows) {
  // "abcdef" needs 8 bytes: six scrambled, the marker, the terminator.
  const std::string whole("{zyxwv~\0########", 16), nothing("\0###############", 16);
  for (int size : {-1, 100, 8}) EXPECT_EQ(Written([=](char* b) { Encrypt("abcdef", b, size); }), whole) << size;
  EXPECT_EQ(Written([](char* b) { Encrypt("abcdef", b, 7); }), std::string("{zyxwv\0#########", 16));
  EXPECT_EQ(Written([](char* b) { Encrypt("abc", b, 3); }), std::string("{z\0#############", 16));
  for (int size : {1, 0, -2}) EXPECT_EQ(Written([=](char* b) { Encrypt("abc", b, size); }), nothing) << size;
  // Decrypt clears its buffer and stops inside it.
  EXPECT_EQ(Written([](char* b) { Decrypt("{zyxwv~", b, 10); }), std::string("abcdef\0\0\0\0######", 16));
  EXPECT_EQ(Written([](char* b) { Decrypt("{zyxwv~", b, 4); }), std::string("abc\0############", 16));
  for (int size : {1, 0, -5}) EXPECT_EQ(Written([=](char* b) { Decrypt("{zyxwv~", b, size); }), nothing) << size;
  EXPECT_EQ(Written([](char* b) { Decrypt("{zyxwv~", b, -1); }), std::string("abcdef\0#########", 16));
}

}  // namespace
