// The encodings: Base64 forms, GUID and digest texts, MD5, keys and scrambling;
// decoders fed arbitrary bytes in memory that ends at a guard page.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "encoding/encoding.h"
#include "encoding/md5.h"
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

TEST(ElevenDigitForm, KnownValuesStopAtANonDigitAndEveryByteValueClassified) {
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
  // Each byte value read as the digit of either alphabet ("_" as 62), passed
  // over ("="), or ending the text; a wide unit by its low byte.
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
  for (const auto& [data, text] : known) EXPECT_TRUE(WordGroups(data) == text && UnWordGroups(text) == data) << text;
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

TEST(Mime, Rfc4648VectorsEveryLengthLineBreaksAndBothAlphabets) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},         {"f", "Zg=="},        {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},  {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) EXPECT_TRUE(MimeA(BytesOf(plain)) == encoded && UnMimeA(encoded) == BytesOf(plain)) << plain;
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

// {00112233-4455-6677-8899-AABBCCDDEEFF}
const GUID kSample = {0x00112233, 0x4455, 0x6677, {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}};

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

GUID Filled(uint8_t byte) {
  GUID guid;
  std::memset(&guid, byte, sizeof guid);
  return guid;
}

// What a reader makes of a text, given a GUID full of 0x5A to write into.
template <typename Reader>
GUID ReadBack(Reader reader) {
  GUID guid = Filled(0x5A);
  reader(&guid);
  return guid;
}

std::string Base64(const GUID& guid) { char text[23]; GUIDtoBase64A(&guid, text); return text; }
std::string Base32(const GUID& guid) { char text[27]; GUIDtoBase32(&guid, text); return text; }
std::string Base85(const GUID& guid) { char text[21]; GUIDtoBase85(&guid, text); return text; }

TEST(GuidTexts, SampleNullAndSingleBitGuidsInEveryRadixAndDigestHalves) {
  EXPECT_EQ(encoding::RawBytes(kSample)[0], 0x33);  // Data1 little-endian first
  EXPECT_EQ(Base64(kSample), "AARIjNEVWZ3P-u3cy7qpmI");
  EXPECT_EQ(Base32(kSample), "GMRBCACVIR3WNCEZVK54ZXPO74");
  EXPECT_EQ(Base85(kSample), "Ga]ZHRYZ4Yh]%Op%-!z)");
  EXPECT_TRUE(SameGuid(ReadBack([](GUID* g) { Base64toGUIDW(OV_WIDE("AARIjNEVWZ3P-u3cy7qpmI"), g); }), kSample));
  const GUID null{}, one = {1, 0, 0, {0}}, lowData4 = {0, 0, 0, {1}};
  EXPECT_EQ(Base64(null), "");
  EXPECT_EQ(Base32(null), std::string(26, 'A'));
  EXPECT_EQ(Base85(null), std::string(20, '0'));
  EXPECT_TRUE(SameGuid(ReadBack([](GUID* g) { Base64toGUIDA("", g); }), null));
  EXPECT_EQ(Base64(one), "AAAAAEAAAAAAAAAAAAAAAA");
  EXPECT_EQ(Base64(lowData4), "AAAAAAAAAAAAAAAAAAAAAB");
  // Eleven characters or fewer fill only the first value; "=" is passed over.
  EXPECT_TRUE(SameGuid(ReadBack([](GUID* g) { Base64toGUIDA("AAAAA=EAAAAA", g); }), one));
  // Digests are two little-endian halves; a text too short for the second leaves it zero.
  uint8_t digest[16] = {1};
  digest[15] = 0x80;
  char text[23];
  MD5toBase64(digest, text);
  EXPECT_STREQ(text, "AAAAAAAAAABIAAAAAAAAAA");
  Base64toMD5("AAAAAAAAAAB", digest);
  const uint8_t expected[16] = {1};
  EXPECT_EQ(std::memcmp(digest, expected, 16), 0);
}

