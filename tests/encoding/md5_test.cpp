// MD5 against the RFC 1321 test suite, fed in pieces of every size; its
// misuse messages; and the name-based GUIDs made from it.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "encoding/md5.h"
#include "ovpb32.h"
#include "platform/wide.h"

namespace {

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
  for (size_t piece : pieces) {
    md5.update(bytes + at, static_cast<uint32_t>(piece));
    at += piece;
  }
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

TEST(MD5, Rfc1321TestSuite) {
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
}

// Every way of cutting messages around the block and padding boundaries in
// two, and random cuttings into many pieces, give the one-piece digest.
TEST(MD5, PiecesOfAnySizeGiveTheSameDigest) {
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
}

// Units without a zero byte, so that their little-endian bytes can also be
// given as a narrow name.
TEST(NameBasedGuids, WideNamesHashTheirUtf16LittleEndianBytes) {
  const WCHAR name[] = {0x4E2D, 0xD83D, 0xDE01, 0x0141, 0};
  GUID wide, narrow;
  GenerateNameBasedGuidW(name, &wide);
  GenerateNameBasedGuidA("\x2D\x4E\x3D\xD8\x01\xDE\x41\x01", &narrow);
  EXPECT_EQ(GuidString(wide), GuidString(narrow));
}

}  // namespace
