// The wildcard match against the plain star-by-star retry it shortens: the
// same answer, match or not, down to the code it returns, on random patterns
// over short texts and over texts longer than the match keeps positions of.

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "platform/mbcs.h"
#include "text_test.h"

namespace {

using namespace text_testing;

int RetryAtEachStar(const char* p, const char* x, bool doubleByte) {
  auto next = [&](const char* c) {
    return doubleByte ? reinterpret_cast<const char*>(platform::_mbsinc(reinterpret_cast<const unsigned char*>(c))) : c + 1;
  };
  auto code = [&](const char* c) {
    return next(c) - c == 2 ? platform::_mbsnextc(reinterpret_cast<const unsigned char*>(c)) : static_cast<unsigned char>(*c);
  };
  auto folded = [&](const char* c) {
    return doubleByte ? platform::_mbctoupper(code(c)) : static_cast<unsigned>(std::toupper(static_cast<int>(code(c))));
  };
  const char* patternResume = nullptr;
  const char* textResume = nullptr;
  for (;;) {
    if (*p == '*') {
      while (*p == '*') ++p;
      patternResume = p;
      textResume = x;
    }
    if (*p == '?') {
      if (*x == 0) return -1;
    } else if (folded(p) != folded(x)) {
      if (patternResume == nullptr) return -1;
      p = patternResume;
      if (*textResume == 0) break;
      x = textResume = next(textResume);
      continue;
    }
    if (*p != 0) p = next(p);
    if (*x == 0) break;
    x = next(x);
  }
  while (*p == '*') ++p;
  return static_cast<int>(code(p));
}

void ExpectSameAnswers(const std::vector<std::string>& pieces, bool doubleByte) {
  std::mt19937 random(7);
  auto pick = [&](size_t count, bool wild) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
      const size_t choice = random() % (pieces.size() + (wild ? 3 : 0));
      out += choice < pieces.size() ? pieces[choice] : choice == pieces.size() ? "?" : "*";
    }
    return out;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string text = pick(round % 3 == 0 ? 300 + random() % 40 : random() % 8, false);
    const std::string pattern = pick(random() % 8, true) + (round % 2 ? "*" : "") + pick(random() % 6, true);
    ASSERT_EQ(wcstrcmp(pattern.c_str(), text.c_str()), RetryAtEachStar(pattern.c_str(), text.c_str(), doubleByte))
        << "pattern " << pattern << " text " << text;
  }
}

TEST_F(BytePath, WildcardsAnswerAsTheRetryAtEachStar) { ExpectSameAnswers({"a", "B", "b", "\xe9"}, false); }

TEST_F(Cp932Path, WildcardsAnswerAsTheRetryAtEachStar) {
  ExpectSameAnswers({"a", "A", kFullwidthCapitalB, kFullwidthSmallA, kFullwidthCapitalA, "\x82"}, true);
}

}  // namespace
