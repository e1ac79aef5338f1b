// GUIDs and digests as Base64, Base32 and Base85 texts, their checks, XOR,
// hierarchy keys and new identifiers.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>

#include "encoding/encoding.h"
#include "ovpb32.h"
#include "platform/wide.h"

namespace {

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

TEST(GuidTexts, SampleNullAndSingleBitGuidsInEveryRadix) {
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

TEST(GuidTexts, DigestTextsAreLittleEndianHalves) {
  uint8_t digest[16] = {1};
  digest[15] = 0x80;
  char text[23];
  MD5toBase64(digest, text);
  EXPECT_STREQ(text, "AAAAAAAAAABIAAAAAAAAAA");
  uint8_t back[16];
  Base64toMD5("AAAAAAAAAAB", back);  // too short for a second half: zeros
  const uint8_t expected[16] = {1};
  EXPECT_EQ(std::memcmp(back, expected, 16), 0);
}

TEST(Base32, ChecksAndUnvalidatedReading) {
  for (const char* text : {"gmrbcacvir3wncezvk54zxpo74", "GMRBCACVIR3WNCEZVK54ZXPO7", "GMRBCACVIR3WNCEZVK54ZXPO71",
                           "GMRBCACVIR3WNCEZVK54ZXPO7\xC7"}) {
    EXPECT_EQ(IsValidBase32(text), 0) << text;
  }
  EXPECT_EQ(IsValidBase32("GMRBCACVIR3WNCEZVK54ZXPO74 and more"), 1);
  // A character outside the alphabet sets all of its bits.
  GUID guid;
  Base32toGUID("?AAAAAAAAAAAAAAAAAAAAAAAAA", &guid);
  EXPECT_TRUE(encoding::RawBytes(guid)[0] == 0xF8 && encoding::RawBytes(guid)[1] == 0);
}

TEST(Base85, RejectsShortTextsAndOverflowingGroups) {
  GUID guid = Filled(0x5A);
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

TEST(UniqueIdentifier, MakesFreshRandomGuidTexts) {
  std::set<std::string> seen;
  for (int i = 0; i < 500; ++i) {
    char text[23];
    ASSERT_EQ(UniqueIdentifier(text), 1);
    ASSERT_EQ(IsValidBase64(text), 1);
    GUID guid;
    Base64toGUIDA(text, &guid);
    EXPECT_EQ(guid.Data3 >> 12, 4);
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 500u);
}

}  // namespace
