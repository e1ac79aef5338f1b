#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/format.h"
#include "platform/guid.h"
#include "platform/library.h"
#include "platform/number_format.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "platform/wide.h"
#include "support/test_support.h"
#ifndef _WIN32
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stddef.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

std::string Expanded(const char* text, DWORD size = 260) {
  std::string buffer(size, '#');
  DWORD needed = platform::ExpandEnvironmentStringsA(text, &buffer[0], size);
  return needed <= size ? buffer.c_str() : "needs " + std::to_string(needed);
}

TEST(EnvironmentExpansion, ReplacesKnownVariablesWithoutRegardToCase) {
  testing_support::SetEnvironment("OVPB_EXPAND_TEST", "value");
  const std::pair<const char*, const char*> cases[] = {
      {"a%OVPB_EXPAND_TEST%b", "avalueb"}, {"%ovpb_expand_test%", "value"},
      {"%OVPB_NO_SUCH_VARIABLE%x", "%OVPB_NO_SUCH_VARIABLE%x"}, {"100%", "100%"},
      {"%%OVPB_EXPAND_TEST%", "%%OVPB_EXPAND_TEST%"}, {"%X%%OVPB_EXPAND_TEST%", "%X%value"},
      {"x%OVPB_EXPAND_TEST%", "xvalue"}};
  for (const auto& [text, expanded] : cases) EXPECT_EQ(Expanded(text), expanded) << text;
  // The room needed, and nothing written when it is short.
  EXPECT_EQ(platform::ExpandEnvironmentStringsA("x%OVPB_EXPAND_TEST%", nullptr, 0), 7u);
  EXPECT_EQ(Expanded("x%OVPB_EXPAND_TEST%", 4), "needs 7");
}

std::string Formatted(size_t capacity, const WCHAR* format, ...) {
  WideString buffer(capacity, u'#');
  va_list arguments;
  va_start(arguments, format);
  int result = platform::FormatWide(&buffer[0], capacity, format, arguments);
  va_end(arguments);
  std::string text = testing_support::ToUtf8(WideString(buffer.c_str()));
  return result < 0 ? "cut:" + text : text;
}

TEST(WideFormat, StringsAreWideUnlessMarkedNarrowAndCutTextIsTerminated) {
  EXPECT_EQ(Formatted(64, OV_WIDE("%s|%S|%hs|%ls"), OV_WIDE("w1"), "n1", "n2", OV_WIDE("w2")), "w1|n1|n2|w2");
  EXPECT_EQ(Formatted(64, OV_WIDE("[%-6s][%6s][%.2s]"), OV_WIDE("ab"), OV_WIDE("cd"), OV_WIDE("xyz")),
            "[ab    ][    cd][xy]");
  EXPECT_EQ(Formatted(64, OV_WIDE("%c%C"), static_cast<int>(u'\u00e9'), static_cast<int>('z')), "\u00e9z");
  EXPECT_EQ(Formatted(6, OV_WIDE("%s"), OV_WIDE("abcdefgh")), "cut:abcde");
  EXPECT_EQ(Formatted(6, OV_WIDE("abcde")), "abcde");
}

using TickCount = DWORD (*)();

TEST(Library, FindsSystemFunctionsByNameInAnyCaseOrFailsWithTheErrors) {
  for (const char* name : {"kernel32.dll", "KERNEL32", "Kernel32.DLL"}) {
    HMODULE kernel = platform::LoadLibraryA(name);
    ASSERT_NE(kernel, nullptr) << name;
    auto tickCount = platform::GetProcAddressAs<TickCount>(kernel, "GetTickCount");
    ASSERT_NE(tickCount, nullptr) << name;
    EXPECT_LE(platform::GetTickCount() - tickCount(), 1000u);
    EXPECT_EQ(platform::GetModuleHandleA(name), kernel);
    EXPECT_EQ(platform::GetProcAddress(kernel, "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(platform::FreeLibrary(kernel));
  }
  EXPECT_EQ(platform::LoadLibraryA("no-such-library-here.dll"), nullptr);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(CoCreateGuid, MakesDistinctVersionFourGuids) {
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) {
    GUID guid;
    ASSERT_EQ(platform::CoCreateGuid(&guid), S_OK);
    ASSERT_EQ(guid.Data3 >> 12, 4) << i;
    ASSERT_EQ(guid.Data4[0] & 0xC0, 0x80) << i;
    seen.insert(std::string(reinterpret_cast<const char*>(&guid), sizeof guid));
  }
  EXPECT_EQ(seen.size(), 2000u);
  EXPECT_EQ(platform::CoCreateGuid(nullptr), E_INVALIDARG);
}

#ifndef _WIN32
// Makes the listed system calls fail with ENOSYS from now on, then exits 0
// when CoCreateGuid answers as expected and, on failure, leaves the GUID as
// it was; 1 otherwise; 2 when the filter could not be set.
void CreateGuidWithout(std::initializer_list<long> calls, HRESULT expected) {
  std::vector<sock_filter> program{BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
  for (long call : calls) {
    program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<__u32>(call), 0, 1));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (ENOSYS & SECCOMP_RET_DATA)));
  }
  program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
  if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) != 0) _exit(2);
  GUID guid, before;
  std::memset(&guid, 0x5A, sizeof guid);
  before = guid;
  const HRESULT result = platform::CoCreateGuid(&guid);
  const bool untouched = std::memcmp(&guid, &before, sizeof guid) == 0;
  _exit(result == expected && untouched == FAILED(expected) ? 0 : 1);
}