TEST(GuidTexts, RandomGuidsAndDigestsComeBack) {
  std::mt19937 random(85);
  for (int i = 0; i < 2000; ++i) {
    encoding::GuidBytes raw;
    for (auto& b : raw) b = static_cast<uint8_t>(random());
    const GUID guid = encoding::GuidFromRawBytes(raw);
    const std::string text64 = Base64(guid), text32 = Base32(guid), text85 = Base85(guid);
    ASSERT_EQ(text64.size(), 22u);
    ASSERT_EQ(IsValidBase64(text64.c_str()), 1);
    ASSERT_EQ(IsValidBase32(text32.c_str()), 1);
    GUID back[4];
    WCHAR wide[23];
    GUIDtoBase64W(&guid, wide);
    Base64toGUIDA(text64.c_str(), &back[0]);
    Base64toGUIDW(wide, &back[1]);
    Base32toGUID(text32.c_str(), &back[2]);
    ASSERT_EQ(Base85toGUID(text85.c_str(), &back[3]), 1);
    for (const GUID& read : back) ASSERT_TRUE(SameGuid(read, guid)) << text64 << " " << text32 << " " << text85;
    char digestText[23];
    MD5toBase64(raw.data(), digestText);
    encoding::GuidBytes digestBack;
    Base64toMD5(digestText, digestBack.data());
    ASSERT_EQ(digestBack, raw);
  }
}

TEST(GuidTexts, Base32ChecksAndReadingBase85Rejections) {
  for (const char* text : {"gmrbcacvir3wncezvk54zxpo74", "GMRBCACVIR3WNCEZVK54ZXPO7", "GMRBCACVIR3WNCEZVK54ZXPO71",
                           "GMRBCACVIR3WNCEZVK54ZXPO7\xC7"}) {
    EXPECT_EQ(IsValidBase32(text), 0) << text;
  }
  EXPECT_EQ(IsValidBase32("GMRBCACVIR3WNCEZVK54ZXPO74 and more"), 1);
  // A character outside the alphabet sets all of its bits.
  GUID guid;
  Base32toGUID("?AAAAAAAAAAAAAAAAAAAAAAAAA", &guid);
  EXPECT_TRUE(encoding::RawBytes(guid)[0] == 0xF8 && encoding::RawBytes(guid)[1] == 0);
  guid = Filled(0x5A);  // Base85: short texts and overflowing groups rejected
  EXPECT_EQ(Base85toGUID("Ga]ZHRYZ4Yh]%Op%-!z", &guid), 0);
  EXPECT_EQ(Base85toGUID("Ga]ZH RYZ4Yh]%Op%-!z)", &guid), 0);
  EXPECT_EQ(Base85toGUID("|NsC0|NsC0|NsC0|NsC0", &guid), 1);
  EXPECT_TRUE(SameGuid(guid, Filled(0xFF)));
  for (int group = 0; group < 4; ++group) {
    std::string text = "|NsC0|NsC0|NsC0|NsC0";
    text.replace(5 * group, 5, "|NsC1");
    EXPECT_EQ(Base85toGUID(text.c_str(), &guid), 0) << group;
  }
  // Groups before the failing one are stored; the rest keep what was there.
  guid = Filled(0x5A);
  EXPECT_EQ(Base85toGUID("0000000000~", &guid), 0);
  const encoding::GuidBytes raw = encoding::RawBytes(guid);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(raw[i], i < 8 ? 0 : 0x5A) << i;
}

TEST(Hierarchy, KeysReadBackAndSortAsTheirIndices) {
  for (auto [key, index] : {std::pair{" !", -1}, {"! ", -1}, {"\xFF\xFF", 49728}}) EXPECT_EQ(HierarchyToIndex(key), index);
  EXPECT_EQ(HierarchyToIndex(GuardedText<char>(std::string("!", 2)).get()), -1);  // nothing read past the terminator
  std::string previous;
  for (int index = 0; index <= 49728; ++index) {
    char key[2];
    IndexToHierarchy(key, static_cast<WORD>(index));
    const std::string current(key, 2);
    ASSERT_EQ(HierarchyToIndex(key), index);
    ASSERT_TRUE(index == 0 ? current == "!!" : previous < current) << index;
    previous = current;
  }
}

