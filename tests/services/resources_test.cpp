#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "platform/files.h"
#include "services/resource_writer.h"
#include "support/test_support.h"

namespace {

using services::ResourceSource;
using testing_support::TempDir;

std::string ReadAll(IStream* resource) {
  std::string bytes;
  char block[7];
  for (UINT got; (got = _lreadRes(resource, block, sizeof block)) > 0;) bytes.append(block, got);
  return bytes;
}

class ResourceFile : public ::testing::Test {
 protected:
  void TearDown() override { CloseResMan(); }
  std::string Write(const std::string& bytes, const char* name = "res.dat") {
    std::string path = (dir_ / name).string();
    testing_support::WriteTextFile(path, bytes);
    return path;
  }
  std::string Open(const std::vector<ResourceSource>& sources) {
    std::string path = Write(services::BuildResourceFile(sources));
    EXPECT_EQ(0, InitResMan(path.c_str()));
    return path;
  }
  TempDir dir_;
};

const std::vector<ResourceSource> kSources = {
    {"bmp", "Logo", "logo bytes"},        {"BMP", "Banner", "banner"},
    {"text", "Welcome", "hello, world"},  {"textual", "LongerName1", "eight"},
    {"text", "Empty", ""},                {"wave", "a", std::string(1000, 'w')},
};

// First in the program: nothing else fills the settings record.
TEST_F(ResourceFile, LifeOfTheFile) {
  const auto* record = reinterpret_cast<const unsigned char*>(GetGlobalInternational());
  auto isZero = [&] { return std::all_of(record, record + sizeof(InternationalSettings), [](int b) { return b == 0; }); };
  EXPECT_EQ(nullptr, openRes("Logo", "bmp"));
  EXPECT_EQ(-1, InitResMan((dir_ / "missing.dat").string().c_str()));
  EXPECT_EQ(-1, InitResMan(nullptr));
  EXPECT_TRUE(isZero());  // only a successful open fills it
  std::string path = Open(kSources);
  EXPECT_FALSE(isZero());
  std::string other = Write(services::BuildResourceFile({{"bmp", "Other", "x"}}), "other.dat");
  EXPECT_EQ(0, InitResMan(other.c_str()));  // the first file stays
  EXPECT_EQ(nullptr, openRes("Other", "bmp"));
  IStream* kept = openRes("Welcome", "text");
  ASSERT_NE(nullptr, kept);
  CloseResMan();
  CloseResMan();
  EXPECT_EQ(nullptr, openRes("Welcome", "text"));
  auto openExclusive = [&] {
    HANDLE file = platform::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) platform::CloseHandle(file);
    return file != INVALID_HANDLE_VALUE;
  };
  EXPECT_FALSE(openExclusive());  // the handle still holds the file open
  EXPECT_EQ("hello, world", ReadAll(kept));
  closeRes(kept);
  EXPECT_TRUE(openExclusive());
}

TEST_F(ResourceFile, FindsByKeysAsTheyAreMadeAndReadsInsideFromManyThreads) {
  Open(kSources);
  struct Case { const char* name; const char* type; const char* expected; };
  const Case cases[] = {
      {"Logo  ", "bmp", "logo bytes"}, {"LOGO", "BMP", "logo bytes"}, {"banner", "Bmp", "banner"},
      {"welcome", "TEXT", "hello, world"}, {"longerna", "text", "eight"},  // 8 and 4 characters
      {"LongerNameX", "textfile", "eight"}, {"Empty", "text", ""},
      {"Logo", " bmp", nullptr},  // the type keeps its blanks
      {"Lo", "bmp", nullptr}, {"Logo", "txt", nullptr}, {"Bannerz", "bmp", nullptr}, {"zzz", "wave", nullptr},
  };
  for (const Case& c : cases) {
    IStream* resource = openRes(c.name, c.type);
    const std::string read = resource == nullptr ? "(none)" : ReadAll(resource);
    EXPECT_EQ(c.expected != nullptr ? c.expected : "(none)", read) << c.name << "/" << c.type;
    if (resource != nullptr) {
      EXPECT_EQ(static_cast<LONG>(read.size()), lseekRes(resource, 0, 2));
    }
    closeRes(resource);
  }
  IStream* wave = openRes("A", "WAVE");
  ASSERT_NE(nullptr, wave);
  char buffer[2000];
  EXPECT_EQ(990, lseekRes(wave, -10, 2));
  EXPECT_EQ(10u, _lreadRes(wave, buffer, sizeof buffer));  // stops at the end, S_OK
  EXPECT_EQ(0u, _lreadRes(wave, buffer, sizeof buffer));
  EXPECT_EQ(5, lseekRes(wave, 5, 0));
  EXPECT_EQ(7, lseekRes(wave, 2, 1));
  EXPECT_EQ(-1, lseekRes(wave, -8, 1));
  EXPECT_EQ(-1, lseekRes(nullptr, 0, 0));
  EXPECT_EQ(0u, _lreadRes(nullptr, buffer, 1));
  EXPECT_EQ(0, closeRes(nullptr) + closeRes(wave));
  std::vector<int> failures(8, 0);
  std::vector<testing_support::TestThread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 200; ++round) {
        const ResourceSource& source = kSources[(t + round) % kSources.size()];
        IStream* resource = openRes(source.name.c_str(), source.type.c_str());
        if (resource == nullptr || ReadAll(resource) != source.bytes) ++failures[t];
        closeRes(resource);
      }
    });
  }
  for (testing_support::TestThread& thread : threads) thread.join();
  EXPECT_EQ(std::vector<int>(8, 0), failures);
}

// Made byte by byte: a type table of one type and its closing entry, a
// name table of two entries whose unused fields and key tails hold noise.
TEST_F(ResourceFile, ReadsAFileMadeByHand) {
  auto le = [](DWORD v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  std::string file = "abcdefgh";                               // resources at 0
  file += std::string("ABC\0zzzz", 8) + le(99) + le(0) + le(3);  // name table at 8
  file += std::string("DEF\0\0\0\0\0", 8) + le(7) + le(3) + le(8);
  file += std::string("DA\0t", 4) + le(8) + std::string("\x7F\x7F\x7F\x7F", 4) + le(48);  // type table at 48
  file += le(48);
  ASSERT_EQ(0, InitResMan(Write(file).c_str()));
  const char* found[][2] = {{"abc", "abc"}, {"def", "defgh"}};
  for (auto& f : found) {
    IStream* resource = openRes(f[0], "da");
    ASSERT_NE(nullptr, resource) << f[0];
    EXPECT_EQ(f[1], ReadAll(resource));
    closeRes(resource);
  }
  EXPECT_EQ(nullptr, openRes("abd", "da"));  // sorts between the entries
  EXPECT_EQ(nullptr, openRes("abc", "db"));
}

}  // namespace
