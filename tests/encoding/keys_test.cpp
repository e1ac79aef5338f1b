// Bucket hashes and random keys.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ovpb32.h"
#include "support/guarded_memory.h"

namespace {

TEST(OvHash, KnownTexts) {
  EXPECT_EQ(ovhash(""), 0);
  EXPECT_EQ(ovhash("a"), 291);
  EXPECT_EQ(ovhash("abc"), 352);
  EXPECT_EQ(ovhash("\xE9"), 347);  // the byte counts as -23
  EXPECT_NE(ovhash("abc"), ovhash("acb"));
}

TEST(RandomKey, WritesCountPrintableCharactersAndATerminator) {
  testing_support::GuardedBytes empty(1);
  empty.data()[0] = 'x';
  RandomKey(reinterpret_cast<char*>(empty.data()), 0);
  EXPECT_EQ(empty.data()[0], 0);

  testing_support::GuardedBytes key(17);
  RandomKey(reinterpret_cast<char*>(key.data()), 16);
  EXPECT_EQ(key.data()[16], 0);
  for (int i = 0; i < 16; ++i) {
    EXPECT_GE(key.data()[i], '!');
    EXPECT_LE(key.data()[i], '~');
  }
}

TEST(RandomKey, UsesAllNinetyFourCharactersAndNeverRepeatsAKey) {
  std::vector<int> seen(256, 0);
  std::set<std::string> keys;
  for (int i = 0; i < 1000; ++i) {
    char key[33];
    RandomKey(key, 32);
    keys.insert(key);
    for (int j = 0; j < 32; ++j) ++seen[static_cast<unsigned char>(key[j])];
  }
  EXPECT_EQ(keys.size(), 1000u);
  for (int c = 0; c < 256; ++c) {
    if (c >= '!' && c <= '~') {
      EXPECT_GT(seen[c], 0) << c;
    } else {
      EXPECT_EQ(seen[c], 0) << c;
    }
  }
}

// Run alone in a fresh process too, so the threads meet the first call.
TEST(FirstUse, ThreadsMakeKeysTogether) {
  std::vector<std::thread> threads;
  std::vector<std::string> keys(8);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([t, &keys] {
      char key[21];
      RandomKey(key, 20);
      keys[t] = key;
    });
  }
  for (auto& thread : threads) thread.join();
  for (const auto& key : keys) EXPECT_EQ(key.size(), 20u);
}

}  // namespace