TEST(CoCreateGuidDeathTest, FallsBackToTheDeviceAndFailsAsComDoesWithoutAnyRandomness) {
  EXPECT_EXIT(CreateGuidWithout({SYS_getrandom}, S_OK), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(CreateGuidWithout({SYS_getrandom, SYS_open, SYS_openat}, HRESULT_FROM_WIN32(RPC_S_UUID_NO_ADDRESS)),
              testing::ExitedWithCode(0), "");
}
#endif

// GetCurrencyFormatA against Windows' answers; lines marked "posix" are for this layer only.
// value|NumDigits|LeadingZero|Grouping|thousands|decimal|NegativeOrder|PositiveOrder|symbol|size: the text,
// "error N", or with size 0 the length asked for; nothing written past `size`.
std::string Currency(const std::vector<std::string>& f) {
  auto number = [&](int i) { return static_cast<UINT>(std::atoi(f[i].c_str())); };
  auto text = [&](int i) { return f[i] == "~" ? nullptr : const_cast<char*>(f[i].c_str()); };
  CURRENCYFMTA format{number(1), number(2), number(3), text(5), text(4), number(6), number(7), text(8)};
  const int size = static_cast<int>(number(9));
  std::string out(110, '#');
  platform::SetLastError(0);
  const int length = platform::GetCurrencyFormatA(0x0409, 0, f[0].c_str(), &format, &out[0], size);
  EXPECT_EQ(out[static_cast<size_t>(size)], '#');
  if (length == 0) return "error " + std::to_string(platform::GetLastError());
  return size == 0 ? std::to_string(length) : out[static_cast<size_t>(length - 1)] == 0 ? out.c_str() : "unterminated";
}

TEST(CurrencyFormat, MatchesWindows) {
  const auto cases = testing_support::ReadTable("currency_cases.txt", '|');
  ASSERT_FALSE(cases.empty());
  for (std::vector<std::string> f : cases) {
    if (f[0] == "posix") {
#ifdef _WIN32
      continue;
#endif
      f.erase(f.begin());
    }
    EXPECT_EQ(Currency(f), f[10]) << f[0] << " " << f[9];
  }
}

class ProfileTest : public ::testing::Test {
 protected:
  void Write(const std::string& contents) { testing_support::WriteTextFile(file_, contents); }
  std::string Read(const char* section, const char* key, const char* fallback, DWORD size = 64) {
    std::string buffer(size + 1, '#');
    DWORD length = platform::GetPrivateProfileStringA(section, key, fallback, &buffer[0], size, file_.c_str());
    EXPECT_EQ(buffer[size], '#');
    EXPECT_EQ(length, std::string(buffer.c_str()).size());
    return buffer.c_str();
  }

  testing_support::TempDir dir_;
  std::string file_ = (dir_ / "cv.ver").string();
};

// Blanks and tabs around section and key names do not count; inside them they do.
TEST_F(ProfileTest, ValuesAreFoundTrimmedUnquotedAndCut) {
  Write("[First]\r\nname=one\r\n[Settings]\r\n  Spaced Key  =   spaced value   \r\nLong=abcdefghij\r\n"
        "Quoted=\"in quotes\"\r\nSingle='single'\r\nHalfQuoted=\"open\r\nLone=\"\r\nEmpty=\r\n"
        "[ VERSION ]\r\nRelease = 7\r\n[\tTabbed\t]\r\n\t Key\t=\tvalue\t\r\n"
        " [Indented]\r\n  Padded Key  =  two \r\n[Inner Blank]\r\nIn Key=inner\r\n");
  const struct {
    const char *section, *key, *fallback;
    DWORD size;
    const char* value;
  } reads[] = {
      {"settings", "LONG", "x", 64, "abcdefghij"},  // names compare without regard to case
      {"FIRST", "Name", "x", 64, "one"},              {"Settings", "Spaced Key", "x", 64, "spaced value"},
      {"Settings", "Quoted", "x", 64, "in quotes"},   {"Settings", "Single", "x", 64, "single"},
      {"Settings", "HalfQuoted", "x", 64, "\"open"},  {"Settings", "Lone", "x", 64, "\""},
      {"Settings", "Empty", "fallback", 64, ""},      {"Settings", "Absent", "fallback", 64, "fallback"},
      {"Nowhere", "Long", "fallback  ", 64, "fallback"},  // the default loses its trailing blanks
      {"Settings", "Absent", "  lead", 64, "  lead"}, {"Settings", "Long", "x", 5, "abcd"},
      {"Settings", "Long", "x", 1, ""},               {"Settings", "Absent", "fallback", 4, "fal"},
      {"VERSION", "Release", "-", 64, "7"},           {" VERSION ", "Release", "-", 64, "7"},
      {"version", " Release\t", "-", 64, "7"},        {"\tTabbed", "Key", "-", 64, "value"},
      {"Indented", "Padded Key", "-", 64, "two"},     {"Inner Blank", "In Key", "-", 64, "inner"},
      {"InnerBlank", "In Key", "-", 64, "-"},          {"Inner Blank", "InKey", "-", 64, "-"},
  };
  for (const auto& read : reads) {
    EXPECT_EQ(Read(read.section, read.key, read.fallback, read.size), read.value)
        << "[" << read.section << "] " << read.key << " " << read.size;
  }
  char buffer[32];
  std::string missing = (dir_ / "absent.ini").string();
  EXPECT_EQ(platform::GetPrivateProfileStringA("Settings", "Long", "dflt", buffer, 32, missing.c_str()), 4u);
  EXPECT_STREQ(buffer, "dflt");
}

// A null key lists the section's keys, each ended by a zero and the list by
// one more, as far as they fit; a cut before an empty name stays in its room.
TEST_F(ProfileTest, NullKeyListsTheSectionsKeysAsFarAsTheyFit) {
  Write("[First]\r\nname=one\r\n[s]\r\nab=1\r\n=2\r\n");
  char buffer[256];
  DWORD length = platform::GetPrivateProfileStringA("First", nullptr, "x", buffer, sizeof buffer, file_.c_str());
  ASSERT_EQ(length, 5u);
  EXPECT_EQ(std::string(buffer, length + 1), std::string("name\0\0", 6));
  WCHAR wide[5];  // one short for "name" and its two terminators
  const WideString file = WidenAscii(file_.c_str());
  EXPECT_EQ(platform::GetPrivateProfileStringW(OV_WIDE("First"), nullptr, OV_WIDE("x"), wide, 5, file.c_str()), 3u);
  EXPECT_EQ(WideString(wide, 5), WideString(OV_WIDE("nam\0\0"), 5));
  char room[5] = {'#', '#', '#', '#', '#'};
  EXPECT_LE(platform::GetPrivateProfileStringA("s", nullptr, "", room, 4, file_.c_str()), 2u);
  EXPECT_EQ(room[4], '#');
}

TEST_F(ProfileTest, IntegersReadSignBlanksAndStopAtGarbage) {
  Write("[Settings]\r\nNegative=-12\r\nSigned=+7\r\nPadded=   42\r\nTrailing=15 apples\r\nWord=apples\r\n"
        "Big=4294967295\r\nEmpty=\r\n");
  const std::pair<const char*, int> integers[] = {{"Negative", -12}, {"Signed", 7},       {"Padded", 42},
                                                  {"Trailing", 15},  {"Word", 0},         {"Big", -1},
                                                  {"Absent", 10000000}, {"Empty", 10000000}};
  for (const auto& [key, value] : integers) {
    EXPECT_EQ(static_cast<int>(platform::GetPrivateProfileIntA("Settings", key, 10000000, file_.c_str())), value) << key;
  }
}

}  // namespace
