// Text scrambling: known texts, what comes back for every byte value, and
// how far each size lets the functions write.

#include <gtest/gtest.h>

#include <string>

#include "ovpb32.h"
#include "support/test_support.h"

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

// Runs a function on a buffer of filler bytes and returns it whole, so that
// what was written and how far shows.
template <typename Function>
std::string Written(Function function, size_t bufferSize = 16) {
  std::string buffer(bufferSize, '#');
  function(&buffer[0]);
  return buffer;
}

TEST(Scrambling, KnownTexts) {
  EXPECT_EQ(Scrambled("abc"), "{zy~");
  EXPECT_EQ(Unscrambled("{zy~"), "abc");
  EXPECT_EQ(Scrambled(""), "~");
  EXPECT_EQ(Scrambled("a~b"), "{0z~");
  EXPECT_EQ(Unscrambled("{0z~"), "aNb");
  EXPECT_EQ(Scrambled(" ^0N"), "^ N0~");
  EXPECT_EQ(Unscrambled("{zy~ignored"), "abc");
  EXPECT_EQ(Unscrambled("{zy"), "abc");
}

TEST(Scrambling, EveryByteComesBackExceptControlsAndTheMarker) {
  for (int c = 1; c < 256; ++c) {
    const std::string text(1, static_cast<char>(c));
    const std::string scrambled = Scrambled(text);
    ASSERT_EQ(scrambled.size(), 2u) << c;
    ASSERT_GE(static_cast<unsigned char>(scrambled[0]), 32) << c;
    ASSERT_NE(scrambled[0], '~') << c;
    const std::string expected = c < 32 ? " " : c == '~' ? "N" : text;
    ASSERT_EQ(Unscrambled(scrambled), expected) << c;
  }
}

TEST(Scrambling, EncryptWritesNoMoreThanTheSizeAllows) {
  // "abcdef" needs 8 bytes: six scrambled, the marker, the terminator.
  EXPECT_EQ(Written([](char* b) { Encrypt("abcdef", b, -1); }), std::string("{zyxwv~\0########", 16));
  EXPECT_EQ(Written([](char* b) { Encrypt("abcdef", b, 100); }), std::string("{zyxwv~\0########", 16));
  EXPECT_EQ(Written([](char* b) { Encrypt("abcdef", b, 8); }), std::string("{zyxwv~\0########", 16));
  EXPECT_EQ(Written([](char* b) { Encrypt("abcdef", b, 7); }), std::string("{zyxwv\0#########", 16));
  EXPECT_EQ(Written([](char* b) { Encrypt("abc", b, 3); }), std::string("{z\0#############", 16));
  EXPECT_EQ(Written([](char* b) { Encrypt("abc", b, 1); }), std::string("\0###############", 16));
  EXPECT_EQ(Written([](char* b) { Encrypt("abc", b, 0); }), std::string("\0###############", 16));
  EXPECT_EQ(Written([](char* b) { Encrypt("abc", b, -2); }), std::string("\0###############", 16));
}

TEST(Scrambling, DecryptClearsItsBufferAndStopsInside) {
  EXPECT_EQ(Written([](char* b) { Decrypt("{zyxwv~", b, 10); }), std::string("abcdef\0\0\0\0######", 16));
  EXPECT_EQ(Written([](char* b) { Decrypt("{zyxwv~", b, 4); }), std::string("abc\0############", 16));
  EXPECT_EQ(Written([](char* b) { Decrypt("{zyxwv~", b, 1); }), std::string("\0###############", 16));
  EXPECT_EQ(Written([](char* b) { Decrypt("{zyxwv~", b, 0); }), std::string("\0###############", 16));
  EXPECT_EQ(Written([](char* b) { Decrypt("{zyxwv~", b, -5); }), std::string("\0###############", 16));
  EXPECT_EQ(Written([](char* b) { Decrypt("{zyxwv~", b, -1); }), std::string("abcdef\0#########", 16));
}

// EncryptPasswordEx is a second export of the same function.
TEST(Scrambling, EncryptPasswordExIsEncrypt) {
  testing_support::LoadedLibrary library(testing_support::LibraryFile());
  ASSERT_TRUE(library.loaded());
  EXPECT_EQ(library.Symbol("EncryptPasswordEx"), library.Symbol("Encrypt"));
  using EncryptFunction = void(OVPB_API*)(const char*, char*, int);
  auto encryptPasswordEx = library.Get<EncryptFunction>("EncryptPasswordEx");
  ASSERT_NE(encryptPasswordEx, nullptr);
  EXPECT_EQ(Written([&](char* b) { encryptPasswordEx("abc", b, 3); }), std::string("{z\0#############", 16));
}

}  // namespace
