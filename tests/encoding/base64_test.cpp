// The Base64 forms: known texts, round trips over every short length; and
// every decoder fed arbitrary bytes in memory that ends at a guard page.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "platform/wide.h"
#include "support/guarded_memory.h"
#include "support/test_support.h"

namespace {

using testing_support::GuardedBytes;
using testing_support::GuardedText;
using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes RandomBytes(std::mt19937& random, size_t length) {
  Bytes data(length);
  for (auto& b : data) b = static_cast<uint8_t>(random());
  return data;
}

std::string MimeA(const Bytes& data) {
  std::string text(4 * ((data.size() + 2) / 3), '?');
  EXPECT_EQ(EncodeAsMimeBase64A(data.data(), &text[0], static_cast<int>(data.size())), static_cast<int>(text.size()));
  return text;
}

Bytes UnMimeA(const std::string& text) {
  Bytes out((3 * text.size() + 3) / 4 + 1);
  out.resize(DecodeAsMimeBase64A(text.data(), out.data(), static_cast<int>(text.size())));
  return out;
}

std::string WordGroups(const Bytes& data) {
  std::string text(data.size() / 4 * 6 + 5, '?');
  text.resize(EncodeAsBase64(data.data(), &text[0], static_cast<DWORD>(data.size())));
  return text;
}

Bytes UnWordGroups(const std::string& text) {
  Bytes out(text.size() * 2 / 3 + 1);
  out.resize(DecodeAsBase64(text.data(), out.data(), static_cast<int>(text.size())));
  return out;
}

TEST(ElevenDigitForm, WritesAndReadsKnownValuesAndStopsAtANonDigit) {
  const std::pair<uint64_t, const char*> cases[] = {
      {0, "AAAAAAAAAAA"}, {1, "AAAAAAAAAAB"}, {~0ull, "P----------"}, {0x0123456789ABCDEFull, "AEjRWeJq83v"}};
  for (const auto& [value, text] : cases) {
    char narrow[12];
    Encode64asBase64A(narrow, value);
    EXPECT_STREQ(narrow, text);
    WCHAR wide[12];
    Encode64asBase64W(wide, value);
    EXPECT_EQ(WideString(wide), WidenAscii(text));
    EXPECT_EQ(DecodeBase64as64W(WidenAscii(text).c_str()), value);
  }
  const std::pair<const char*, uint64_t> reads[] = {
      {"", 0}, {"B A", 1}, {"=B==A", 64},  // "=" is passed over, not counted
      {"AAAAAAAAAABAAAA", 1}};             // the twelfth digit is not read
  for (const auto& [text, value] : reads) EXPECT_EQ(DecodeBase64as64A(text), value) << text;
}

// Each byte value read as the digit of either alphabet ("_" as 62), passed
// over ("="), or ending the text; a wide unit by its low byte.
TEST(ElevenDigitForm, ClassifiesEveryByteValue) {
  const std::string standard = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (int c = 0; c < 256; ++c) {
    const size_t digit = c == 0 ? std::string::npos : c == '-' ? 63 : c == '_' ? 62 : standard.find(static_cast<char>(c));
    const uint64_t expected = digit != std::string::npos ? digit * 64 + 1 : c == '=' ? 1 : 0;
    const char text[] = {static_cast<char>(c), 'B', 0};
    EXPECT_EQ(DecodeBase64as64A(text), expected) << c;
    const WCHAR wide[] = {static_cast<WCHAR>(0xAB00 | c), 0x0042, 0};
    EXPECT_EQ(DecodeBase64as64W(wide), expected) << c;
  }
}

TEST(WordGroups, KnownTextsEveryLengthAndTheGroupWithANonDigit) {
  const std::pair<Bytes, const char*> known[] = {
      {BytesOf("abcd"), "hJ2YkB"}, {BytesOf("abc"), "hJ2YA"}, {BytesOf("ab"), "hJG"}, {BytesOf("a"), "hB"},
      {Bytes{0xFF, 0xFF, 0xFF, 0xFF}, "/////D"}};
  for (const auto& [data, text] : known) {
    EXPECT_EQ(WordGroups(data), text);
    EXPECT_EQ(UnWordGroups(text), data);
  }
  std::mt19937 random(4);
  for (size_t length = 0; length <= 300; ++length) {
    const Bytes data = RandomBytes(random, length);
    const std::string text = WordGroups(data);
    ASSERT_EQ(text.size(), length / 4 * 6 + std::string("\0\2\3\5", 4)[length % 4]) << length;
    ASSERT_EQ(UnWordGroups(text), data) << length;
  }
  const std::string text = WordGroups(BytesOf("abcdefgh"));
  for (char bad : {' ', '=', '\0', '*'}) EXPECT_EQ(UnWordGroups(text.substr(0, 8) + bad + text.substr(9)), BytesOf("abcd"));
  // A short final group of 1 or 4 digits stands for no bytes.
  EXPECT_EQ(UnWordGroups(text + "A"), BytesOf("abcdefgh"));
  EXPECT_EQ(UnWordGroups(text + "AAAA"), BytesOf("abcdefgh"));
}

TEST(Mime, Rfc4648VectorsAndEveryLengthInBothWidths) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},         {"f", "Zg=="},        {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},  {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(MimeA(BytesOf(plain)), encoded);
    EXPECT_EQ(UnMimeA(encoded), BytesOf(plain));
  }
  std::mt19937 random(8);
  for (size_t length = 0; length <= 300; ++length) {
    const Bytes data = RandomBytes(random, length);
    const std::string text = MimeA(data);
    ASSERT_EQ(UnMimeA(text), data) << length;
    std::vector<WCHAR> wide(text.size() + 1, 0);
    ASSERT_EQ(EncodeAsMimeBase64W(data.data(), wide.data(), static_cast<int>(length)), static_cast<int>(2 * text.size()));
    ASSERT_EQ(testing_support::ToUtf8(WideString(wide.data())), text);
    Bytes back(length + 3);
    back.resize(DecodeAsMimeBase64W(wide.data(), back.data(), static_cast<int>(text.size())));
    ASSERT_EQ(back, data) << length;
  }
}

