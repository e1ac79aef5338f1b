// Shared by the text tests: the path and code page a test needs, Shift_JIS
// characters, and buffers with guard bytes after their room.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/module.h"
#include "platform/codepage.h"

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

// `room` characters of buffer followed by guard characters that nothing may
// touch; the buffer starts with `initial` and its terminator.
template <typename Char>
class Guarded {
 public:
  static constexpr size_t kGuards = 8;
  static constexpr Char kGuard = static_cast<Char>(0x7E);

  Guarded(const std::basic_string<Char>& initial, size_t room) : room_(room), units_(room + kGuards, kGuard) {
    EXPECT_LT(initial.size(), room) << "the initial text must fit";
    std::copy(initial.begin(), initial.end(), units_.begin());
    units_[initial.size()] = 0;
  }

  Char* get() { return units_.data(); }
  std::basic_string<Char> text() const { return std::basic_string<Char>(units_.data()); }

  bool GuardsIntact() const {
    for (size_t i = room_; i < units_.size(); ++i) {
      if (units_[i] != kGuard) return false;
    }
    return true;
  }

 private:
  size_t room_;
  std::vector<Char> units_;
};

using GuardedA = Guarded<char>;
using GuardedW = Guarded<WCHAR>;

}  // namespace text_testing
