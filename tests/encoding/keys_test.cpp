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
  const std::pair<const char*, int> hashes[] = {{"", 0}, {"a", 291}, {"abc", 352}, {"\xE9", 347}};
  for (const auto& [text, hash] : hashes) EXPECT_EQ(ovhash(text), hash) << text;  // bytes count signed
  EXPECT_NE(ovhash("abc"), ovhash("acb"));
}

TEST(RandomKey, WritesCountOfAllNinetyFourCharactersAndATerminatorAndNeverRepeats) {
  testing_support::GuardedBytes empty(1), guarded(17);
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