TEST(Mime, LineBreaksRestartTheGroupAndBothAlphabetsDecode) {
  EXPECT_EQ(UnMimeA("YWJj\r\nYWJj"), BytesOf("abcabc"));
  EXPECT_EQ(UnMimeA("YW\r\nYWJj"), BytesOf("aabc"));  // a break inside a group drops its digits
  EXPECT_EQ(UnMimeA("-_-_"), (Bytes{0xFF, 0xEF, 0xFE}));
  EXPECT_EQ(UnMimeA("/+/+"), (Bytes{0xFF, 0xEF, 0xFE}));
  EXPECT_EQ(UnMimeA("Y=W=J=j"), BytesOf("abc"));
  Bytes out(8);
  EXPECT_EQ(DecodeAsMimeBase64A("YWJj", out.data(), 0), 0);
  EXPECT_EQ(EncodeAsMimeBase64A(out.data(), reinterpret_cast<char*>(out.data()), -1), 0);
}

TEST(IsValidBase64, CountsTwentyTwoDigits) {
  const std::string digits(22, 'A');
  const std::pair<std::string, int> texts[] = {
      {digits, 1}, {digits + " and more", 1}, {digits.substr(1), 0}, {"==" + digits.substr(1), 0},
      {"==" + digits, 1}, {"AAAAAAAAAA AAAAAAAAAAAA", 0}, {"abcdefghijklmnopqrstu_", 1}};
  for (const auto& [text, valid] : texts) EXPECT_EQ(IsValidBase64(text.c_str()), valid) << text;
}

// Texts drawn from all 256 byte values (or random 16-bit units), every length
// up to 70, each ending at a guard page and decoded into an output buffer of
// exactly the room the decoder promises, which also ends at a guard page;
// the readers of terminated texts (GUIDs, digests, keys) given the same.
TEST(Decoders, StayWithinTheirInputAndRoomWhateverTheyAreFed) {
  std::mt19937 random(1321);
  for (int round = 0; round < 20; ++round) {
    for (int length = 0; length <= 70; ++length) {
      std::string text(length, '\0');
      WideString wide(length, 0);
      for (int i = 0; i < length; ++i) {
        // Mostly digits, so decoding gets far, with every other byte mixed in.
        text[i] = random() % 3 == 0 ? static_cast<char>(random()) : "AZaz09+/-_="[random() % 11];
        wide[i] = static_cast<WCHAR>(random() % 2 == 0 ? random() : static_cast<unsigned char>(text[i]));
      }
      const GuardedText<char> narrowInput(text);
      const GuardedText<WCHAR> wideInput(wide);
      const size_t mimeRoom = (3 * length + 3) / 4;
      GuardedBytes mimeOut(mimeRoom), groupOut(2 * length / 3);
      ASSERT_LE(DecodeAsMimeBase64A(narrowInput.get(), mimeOut.data(), length), static_cast<int>(mimeRoom));
      ASSERT_LE(DecodeAsMimeBase64W(wideInput.get(), mimeOut.data(), length), static_cast<int>(mimeRoom));
      ASSERT_LE(DecodeAsBase64(narrowInput.get(), groupOut.data(), length), 2 * length / 3);
      // The terminated readers, with the terminator as the last byte.
      for (char& c : text) c = c == 0 ? 'A' : c;
      for (WCHAR& c : wide) c = c == 0 ? 0x41 : c;
      const GuardedText<char> narrowText(text + '\0');
      const GuardedText<WCHAR> wideText(wide + WCHAR(0));
      GUID guid;
      uint8_t digest[16];
      DecodeBase64as64A(narrowText.get());
      DecodeBase64as64W(wideText.get());
      IsValidBase64(narrowText.get());
      Base64toGUIDA(narrowText.get(), &guid);
      Base64toGUIDW(wideText.get(), &guid);
      Base64toMD5(narrowText.get(), digest);
      Base32toGUID(narrowText.get(), &guid);
      IsValidBase32(narrowText.get());
      Base85toGUID(narrowText.get(), &guid);
      HierarchyToIndex(narrowText.get());
    }
  }
}

}  // namespace
