// Process services, and the pointer cache for window messages.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/process.h"
#include "platform/system.h"
#include "services/post_message.h"
#include "services/process.h"
#include "support/test_support.h"

#ifndef _WIN32
#include <zlib.h>
#endif

namespace {

// zlib's CRC-32 on Linux; Windows' own in ntdll.
DWORD ReferenceCrc32(const std::string& bytes) {
#ifdef _WIN32
  typedef DWORD(WINAPI * Crc)(DWORD, const BYTE*, INT);
  auto crc = platform::GetProcAddressAs<Crc>(platform::GetModuleHandleA("ntdll.dll"), "RtlComputeCrc32");
  return crc(0, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<INT>(bytes.size()));
#else
  return static_cast<DWORD>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
#endif
}

std::atomic<DWORD> fakeSession{0};
BOOL WINAPI FakeSessionId(DWORD, DWORD* session) {
  *session = fakeSession.load();
  return TRUE;
}

// Hides the named functions, or stands the fake session in.
struct ProcessSeam : platform::LibrarySeam {
  std::set<std::string> hidden;
  bool fakeSessions = false;
  platform::ProcAddress OnLookup(const char* procName, platform::ProcAddress found) override {
    if (hidden.count(procName) != 0) return nullptr;
    if (fakeSessions && std::strcmp(procName, "ProcessIdToSessionId") == 0) {
      return reinterpret_cast<platform::ProcAddress>(&FakeSessionId);
    }
    return found;
  }
};

class ProcessServices : public ::testing::Test {
 protected:
  void SetUp() override { platform::ActiveLibrarySeam() = &seam_; }
  void TearDown() override { platform::ActiveLibrarySeam() = nullptr; }
  ProcessSeam seam_;
};

TEST_F(ProcessServices, ProcessIdByEitherPathAndSessionIdentifierAsTheCrcOfNameAndSession) {
  const DWORD own = platform::GetCurrentProcessId();
  struct Case { std::set<std::string> hidden; HANDLE process; DWORD expected; };
  const HANDLE self = platform::GetCurrentProcess(), other = reinterpret_cast<HANDLE>(0x1234);
  const Case cases[] = {{{}, self, own}, {{"GetProcessId"}, self, own},
                        {{"GetProcessId", "NtQueryInformationProcess"}, self, 0}, {{}, other, 0},
                        {{"GetProcessId"}, other, 0}};
  for (const Case& c : cases) {
    seam_.hidden = c.hidden;
    EXPECT_EQ(c.expected, OVGetProcessId(c.process)) << c.hidden.size();
  }
  seam_.hidden.clear();
  char name[16];
  DWORD size = sizeof name;
  ASSERT_TRUE(platform::GetComputerNameA(name, &size));
  auto sessionOf = platform::GetProcAddressAs<platform::ProcessIdToSessionIdFunction>(
      platform::GetModuleHandleA("kernel32.dll"), "ProcessIdToSessionId");
  DWORD session = 0;
  ASSERT_TRUE(sessionOf != nullptr && sessionOf(platform::GetCurrentProcessId(), &session));
  auto expected = [&](DWORD id) {
    return ReferenceCrc32(id == 0 ? std::string(name) : std::string(name) + std::string(reinterpret_cast<char*>(&id), 4));
  };
  EXPECT_EQ(expected(session), GetSessionUniqueIdentifier());
  seam_.fakeSessions = true;
  for (DWORD id : {7u, 0u, 0x01020304u, 7u}) {
    fakeSession = id;
    EXPECT_EQ(expected(id), GetSessionUniqueIdentifier()) << id;
  }
}

TEST_F(ProcessServices, TaxYearIsReadOnce) {
  const auto ini = testing_support::ProgramDirectory() / "taxyear.ini";
  std::remove(ini.string().c_str());
  services::ForgetTaxYearForTesting();
  EXPECT_EQ(115, GetTaxYear());
  testing_support::WriteTextFile(ini, "[TAX]\r\nYEAR=2016\r\n");
  EXPECT_EQ(115, GetTaxYear());  // kept
  services::ForgetTaxYearForTesting();
  EXPECT_EQ(116, GetTaxYear());
  testing_support::WriteTextFile(ini, "[tax]\r\nyear=2020\r\n");
  EXPECT_EQ(116, GetTaxYear());
  services::ForgetTaxYearForTesting();
  std::vector<int> years(8);
  std::vector<DWORD> sessions(8);
  std::vector<testing_support::TestThread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      years[t] = GetTaxYear();
      sessions[t] = GetSessionUniqueIdentifier();
    });
  }
  for (testing_support::TestThread& thread : threads) thread.join();
  EXPECT_EQ(std::vector<int>(8, 120), years);
  EXPECT_EQ(std::vector<DWORD>(8, sessions[0]), sessions);
  std::remove(ini.string().c_str());
}

