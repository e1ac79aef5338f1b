// The Base64 forms: known texts, round trips over every short length, and
// decoders fed arbitrary bytes in memory that ends at a guard page.

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

Bytes RandomBytes(std::mt19937& random, size_t length) {
  Bytes bytes(length);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string MimeA(const Bytes& data) {
  std::string text(4 * ((data.size() + 2) / 3), '?');
  const int written = EncodeAsMimeBase64A(data.data(), &text[0], static_cast<int>(data.size()));
  EXPECT_EQ(written, static_cast<int>(text.size()));
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

TEST(ElevenDigitForm, WritesAndReadsKnownValues) {
  const struct {
    uint64_t value;
    const char* text;
  } cases[] = {{0, "AAAAAAAAAAA"}, {1, "AAAAAAAAAAB"}, {~0ull, "P----------"}, {0x0123456789ABCDEFull, "AEjRWeJq83v"}};
  for (const auto& c : cases) {
    char text[12];
    Encode64asBase64A(text, c.value);
    EXPECT_STREQ(text, c.text);
    WCHAR wide[12];
    Encode64asBase64W(wide, c.value);
    EXPECT_EQ(WideString(wide), WidenAscii(c.text));
    EXPECT_EQ(DecodeBase64as64A(c.text), c.value);
    EXPECT_EQ(DecodeBase64as64W(WidenAscii(c.text).c_str()), c.value);
  }
}

TEST(ElevenDigitForm, ReadingStopsAtANonDigitOrAfterElevenDigits) {
  EXPECT_EQ(DecodeBase64as64A(""), 0u);
  EXPECT_EQ(DecodeBase64as64A("B"), 1u);
  EXPECT_EQ(DecodeBase64as64A("B A"), 1u);
  EXPECT_EQ(DecodeBase64as64A("=B==A"), 64u);           // "=" is passed over, not counted
  EXPECT_EQ(DecodeBase64as64A("AAAAAAAAAABAAAA"), 1u);  // the twelfth digit is not read
  // A wide unit counts by its low byte: U+0142 reads as "B", U+0100 as the end.
  const WCHAR units[] = {0x0142, 0x0141, 0x0100, 0x0042, 0};
  EXPECT_EQ(DecodeBase64as64W(units), 64u);
}

TEST(WordGroups, KnownTexts) {
  EXPECT_EQ(WordGroups(BytesOf("abcd")), "hJ2YkB");
  EXPECT_EQ(WordGroups(BytesOf("abc")), "hJ2YA");
  EXPECT_EQ(WordGroups(BytesOf("ab")), "hJG");
  EXPECT_EQ(WordGroups(BytesOf("a")), "hB");
  EXPECT_EQ(WordGroups(Bytes{0xFF, 0xFF, 0xFF, 0xFF}), "/////D");
  EXPECT_EQ(UnWordGroups("hJ2YkB"), BytesOf("abcd"));
}

TEST(WordGroups, EveryLengthComesBack) {
  std::mt19937 random(4);
  for (size_t length = 0; length <= 300; ++length) {
    const Bytes data = RandomBytes(random, length);
    const std::string text = WordGroups(data);
    ASSERT_EQ(text.size(), length / 4 * 6 + std::string("\0\2\3\5", 4)[length % 4]) << length;
    ASSERT_EQ(UnWordGroups(text), data) << length;
  }
}

TEST(WordGroups, DecodingEndsAtTheGroupWithANonDigit) {
  const std::string text = WordGroups(BytesOf("abcdefgh"));
  for (char bad : {' ', '=', '\0', '*'}) {
    std::string spoilt = text;
    spoilt[8] = bad;
    EXPECT_EQ(UnWordGroups(spoilt), BytesOf("abcd"));
  }
  // A short final group of 1 or 4 digits stands for no bytes.
  EXPECT_EQ(UnWordGroups(text + "A"), BytesOf("abcdefgh"));
  EXPECT_EQ(UnWordGroups(text + "AAAA"), BytesOf("abcdefgh"));
}

TEST(Mime, Rfc4648Vectors) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},  {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(MimeA(BytesOf(plain)), encoded);
    EXPECT_EQ(UnMimeA(encoded), BytesOf(plain));
    WCHAR written[8];
    EXPECT_EQ(EncodeAsMimeBase64W(reinterpret_cast<const BYTE*>(plain), written, static_cast<int>(strlen(plain))),
              static_cast<int>(2 * strlen(encoded)));
    EXPECT_EQ(WideString(written, strlen(encoded)), WidenAscii(encoded));
    const WideString wide = WidenAscii(encoded);
    Bytes out(8);
    out.resize(DecodeAsMimeBase64W(wide.c_str(), out.data(), static_cast<int>(wide.size())));
    EXPECT_EQ(out, BytesOf(plain));
  }
}

