// Bucket hashes and random keys.

#include <gtest/gtest.h>

#include <cstring>
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

// Run alone in a fresh process too, so that the threads meet the first call
// and race to make the Base85 table at its first use.
TEST(FirstUse, ThreadsMakeKeysAndDecodeBase85Together) {
  const GUID sample = {0x00112233, 0x4455, 0x6677, {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}};
  std::vector<std::thread> threads;
  std::vector<int> failures(8, 0);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([t, &failures, &sample] {
      char key[21];
      RandomKey(key, 20);
      failures[t] += std::string(key).size() != 20;
      for (int i = 0; i < 200; ++i) {
        GUID guid;
        failures[t] += Base85toGUID("Ga]ZHRYZ4Yh]%Op%-!z)", &guid) != 1 || std::memcmp(&guid, &sample, sizeof guid) != 0;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(8, 0));
}

}  // namespace