std::atomic<DWORD> fakeNow{0};
DWORD FakeTicks() { return fakeNow.load(); }

class PointerCache : public ::testing::Test {
 protected:
  void SetUp() override { CleanUpPostMessagePointers(); }
  void TearDown() override {
    CleanUpPostMessagePointers();
    services::SetPostMessageTicksForTesting(nullptr);
  }
};

TEST_F(PointerCache, KeysCountOnAndBlocksStayUntilSweptByAgeInAGrowingTable) {
  DWORD first = 0;
  auto* block = static_cast<unsigned char*>(AllocatePostMessagePointer(64, &first));
  ASSERT_NE(nullptr, block);
  EXPECT_TRUE(std::all_of(block, block + 64, [](unsigned char b) { return b == 0; }));
  void* second = AllocatePostMessagePointer(8, nullptr);
  DWORD third = CachePostMessagePointer(std::malloc(4));
  EXPECT_EQ(first + 2, third);
  EXPECT_EQ(block, GetPostMessagePointer(first));
  EXPECT_EQ(block, GetPostMessagePointer(first));
  EXPECT_EQ(second, GetPostMessagePointer(first + 1));
  EXPECT_EQ(nullptr, GetPostMessagePointer(0));
  EXPECT_EQ(nullptr, GetPostMessagePointer(0xFFFFFFFFu));
  EXPECT_EQ(nullptr, GetPostMessagePointer(third + 1));
  CleanUpPostMessagePointers();
  EXPECT_EQ(nullptr, GetPostMessagePointer(first));
  EXPECT_EQ(0u, services::PostMessageCapacityForTesting());
  EXPECT_EQ(third + 1, CachePostMessagePointer(std::malloc(1)));  // the counter goes on
  for (int i = 1; i < 256; ++i) CachePostMessagePointer(std::malloc(1));
  EXPECT_EQ(256u, services::PostMessageCapacityForTesting());
  EXPECT_EQ(third + 257, CachePostMessagePointer(std::malloc(1)));
  EXPECT_EQ(306u, services::PostMessageCapacityForTesting());  // grown by 50
  services::SetPostMessageTicksForTesting(&FakeTicks);
  struct Case { DWORD cached; DWORD flushed; bool kept; };
  const Case cases[] = {{1000, 1000, true}, {1000, 11000, true}, {1000, 11001, false},
                        {1000, 999, false},                 // a clock that went back
                        {0xFFFFF000u, 0xFFFFF000u, false},  // tick + 10000 wraps below now
                        {0xFFFFD8EFu, 0xFFFFFFFFu, true},   // 10000 later, the sum just fits
                        {0xFFFFFFF0u, 5, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cached);
    fakeNow = c.cached;
    DWORD key = CachePostMessagePointer(std::malloc(1));
    fakeNow = c.flushed;
    FlushPostMessagePointers();
    EXPECT_EQ(c.kept, GetPostMessagePointer(key) != nullptr);
    CleanUpPostMessagePointers();
  }
}

TEST_F(PointerCache, ThreadsShareOneCounter) {
  constexpr int kThreads = 8, kEach = 300;
  std::vector<std::vector<DWORD>> keys(kThreads);
  std::atomic<int> lost{0};
  std::vector<testing_support::TestThread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        DWORD key = 0;
        void* block = AllocatePostMessagePointer(16, &key);
        if (GetPostMessagePointer(key) != block) ++lost;
        keys[t].push_back(key);
        if (i % 50 == 0) FlushPostMessagePointers();
      }
    });
  }
  for (testing_support::TestThread& thread : threads) thread.join();
  EXPECT_EQ(0, lost.load());
  std::vector<DWORD> all;
  for (auto& own : keys) all.insert(all.end(), own.begin(), own.end());
  std::sort(all.begin(), all.end());
  EXPECT_EQ(all.end(), std::adjacent_find(all.begin(), all.end()));
  EXPECT_EQ(all.front() + kThreads * kEach - 1, all.back());
}

// Left cached on purpose: the library's detach frees them, which the leak
// checker sees at exit.
TEST(PointerCacheAtExit, BlocksLeftCached) {
  ASSERT_NE(nullptr, AllocatePostMessagePointer(100, nullptr));
}

}  // namespace
