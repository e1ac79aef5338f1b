// Shared by the text tests: the path and code page a test needs, Shift_JIS
// characters, and buffers ending at a guard page.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "frame/module.h"
#include "platform/codepage.h"
#include "support/guarded_memory.h"

namespace text_testing {

// Sets the double-byte flag for the life of the object.
class DoubleByteFlag {
 public:
  explicit DoubleByteFlag(int flag) : previous_(frame::SetDoubleByteFlagForTesting(flag)) {}
  ~DoubleByteFlag() { frame::SetDoubleByteFlagForTesting(previous_); }
  DoubleByteFlag(const DoubleByteFlag&) = delete;
  DoubleByteFlag& operator=(const DoubleByteFlag&) = delete;

 private:
  int previous_;
};

// The byte path: any code page (the C locale classifies bytes alike), flag off.
class BytePath : public ::testing::Test {
 private:
  DoubleByteFlag flag_{0};
};

// A test that holds only in one ANSI code page skips itself in another.
template <UINT kCodePage>
class InCodePage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (platform::GetACP() != kCodePage) GTEST_SKIP() << "needs the ANSI code page " << kCodePage;
  }
};

// The character-aware path: code page 932 and the flag on.
class Cp932Path : public InCodePage<932> {
 private:
  DoubleByteFlag flag_{1};
};

// Shift_JIS characters.
constexpr char kHiraganaA[] = "\x82\xa0";          // U+3042
constexpr char kIdeographicSpace[] = "\x81\x40";   // U+3000
constexpr char kFullwidthZero[] = "\x82\x4f";      // U+FF10
constexpr char kFullwidthNine[] = "\x82\x58";      // U+FF19
constexpr char kFullwidthCapitalA[] = "\x82\x60";  // U+FF21
constexpr char kFullwidthCapitalB[] = "\x82\x61";  // U+FF22, trail byte 'a'
constexpr char kFullwidthSmallA[] = "\x82\x81";    // U+FF41
constexpr char kHyou[] = "\x95\x5c";               // U+8868, trail byte '\'
constexpr char kHalfwidthKatakanaA[] = "\xb1";     // U+FF71, a single byte

// Text buffers that end at a guard page: a write past their room faults.
using GuardedA = testing_support::GuardedText<char>;
using GuardedW = testing_support::GuardedText<WCHAR>;

}  // namespace text_testing
