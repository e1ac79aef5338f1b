#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "ovpb32.h"
#include "services/post_message.h"

namespace {

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

TEST_F(PointerCache, KeysCountOnAndBlocksStayUntilSwept) {
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
}

TEST_F(PointerCache, GrowsByFiftyWhenFull) {
  std::vector<DWORD> keys;
  for (int i = 0; i < 256; ++i) keys.push_back(CachePostMessagePointer(std::malloc(1)));
  EXPECT_EQ(256u, services::PostMessageCapacityForTesting());
  keys.push_back(CachePostMessagePointer(std::malloc(1)));
  EXPECT_EQ(306u, services::PostMessageCapacityForTesting());
  for (size_t i = 1; i < keys.size(); ++i) ASSERT_EQ(keys[i - 1] + 1, keys[i]);
}

TEST_F(PointerCache, FlushFreesBlocksByAge) {
  services::SetPostMessageTicksForTesting(&FakeTicks);
  struct Case { DWORD cached; DWORD flushed; bool kept; };
  const Case cases[] = {
      {1000, 1000, true},          {1000, 11000, true},         {1000, 11001, false},
      {1000, 999, false},          // a clock that went back
      {0xFFFFF000u, 0xFFFFF000u, false},  // tick + 10000 wraps below now
      {0xFFFFD8EFu, 0xFFFFFFFFu, true},   // 10000 later, the sum just fits
      {0xFFFFFFF0u, 5, false},
  };
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
  std::vector<std::thread> threads;
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
  for (std::thread& thread : threads) thread.join();
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