TEST(Mime, LineBreaksRestartTheGroupAndBothAlphabetsDecode) {
  Bytes out(8);
  EXPECT_EQ(DecodeAsMimeBase64A("YWJj\r\nYWJj", out.data(), 10), 6);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 6), BytesOf("abcabc"));
  // A break inside a group drops the unfinished group's digits.
  EXPECT_EQ(UnMimeA("YW\r\nYWJj"), BytesOf("aabc"));
  EXPECT_EQ(UnMimeA("-_-_"), UnMimeA("/+/+"));
  EXPECT_EQ(UnMimeA("-_-_"), (Bytes{0xFF, 0xEF, 0xFE}));
  EXPECT_EQ(UnMimeA("Y=W=J=j"), BytesOf("abc"));
  EXPECT_EQ(DecodeAsMimeBase64A("YWJj", out.data(), 0), 0);
  EXPECT_EQ(EncodeAsMimeBase64A(out.data(), reinterpret_cast<char*>(out.data()), -1), 0);
}

TEST(Mime, EveryLengthComesBackInBothWidths) {
  std::mt19937 random(8);
  for (size_t length = 0; length <= 300; ++length) {
    const Bytes data = RandomBytes(random, length);
    const std::string text = MimeA(data);
    ASSERT_EQ(UnMimeA(text), data) << length;

    std::vector<WCHAR> wide(text.size() + 1, 0);
    const int bytes = EncodeAsMimeBase64W(data.data(), wide.data(), static_cast<int>(length));
    ASSERT_EQ(bytes, static_cast<int>(2 * text.size()));
    ASSERT_EQ(testing_support::ToUtf8(WideString(wide.data())), text);
    Bytes back(length + 3);
    back.resize(DecodeAsMimeBase64W(wide.data(), back.data(), static_cast<int>(text.size())));
    ASSERT_EQ(back, data) << length;
  }
}

TEST(IsValidBase64, CountsTwentyTwoDigits) {
  const std::string digits(22, 'A');
  EXPECT_EQ(IsValidBase64(digits.c_str()), 1);
  EXPECT_EQ(IsValidBase64((digits + " and more").c_str()), 1);
  EXPECT_EQ(IsValidBase64(digits.substr(1).c_str()), 0);
  EXPECT_EQ(IsValidBase64(("==" + digits.substr(1)).c_str()), 0);
  EXPECT_EQ(IsValidBase64(("==" + digits).c_str()), 1);
  EXPECT_EQ(IsValidBase64("AAAAAAAAAA AAAAAAAAAAAA"), 0);
  EXPECT_EQ(IsValidBase64("abcdefghijklmnopqrstu_"), 1);
}

// Texts drawn from all 256 byte values (or random 16-bit units), every length
// up to 70, each ending at a guard page and decoded into an output buffer of
// exactly the room the decoder promises, which also ends at a guard page.
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
      GuardedBytes mimeOut(mimeRoom);
      ASSERT_LE(DecodeAsMimeBase64A(narrowInput.get(), mimeOut.data(), length), static_cast<int>(mimeRoom));
      ASSERT_LE(DecodeAsMimeBase64W(wideInput.get(), mimeOut.data(), length), static_cast<int>(mimeRoom));

      GuardedBytes groupOut(2 * length / 3);
      ASSERT_LE(DecodeAsBase64(narrowInput.get(), groupOut.data(), length), 2 * length / 3);

      // The terminated readers, with the terminator as the last byte.
      std::string terminated = text;
      for (char& c : terminated) c = c == 0 ? 'A' : c;
      const GuardedText<char> narrowText(terminated + '\0');
      WideString wideTerminated = wide;
      for (WCHAR& c : wideTerminated) c = c == 0 ? 0x41 : c;
      const GuardedText<WCHAR> wideText(wideTerminated + WCHAR(0));
      DecodeBase64as64A(narrowText.get());
      DecodeBase64as64W(wideText.get());
      IsValidBase64(narrowText.get());
    }
  }
}

// Each byte value read as the digit of either alphabet ("_" as 62), passed
// over ("="), or ending the text; a wide unit by its low byte.
TEST(Decoders, ClassifyEveryByteValue) {
  const std::string standard = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (int c = 0; c < 256; ++c) {
    uint64_t expected = 0;  // stops: nothing read
    if (c != 0 && standard.find(static_cast<char>(c)) != std::string::npos) {
      expected = standard.find(static_cast<char>(c)) * 64 + 1;
    } else if (c == '-') {
      expected = 63 * 64 + 1;
    } else if (c == '_') {
      expected = 62 * 64 + 1;
    } else if (c == '=') {
      expected = 1;
    }
    const char text[] = {static_cast<char>(c), 'B', 0};
    EXPECT_EQ(DecodeBase64as64A(text), expected) << c;
    const WCHAR wide[] = {static_cast<WCHAR>(0xAB00 | c), 0x0042, 0};
    EXPECT_EQ(DecodeBase64as64W(wide), expected) << c;
  }
}

}  // namespace