TEST(RandomTexts, FreshGuidTextsAndKeysOfAllNinetyFourCharactersTerminated) {
  std::set<std::string> identifiers;
  for (int i = 0; i < 500; ++i) {
    char text[23];
    ASSERT_EQ(UniqueIdentifier(text), 1);
    ASSERT_EQ(IsValidBase64(text), 1);
    GUID guid;
    Base64toGUIDA(text, &guid);
    EXPECT_EQ(guid.Data3 >> 12, 4);
    identifiers.insert(text);
  }
  EXPECT_EQ(identifiers.size(), 500u);
  GuardedBytes empty(1), guarded(17);
  RandomKey(reinterpret_cast<char*>(empty.data()), 0);
  EXPECT_EQ(empty.data()[0], 0);
  RandomKey(reinterpret_cast<char*>(guarded.data()), 16);
  EXPECT_EQ(guarded.data()[16], 0);
  std::vector<int> seen(256, 0);
  std::set<std::string> keys;
  for (int i = 0; i < 1000; ++i) {
    char key[33];
    RandomKey(key, 32);
    keys.insert(key);
    for (int j = 0; j < 32; ++j) ++seen[static_cast<unsigned char>(key[j])];
  }
  EXPECT_EQ(keys.size(), 1000u);
  for (int c = 0; c < 256; ++c) EXPECT_EQ(seen[c] > 0, c >= '!' && c <= '~') << c;
}

std::string Hex(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += {"0123456789abcdef"[bytes[i] >> 4], "0123456789abcdef"[bytes[i] & 15]};
  return text;
}

// The digest of data fed in pieces of the given sizes, then the rest at once.
std::string DigestInPieces(const std::string& data, const std::vector<size_t>& pieces = {}) {
  encoding::MD5 md5;
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
  size_t at = 0;
  for (size_t piece : pieces) md5.update(bytes + at, static_cast<uint32_t>(piece)), at += piece;
  md5.update(bytes + at, static_cast<uint32_t>(data.size() - at));
  md5.finalize();
  return Hex(md5.raw_digest(), 16);
}

std::string GuidString(const GUID& guid) {
  char text[40];
  std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(guid.Data1), guid.Data2,
                guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                guid.Data4[6], guid.Data4[7]);
  return text;
}

TEST(MD5, Rfc1321TestSuiteAndPiecesOfAnySize) {
  const std::pair<std::string, const char*> suite[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},  // the padding takes a block of its own
  };
  for (const auto& [text, digest] : suite) EXPECT_EQ(DigestInPieces(text), digest) << text;
  // Every way of cutting messages around the block and padding boundaries in
  // two, and random cuttings into many pieces, give the one-piece digest.
  std::mt19937 random(1321);
  for (size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 200u}) {
    std::string data(length, '\0');
    for (char& c : data) c = static_cast<char>(random());
    const std::string whole = DigestInPieces(data);
    for (size_t cut = 0; cut <= length; ++cut) ASSERT_EQ(DigestInPieces(data, {cut}), whole) << length << " " << cut;
    for (int round = 0; round < 50; ++round) {
      std::vector<size_t> pieces;
      for (size_t at = 0; at < length;) {
        const size_t piece = std::min<size_t>(random() % 70, length - at);
        pieces.push_back(piece);
        at += piece;
      }
      ASSERT_EQ(DigestInPieces(data, pieces), whole) << length;
    }
  }
}

