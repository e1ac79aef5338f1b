// Profile reads. The same expectations hold for the real Windows functions
// (the Windows build) and the POSIX layer.

#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "platform/wide.h"
#include "support/test_support.h"

namespace {

using testing_support::TempDir;
using testing_support::ToUtf8;

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::WriteTextFile(dir_ / "test.ini",
                                   "[First]\r\n"
                                   "name=one\r\n"
                                   "[Settings]\r\n"
                                   "  Spaced Key  =   spaced value   \r\n"
                                   "Long=abcdefghij\r\n"
                                   "Quoted=\"in quotes\"\r\n"
                                   "Single='single'\r\n"
                                   "HalfQuoted=\"open\r\n"
                                   "Empty=\r\n"
                                   "Negative=-12\r\n"
                                   "Signed=+7\r\n"
                                   "Padded=   42\r\n"
                                   "Trailing=15 apples\r\n"
                                   "Word=apples\r\n"
                                   "Big=4294967295\r\n");
    file_ = (dir_ / "test.ini").string();
    wideFile_ = WidenAscii(file_.c_str());
  }

  std::string Read(const char* section, const char* key, const char* fallback, DWORD size = 64) {
    std::string buffer(size, '#');
    DWORD length = platform::GetPrivateProfileStringA(section, key, fallback, &buffer[0], size, file_.c_str());
    EXPECT_EQ(length, std::string(buffer.c_str()).size());
    return buffer.c_str();
  }

  int ReadInt(const char* key, int fallback) {
    return static_cast<int>(platform::GetPrivateProfileIntA("Settings", key, fallback, file_.c_str()));
  }

  TempDir dir_;
  std::string file_;
  WideString wideFile_;
};

TEST_F(ProfileTest, NamesCompareWithoutRegardToCase) {
  EXPECT_EQ(Read("settings", "LONG", "x"), "abcdefghij");
  EXPECT_EQ(Read("SETTINGS", "long", "x"), "abcdefghij");
  EXPECT_EQ(Read("first", "NAME", "x"), "one");
}

TEST_F(ProfileTest, BlanksAroundKeysAndValuesAreTrimmed) {
  EXPECT_EQ(Read("Settings", "Spaced Key", "x"), "spaced value");
}

TEST_F(ProfileTest, MatchingQuotesAreRemoved) {
  EXPECT_EQ(Read("Settings", "Quoted", "x"), "in quotes");
  EXPECT_EQ(Read("Settings", "Single", "x"), "single");
  EXPECT_EQ(Read("Settings", "HalfQuoted", "x"), "\"open");
}

TEST_F(ProfileTest, MissingKeySectionOrFileGivesTheDefaultWithoutTrailingBlanks) {
  EXPECT_EQ(Read("Settings", "Absent", "fallback"), "fallback");
  EXPECT_EQ(Read("Nowhere", "Long", "fallback  "), "fallback");
  EXPECT_EQ(Read("Settings", "Absent", "  lead"), "  lead");
  std::string missing = (dir_ / "absent.ini").string();
  char buffer[32];
  EXPECT_EQ(platform::GetPrivateProfileStringA("Settings", "Long", "dflt", buffer, 32, missing.c_str()), 4u);
  EXPECT_STREQ(buffer, "dflt");
}

TEST_F(ProfileTest, PresentButEmptyValueIsEmpty) { EXPECT_EQ(Read("Settings", "Empty", "fallback"), ""); }

TEST_F(ProfileTest, ValuesAreTruncatedToTheBuffer) {
  EXPECT_EQ(Read("Settings", "Long", "x", 5), "abcd");
  EXPECT_EQ(Read("Settings", "Long", "x", 1), "");
  EXPECT_EQ(Read("Settings", "Absent", "fallback", 4), "fal");
}

TEST_F(ProfileTest, NullKeyListsTheSectionsKeys) {
  char buffer[256];
  DWORD length = platform::GetPrivateProfileStringA("First", nullptr, "x", buffer, sizeof buffer, file_.c_str());
  ASSERT_EQ(length, 5u);
  EXPECT_EQ(std::string(buffer, length + 1), std::string("name\0\0", 6));
}

TEST_F(ProfileTest, IntegersReadSignBlanksAndStopAtGarbage) {
  EXPECT_EQ(ReadInt("Negative", 0), -12);
  EXPECT_EQ(ReadInt("Signed", 0), 7);
  EXPECT_EQ(ReadInt("Padded", 0), 42);
  EXPECT_EQ(ReadInt("Trailing", 0), 15);
  EXPECT_EQ(ReadInt("Word", 99), 0);
  EXPECT_EQ(ReadInt("Big", 0), -1);
}

TEST_F(ProfileTest, IntegersFallBackWhenMissingOrEmpty) {
  EXPECT_EQ(ReadInt("Absent", 10000000), 10000000);
  EXPECT_EQ(ReadInt("Empty", -5), -5);
}

TEST_F(ProfileTest, WideReadsAgreeWithNarrow) {
  WCHAR buffer[64];
  DWORD length = platform::GetPrivateProfileStringW(OV_WIDE("SETTINGS"), OV_WIDE("spaced key"), OV_WIDE("x"),
                                                    buffer, 64, wideFile_.c_str());
  EXPECT_EQ(ToUtf8(WideString(buffer, length)), "spaced value");
  length = platform::GetPrivateProfileStringW(OV_WIDE("Settings"), OV_WIDE("Long"), OV_WIDE("x"), buffer, 4,
                                              wideFile_.c_str());
  EXPECT_EQ(ToUtf8(WideString(buffer, length)), "abc");
  EXPECT_EQ(static_cast<int>(platform::GetPrivateProfileIntW(OV_WIDE("settings"), OV_WIDE("negative"), 3,
                                                             wideFile_.c_str())),
            -12);
  EXPECT_EQ(platform::GetPrivateProfileIntW(OV_WIDE("Settings"), OV_WIDE("Absent"), 3, wideFile_.c_str()), 3u);
}

TEST(ProfileEncoding, Utf16FileIsReadThroughTheWideAndNarrowForms) {
  TempDir dir;
  // "[S]\r\nKey=vé\r\n" in UTF-16LE with its byte order mark.
  std::string bytes("\xFF\xFE", 2);
  for (char16_t unit : std::u16string(u"[S]\r\nKey=v\u00e9\r\n")) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  testing_support::WriteTextFile(dir / "wide.ini", bytes);
  WideString file = WidenAscii((dir / "wide.ini").string().c_str());
  WCHAR buffer[16];
  DWORD length = platform::GetPrivateProfileStringW(OV_WIDE("s"), OV_WIDE("key"), OV_WIDE(""), buffer, 16, file.c_str());
  ASSERT_EQ(length, 2u);
  EXPECT_EQ(buffer[0], u'v');
  EXPECT_EQ(buffer[1], 0xE9);
}

}  // namespace