TEST(NameBasedGuids, KnownNamesAndNullPointers) {
  GUID guid = {0x12345678, 0, 0, {0}};
  EXPECT_EQ(GenerateNameBasedGuidA(nullptr, &guid), 0);
  EXPECT_EQ(GenerateNameBasedGuidW(nullptr, &guid), 0);
  EXPECT_EQ(guid.Data1, 0x12345678u);
  EXPECT_EQ(GenerateNameBasedGuidA("abc", nullptr), 0);
  ASSERT_EQ(GenerateNameBasedGuidA("abc", &guid), 1);
  EXPECT_EQ(GuidString(guid), "98500190-D23C-B03F-8696-3F7D28E17F72");
  ASSERT_EQ(GenerateNameBasedGuidW(OV_WIDE("abc"), &guid), 1);
  EXPECT_EQ(GuidString(guid), "CF7314CE-C680-FD33-88E3-DFC006ADC315");
  ASSERT_EQ(GenerateNameBasedGuidA("", &guid), 1);
  EXPECT_EQ(GuidString(guid), "D98C1DD4-008F-0432-8980-0998ECF8427E");
  // Wide names hash their UTF-16 little-endian bytes (here without a zero byte).
  GenerateNameBasedGuidA("\x2D\x4E\x3D\xD8\x01\xDE\x41\x01", &guid);
  const WCHAR name[] = {0x4E2D, 0xD83D, 0xDE01, 0x0141, 0};
  GUID wide;
  GenerateNameBasedGuidW(name, &wide);
  EXPECT_EQ(GuidString(wide), GuidString(guid));
}

TEST(OvHash, KnownTexts) {
  const std::pair<const char*, int> hashes[] = {{"", 0}, {"a", 291}, {"abc", 352}, {"\xE9", 347}};
  for (const auto& [text, hash] : hashes) EXPECT_EQ(ovhash(text), hash) << text;  // bytes count signed
}

// Run alone in a fresh process too, so that the threads meet the first call
// and race to make the Base85 table at its first use.
TEST(FirstUse, ThreadsMakeKeysAndDecodeBase85Together) {
  std::vector<testing_support::TestThread> threads;
  std::vector<int> failures(8, 0);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([t, &failures] {
      char key[21];
      RandomKey(key, 20);
      failures[t] += std::string(key).size() != 20;
      for (int i = 0; i < 200; ++i) {
        GUID guid;
        failures[t] += Base85toGUID("Ga]ZHRYZ4Yh]%Op%-!z)", &guid) != 1 || !SameGuid(guid, kSample);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(8, 0));
}

// Runs a function on a buffer of 16 filler bytes and returns it whole, so
// that what was written and how far shows.
template <typename Function>
std::string Written(Function function) {
  std::string buffer(16, '#');
  function(&buffer[0]);
  return buffer;
}

std::string Scrambled(const std::string& text, bool back = false) {
  char out[300];
  back ? Decrypt2(text.c_str(), out) : Encrypt2(text.c_str(), out);
  return out;
}

TEST(Scrambling, KnownTextsEveryByteAndNoWritePastTheSize) {
  const std::pair<const char*, const char*> known[] = {{"abc", "{zy~"}, {"", "~"}, {"a~b", "{0z~"}, {" ^0N", "^ N0~"}};
  for (const auto& [plain, scrambled] : known) EXPECT_EQ(Scrambled(plain), scrambled);
  EXPECT_EQ(Scrambled("{0z~", true), "aNb");
  EXPECT_EQ(Scrambled("{zy~ignored", true), "abc");
  EXPECT_EQ(Scrambled("{zy", true), "abc");
  for (int c = 1; c < 256; ++c) {
    const std::string text(1, static_cast<char>(c)), scrambled = Scrambled(text);
    ASSERT_EQ(scrambled.size(), 2u) << c;
    ASSERT_GE(static_cast<unsigned char>(scrambled[0]), 32) << c;
    ASSERT_EQ(Scrambled(scrambled, true), c < 32 ? " " : c == '~' ? "N" : text) << c;
  }
  // How far each size lets the functions write: "abcdef" needs 8 bytes, six
  // scrambled, the marker, the terminator.
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
